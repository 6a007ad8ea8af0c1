// tavofullwidth: writes a module's table of full-width forms for the
// characters 0x20 to 0x7E, 95 entries of 16 bits, that the module carries
// as a resource.
//
//   tavofullwidth vexa OUT   UTF-16 units, little-endian
//   tavofullwidth ruda OUT   Big5 codes, lead byte first
//
// The output is written to a temporary file and renamed into place, so a
// failed run never leaves a partial table behind.
#include "platform/platform.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr unsigned kFirst = 0x20;
constexpr unsigned kLast = 0x7E;
constexpr unsigned kBig5CodePage = 950;

// Characters whose full-width form is not U+FF00 + (c - 0x20).
struct Exception {
    char c;
    WCHAR form;
};
const Exception kUnicodeExceptions[] = {{' ', 0x3000}, {'"', 0x201D}, {'\'', 0x2019},
                                        {'[', 0x3014}, {']', 0x3015}, {'`', 0x2018}};
// Characters without a full-width form in Big5-HKSCS, given a look-alike
// there: the system converts with Big5-HKSCS everywhere, so every other
// entry is what that conversion gives (／ and ＼ are A241 and A242 there,
// not Windows' plain code page 950 A1FE and A240, which HKSCS lacks).
struct Big5Exception {
    char c;
    unsigned short code;
};
const Big5Exception kBig5Exceptions[] = {{'^', 0xA173}, {'_', 0xA1C5}, {'~', 0xA1E3}};

WCHAR unicodeForm(unsigned c) {
    for (const Exception &exception : kUnicodeExceptions)
        if ((unsigned char)exception.c == c)
            return exception.form;
    return WCHAR(0xFF00 + (c - kFirst));
}

bool big5Form(unsigned c, unsigned char out[2]) {
    for (const Big5Exception &exception : kBig5Exceptions)
        if ((unsigned char)exception.c == c) {
            out[0] = (unsigned char)(exception.code >> 8);
            out[1] = (unsigned char)(exception.code & 0xFF);
            return true;
        }
    WCHAR form = unicodeForm(c);
    char bytes[4] = {};
    BOOL lossy = FALSE;
    int length = WideCharToMultiByte(kBig5CodePage, 0, &form, 1, bytes, sizeof bytes, NULL, &lossy);
    if (length != 2 || lossy)
        return false;
    out[0] = (unsigned char)bytes[0];
    out[1] = (unsigned char)bytes[1];
    return true;
}

bool table(const std::string &module, std::vector<unsigned char> &bytes) {
    for (unsigned c = kFirst; c <= kLast; c++) {
        unsigned char entry[2];
        if (module == "vexa") {
            WCHAR form = unicodeForm(c);
            entry[0] = (unsigned char)(form & 0xFF);
            entry[1] = (unsigned char)(form >> 8);
        } else if (!big5Form(c, entry)) {
            std::fprintf(stderr, "tavofullwidth: no Big5 form for '%c'\n", char(c));
            return false;
        }
        bytes.insert(bytes.end(), entry, entry + 2);
    }
    return true;
}

bool writeWhole(const std::string &path, const std::vector<unsigned char> &bytes) {
    std::string temporary = path + ".tmp";
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write((const char *)bytes.data(), std::streamsize(bytes.size()));
    out.close();
    if (!out || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        std::fprintf(stderr, "tavofullwidth: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv) {
    std::string module = argc == 3 ? argv[1] : "";
    if (module != "vexa" && module != "ruda") {
        std::fprintf(stderr, "usage: tavofullwidth vexa|ruda OUT\n");
        return 2;
    }
    std::vector<unsigned char> bytes;
    return table(module, bytes) && writeWhole(argv[2], bytes) ? 0 : 1;
}
