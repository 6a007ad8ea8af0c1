// Laying out a dialog as Windows' extended dialog template.
#include "tools/rc/rcdlgtemplate.h"
#include "tools/rc/rctokens.h"

namespace {

constexpr char16_t kExtendedVersion = 1;
constexpr char16_t kExtendedSignature = 0xFFFF;
constexpr char16_t kOrdinal = 0xFFFF; // an atom or resource number follows

void dword(std::u16string &out, uint32_t value) {
    out += char16_t(value & 0xFFFF); // low word first
    out += char16_t(value >> 16);
}

void word(std::u16string &out, int value) {
    out += char16_t(uint16_t(value));
}

// A zero-terminated UTF-16 string.
void string(std::u16string &out, const std::string &text) {
    std::u16string units;
    rcUtf16(text, units);
    out += units;
    out += u'\0';
}

void ordinal(std::u16string &out, unsigned number) {
    out += kOrdinal;
    out += char16_t(number);
}

void alignToDword(std::u16string &out) {
    if (out.size() % 2)
        out += u'\0';
}

void header(std::u16string &out, const RcDialog &dialog) {
    out += kExtendedVersion;
    out += kExtendedSignature;
    dword(out, dialog.helpId);
    dword(out, dialog.exStyle);
    dword(out, dialog.style);
    word(out, int(dialog.controls.size()));
    word(out, dialog.x);
    word(out, dialog.y);
    word(out, dialog.cx);
    word(out, dialog.cy);
    out += u'\0'; // no menu
    out += u'\0'; // the standard dialog class
    string(out, dialog.caption);
    if (dialog.hasFont) {
        word(out, int(dialog.fontSize));
        word(out, int(dialog.fontWeight));
        out += char16_t(dialog.fontItalic | (dialog.fontCharset << 8));
        string(out, dialog.typeface);
    }
}

void item(std::u16string &out, const RcControl &control) {
    alignToDword(out);
    dword(out, control.helpId);
    dword(out, control.exStyle);
    dword(out, control.style);
    word(out, control.x);
    word(out, control.y);
    word(out, control.cx);
    word(out, control.cy);
    dword(out, control.id);
    if (control.classAtom)
        ordinal(out, control.classAtom);
    else
        string(out, control.className);
    if (control.textIsOrdinal)
        ordinal(out, control.ordinal);
    else
        string(out, control.text);
    out += u'\0'; // no creation data
}

} // namespace

std::u16string rcDialogTemplate(const RcDialog &dialog) {
    std::u16string out;
    header(out, dialog);
    for (const RcControl &control : dialog.controls)
        item(out, control);
    return out;
}
