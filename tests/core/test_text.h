// Test support: text in the module's own flavour.
#ifndef TAVO_TESTS_TEST_TEXT_H
#define TAVO_TESTS_TEST_TEXT_H

#include "dict/text.h"

#include <string>

typedef std::basic_string<TCHAR> tstring;

// Big5 (or ASCII) text as the module holds it: UTF-16 in vexa, the bytes
// in ruda.
inline tstring Text(const char *big5) {
#ifdef UNICODE
    LPTSTR text = Big5ToTChar(big5);
    tstring result = text;
    GlobalFree(text);
    return result;
#else
    return big5;
#endif
}

inline tstring Text(const std::string &big5) {
    return Text(big5.c_str());
}

// Takes a returned string and frees it; "<null>" for none.
inline tstring Take(LPTSTR text) {
    if (text == nullptr)
        return Text("<null>");
    tstring result = text;
    GlobalFree(text);
    return result;
}

#endif
