// A dialog's extended template (DLGTEMPLATEEX and its DLGITEMTEMPLATEEX
// items) read into plain values, checked against the resource's size.
#ifndef TAVO_POSIX_DIALOG_TEMPLATE_H
#define TAVO_POSIX_DIALOG_TEMPLATE_H

#include "platform/platform.h"

#include <string>
#include <vector>

namespace posix {

struct DialogItem {
    DWORD style = 0;
    DWORD exStyle = 0;
    int id = 0;
    std::u16string className; // the predefined class's name for an atom
    std::u16string text;
    WORD textOrdinal = 0; // a resource number in place of a text
    bool hasOrdinal = false;
};

struct DialogTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    std::u16string caption;
    std::vector<DialogItem> items;
};

// Reads the template in the bytes data[0..size); false when it is not an
// extended template or runs past its end.
bool readDialogTemplate(const void *data, DWORD size, DialogTemplate &dialog);

} // namespace posix

#endif
