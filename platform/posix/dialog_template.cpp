// Reading an extended dialog template. Every field is bounds-checked: a
// damaged resource fails instead of being read past its end.
#include "platform/posix/dialog_template.h"

namespace {

constexpr WORD kExtendedVersion = 1;
constexpr WORD kExtendedSignature = 0xFFFF;
constexpr WORD kOrdinalMark = 0xFFFF;

// The predefined control classes by atom.
struct ClassAtom {
    WORD atom;
    const char16_t *name;
};

constexpr ClassAtom kClasses[] = {
    {0x80, u"Button"},  {0x81, u"Edit"},      {0x82, u"Static"},
    {0x83, u"ListBox"}, {0x84, u"ScrollBar"}, {0x85, u"ComboBox"},
};

// A cursor over the template's 16-bit little-endian units.
class Reader {
public:
    Reader(const void *data, DWORD size) : bytes_((const BYTE *)data), size_(size) {}

    bool word(WORD &value) {
        if (!room(2))
            return false;
        value = WORD(bytes_[at_] | bytes_[at_ + 1] << 8);
        at_ += 2;
        return true;
    }

    bool dword(DWORD &value) {
        WORD low, high;
        if (!word(low) || !word(high))
            return false;
        value = DWORD(low) | DWORD(high) << 16;
        return true;
    }

    bool skip(DWORD count) {
        if (!room(count))
            return false;
        at_ += count;
        return true;
    }

    // A zero-terminated UTF-16 text.
    bool text(std::u16string &value) {
        for (WORD unit; word(unit);) {
            if (!unit)
                return true;
            value += char16_t(unit);
        }
        return false;
    }

    // Nothing, a number (0xFFFF, number) or a text.
    bool textOrOrdinal(std::u16string &value, WORD &ordinal, bool &isOrdinal) {
        WORD first;
        if (!word(first))
            return false;
        isOrdinal = first == kOrdinalMark;
        if (isOrdinal)
            return word(ordinal);
        if (first)
            value += char16_t(first);
        return !first || text(value);
    }

    bool alignToDword() { return skip(at_ % 4 ? 4 - at_ % 4 : 0); }

private:
    bool room(DWORD count) const { return count <= size_ - at_; }

    const BYTE *bytes_;
    DWORD size_;
    DWORD at_ = 0;
};

bool rect(Reader &in) {
    return in.skip(4 * sizeof(WORD)); // x, y, cx, cy: there is no screen to place them on
}

bool header(Reader &in, posix::DialogTemplate &dialog, WORD &count) {
    WORD version, signature;
    DWORD helpId;
    if (!in.word(version) || !in.word(signature) || version != kExtendedVersion ||
        signature != kExtendedSignature)
        return false;
    if (!in.dword(helpId) || !in.dword(dialog.exStyle) || !in.dword(dialog.style) ||
        !in.word(count) || !rect(in))
        return false;
    std::u16string menu, windowClass;
    WORD ordinal;
    bool isOrdinal;
    if (!in.textOrOrdinal(menu, ordinal, isOrdinal) ||
        !in.textOrOrdinal(windowClass, ordinal, isOrdinal) || !in.text(dialog.caption))
        return false;
    if (!(dialog.style & DS_SETFONT))
        return true;
    std::u16string typeface;
    return in.skip(3 * sizeof(WORD)) && in.text(typeface); // size, weight, italic and charset
}

void nameClass(posix::DialogItem &item, WORD atom) {
    for (const ClassAtom &known : kClasses)
        if (known.atom == atom)
            item.className = known.name;
}

bool item(Reader &in, posix::DialogItem &item) {
    DWORD helpId, id;
    if (!in.alignToDword() || !in.dword(helpId) || !in.dword(item.exStyle) ||
        !in.dword(item.style) || !rect(in) || !in.dword(id))
        return false;
    item.id = int(LONG(id));
    WORD atom = 0;
    bool isAtom = false;
    if (!in.textOrOrdinal(item.className, atom, isAtom) ||
        !in.textOrOrdinal(item.text, item.textOrdinal, item.hasOrdinal))
        return false;
    if (isAtom)
        nameClass(item, atom);
    WORD extra;
    return in.word(extra) && in.skip(extra);
}

} // namespace

namespace posix {

bool readDialogTemplate(const void *data, DWORD size, DialogTemplate &dialog) {
    if (!data)
        return false;
    Reader in(data, size);
    WORD count;
    if (!header(in, dialog, count))
        return false;
    dialog.items.resize(count);
    for (DialogItem &control : dialog.items)
        if (!item(in, control))
            return false;
    return true;
}

} // namespace posix
