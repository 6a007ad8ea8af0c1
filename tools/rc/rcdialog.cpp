// Reading DIALOGEX statements of a resource script into dialogs.
#include "tools/rc/rcdialog.h"

#include <algorithm>
#include <iterator>

namespace {

// The Windows constants that dialogs are written with.
const RcConstant kConstants[] = {
    {"WS_OVERLAPPED", 0},
    {"WS_POPUP", 0x80000000},
    {"WS_CHILD", 0x40000000},
    {"WS_MINIMIZE", 0x20000000},
    {"WS_VISIBLE", 0x10000000},
    {"WS_DISABLED", 0x08000000},
    {"WS_CLIPSIBLINGS", 0x04000000},
    {"WS_CLIPCHILDREN", 0x02000000},
    {"WS_MAXIMIZE", 0x01000000},
    {"WS_CAPTION", 0x00C00000},
    {"WS_BORDER", 0x00800000},
    {"WS_DLGFRAME", 0x00400000},
    {"WS_VSCROLL", 0x00200000},
    {"WS_HSCROLL", 0x00100000},
    {"WS_SYSMENU", 0x00080000},
    {"WS_THICKFRAME", 0x00040000},
    {"WS_GROUP", 0x00020000},
    {"WS_TABSTOP", 0x00010000},
    {"WS_MINIMIZEBOX", 0x00020000},
    {"WS_MAXIMIZEBOX", 0x00010000},
    {"WS_EX_DLGMODALFRAME", 0x00000001},
    {"WS_EX_TOPMOST", 0x00000008},
    {"WS_EX_TOOLWINDOW", 0x00000080},
    {"WS_EX_CLIENTEDGE", 0x00000200},
    {"WS_EX_CONTEXTHELP", 0x00000400},
    {"WS_EX_STATICEDGE", 0x00020000},
    {"WS_EX_APPWINDOW", 0x00040000},
    {"DS_ABSALIGN", 0x0001},
    {"DS_SYSMODAL", 0x0002},
    {"DS_3DLOOK", 0x0004},
    {"DS_FIXEDSYS", 0x0008},
    {"DS_NOFAILCREATE", 0x0010},
    {"DS_LOCALEDIT", 0x0020},
    {"DS_SETFONT", 0x0040},
    {"DS_MODALFRAME", 0x0080},
    {"DS_NOIDLEMSG", 0x0100},
    {"DS_SETFOREGROUND", 0x0200},
    {"DS_CONTROL", 0x0400},
    {"DS_CENTER", 0x0800},
    {"DS_CENTERMOUSE", 0x1000},
    {"DS_CONTEXTHELP", 0x2000},
    {"DS_SHELLFONT", 0x0048},
    {"BS_PUSHBUTTON", 0},
    {"BS_DEFPUSHBUTTON", 1},
    {"BS_CHECKBOX", 2},
    {"BS_AUTOCHECKBOX", 3},
    {"BS_RADIOBUTTON", 4},
    {"BS_3STATE", 5},
    {"BS_AUTO3STATE", 6},
    {"BS_GROUPBOX", 7},
    {"BS_AUTORADIOBUTTON", 9},
    {"BS_LEFTTEXT", 0x20},
    {"BS_MULTILINE", 0x2000},
    {"SS_LEFT", 0},
    {"SS_CENTER", 1},
    {"SS_RIGHT", 2},
    {"SS_ICON", 3},
    {"SS_NOPREFIX", 0x80},
    {"SS_CENTERIMAGE", 0x200},
    {"SS_REALSIZEIMAGE", 0x800},
    {"IDOK", 1},
    {"IDCANCEL", 2},
    {"IDC_STATIC", 0xFFFFFFFF},
};

constexpr uint32_t kWsPopup = 0x80000000;
constexpr uint32_t kWsChild = 0x40000000;
constexpr uint32_t kWsVisible = 0x10000000;
constexpr uint32_t kWsCaption = 0x00C00000;
constexpr uint32_t kWsBorder = 0x00800000;
constexpr uint32_t kWsSysMenu = 0x00080000;
constexpr uint32_t kWsGroup = 0x00020000;
constexpr uint32_t kWsTabStop = 0x00010000;
constexpr uint32_t kDsSetFont = 0x0040;
constexpr unsigned kDefaultCharset = 1;
constexpr unsigned kButton = 0x80;
constexpr unsigned kStatic = 0x82;

struct ClassAtom {
    const char *name;
    unsigned atom;
};
const ClassAtom kClassAtoms[] = {{"BUTTON", 0x80},  {"EDIT", 0x81},      {"STATIC", 0x82},
                                 {"LISTBOX", 0x83}, {"SCROLLBAR", 0x84}, {"COMBOBOX", 0x85}};

// The statements that make a control of a fixed class and style.
struct ControlKind {
    const char *word;
    unsigned classAtom;
    uint32_t style;
};
const ControlKind kControlKinds[] = {
    {"LTEXT", kStatic, 0 | kWsGroup},
    {"CTEXT", kStatic, 1 | kWsGroup},
    {"RTEXT", kStatic, 2 | kWsGroup},
    {"ICON", kStatic, 3},
    {"PUSHBUTTON", kButton, 0 | kWsTabStop},
    {"DEFPUSHBUTTON", kButton, 1 | kWsTabStop},
    {"CHECKBOX", kButton, 2 | kWsTabStop},
    {"AUTOCHECKBOX", kButton, 3 | kWsTabStop},
    {"RADIOBUTTON", kButton, 4},
    {"AUTORADIOBUTTON", kButton, 9},
    {"GROUPBOX", kButton, 7},
};

struct Reader {
    const std::string &path;
    const std::vector<RcToken> &tokens;
    size_t &at;
    std::string &error;

    const RcToken *peek(size_t ahead = 0) const {
        return at + ahead < tokens.size() ? &tokens[at + ahead] : nullptr;
    }
    bool fail(const std::string &problem) {
        int line = tokens.empty() ? 1 : tokens[std::min(at, tokens.size() - 1)].line;
        error = path + ":" + std::to_string(line) + ": " + problem;
        return false;
    }
};

// Bits a style sets and bits it takes away (NOT name).
struct Style {
    uint32_t set = 0;
    uint32_t cleared = 0;

    uint32_t over(uint32_t defaults) const { return (defaults & ~cleared) | set; }
};

bool expression(Reader &in, Style &style);

// A number, a named constant, a negated value or one in brackets.
bool primary(Reader &in, uint32_t &value) {
    const RcToken *token = in.peek();
    if (token && token->kind == RcTokenKind::Number) {
        value = uint32_t(token->number);
        in.at++;
        return true;
    }
    if (rcIsPunctuation(token, '-')) {
        in.at++;
        if (!primary(in, value))
            return false;
        value = 0u - value;
        return true;
    }
    if (rcIsPunctuation(token, '(')) {
        in.at++;
        Style inner;
        if (!expression(in, inner))
            return false;
        if (!rcIsPunctuation(in.peek(), ')'))
            return in.fail("expected )");
        in.at++;
        value = inner.over(0);
        return true;
    }
    if (token && token->kind == RcTokenKind::Word) {
        if (!rcConstant(kConstants, token->text, value))
            return in.fail("unknown name: " + token->text);
        in.at++;
        return true;
    }
    return in.fail("expected a value");
}

// Values joined by |, any of them "NOT value".
bool expression(Reader &in, Style &style) {
    do {
        bool negated = rcIsWord(in.peek(), "NOT");
        in.at += negated;
        uint32_t value;
        if (!primary(in, value))
            return false;
        if (negated) {
            style.set &= ~value;
            style.cleared |= value;
        } else {
            style.set |= value;
            style.cleared &= ~value;
        }
    } while (rcIsPunctuation(in.peek(), '|') && ++in.at);
    return true;
}

bool number(Reader &in, uint32_t &value) {
    Style style;
    if (!expression(in, style))
        return false;
    if (style.cleared)
        return in.fail("NOT is for styles");
    value = style.set;
    return true;
}

// A coordinate or size: one 16-bit WORD in the template.
bool coordinate(Reader &in, int &value) {
    size_t start = in.at;
    uint32_t raw;
    if (!number(in, raw))
        return false;
    value = int(int32_t(raw));
    if (value >= -32768 && value <= 32767)
        return true;
    in.at = start;
    return in.fail("coordinate out of range");
}

bool comma(Reader &in) {
    if (!rcIsPunctuation(in.peek(), ','))
        return in.fail("expected a comma");
    in.at++;
    return true;
}

bool text(Reader &in, std::string &out) {
    const RcToken *token = in.peek();
    if (!token || token->kind != RcTokenKind::Text)
        return in.fail("expected a quoted text");
    out = token->text;
    in.at++;
    return true;
}

// ", a" then more, for the optional values at the end of a statement.
bool more(Reader &in) {
    if (!rcIsPunctuation(in.peek(), ','))
        return false;
    in.at++;
    return true;
}

bool rectangle(Reader &in, int &x, int &y, int &cx, int &cy) {
    return coordinate(in, x) && comma(in) && coordinate(in, y) && comma(in) && coordinate(in, cx) &&
           comma(in) && coordinate(in, cy);
}

// The optional ", style [, exStyle [, helpId]]" that ends a control.
bool controlTail(Reader &in, RcControl &control, bool takesStyle) {
    if (takesStyle && more(in)) {
        Style style;
        if (!expression(in, style))
            return false;
        control.style = style.over(control.style);
    }
    if (more(in) && !number(in, control.exStyle))
        return false;
    if (more(in) && !number(in, control.helpId))
        return false;
    return true;
}

// An icon names its image by number (or by name, as text).
bool iconControl(Reader &in, RcControl &control) {
    const RcToken *token = in.peek();
    if (token && token->kind == RcTokenKind::Number) {
        control.textIsOrdinal = true;
        control.ordinal = unsigned(token->number);
        if (control.ordinal > 0xFFFF)
            return in.fail("icon number too large");
        in.at++;
    } else if (token && token->kind == RcTokenKind::Word) {
        control.text = rcUpper(token->text);
        in.at++;
    } else if (!text(in, control.text)) {
        return false;
    }
    if (!comma(in) || !number(in, control.id) || !comma(in) || !coordinate(in, control.x) ||
        !comma(in) || !coordinate(in, control.y))
        return false;
    // A width and height may follow, but an icon control takes its icon's
    // size: Windows' resource compilers write none.
    int ignored;
    if (more(in) && !(coordinate(in, ignored) && comma(in) && coordinate(in, ignored)))
        return false;
    return controlTail(in, control, true);
}

bool kindControl(Reader &in, RcControl &control) {
    return text(in, control.text) && comma(in) && number(in, control.id) && comma(in) &&
           rectangle(in, control.x, control.y, control.cx, control.cy) &&
           controlTail(in, control, true);
}

bool windowClass(Reader &in, RcControl &control) {
    const RcToken *token = in.peek();
    if (!token || (token->kind != RcTokenKind::Text && token->kind != RcTokenKind::Word))
        return in.fail("expected a window class");
    std::string name = rcUpper(token->text);
    auto known = std::find_if(std::begin(kClassAtoms), std::end(kClassAtoms),
                              [&](const ClassAtom &c) { return name == c.name; });
    if (known != std::end(kClassAtoms))
        control.classAtom = known->atom;
    else
        control.className = token->text;
    in.at++;
    return true;
}

bool genericControl(Reader &in, RcControl &control) {
    Style style;
    if (!text(in, control.text) || !comma(in) || !number(in, control.id) || !comma(in) ||
        !windowClass(in, control) || !comma(in) || !expression(in, style) || !comma(in) ||
        !rectangle(in, control.x, control.y, control.cx, control.cy))
        return false;
    control.style = style.over(control.style);
    return controlTail(in, control, false);
}

bool control(Reader &in, RcDialog &dialog) {
    RcControl control;
    const RcToken *head = in.peek();
    control.line = head->line;
    control.style = kWsChild | kWsVisible;
    in.at++;
    bool ok;
    if (rcIsWord(head, "CONTROL")) {
        ok = genericControl(in, control);
    } else {
        auto kind = std::find_if(std::begin(kControlKinds), std::end(kControlKinds),
                                 [&](const ControlKind &k) { return rcIsWord(head, k.word); });
        if (kind == std::end(kControlKinds)) {
            in.at--;
            return in.fail("control not supported: " + head->text);
        }
        control.classAtom = kind->classAtom;
        control.style |= kind->style;
        ok = rcIsWord(head, "ICON") ? iconControl(in, control) : kindControl(in, control);
    }
    if (ok)
        dialog.controls.push_back(control);
    return ok;
}

bool font(Reader &in, RcDialog &dialog) {
    uint32_t size = 0, weight = 0, italic = 0, charset = kDefaultCharset;
    if (!number(in, size) || !comma(in) || !text(in, dialog.typeface))
        return false;
    if (more(in) && !number(in, weight))
        return false;
    if (more(in) && !number(in, italic))
        return false;
    if (more(in) && !number(in, charset))
        return false;
    if (size > 0xFFFF || weight > 0xFFFF || italic > 0xFF || charset > 0xFF)
        return in.fail("font value out of range");
    dialog.hasFont = true;
    dialog.fontSize = size;
    dialog.fontWeight = weight;
    dialog.fontItalic = italic;
    dialog.fontCharset = charset;
    return true;
}

bool skipValues(Reader &in, int count) {
    for (int i = 0; i < count; i++) {
        uint32_t ignored;
        if ((i > 0 && !comma(in)) || !number(in, ignored))
            return false;
    }
    return true;
}

// The statements between the dialog's head and its controls.
bool option(Reader &in, RcDialog &dialog, Style &style, bool &styled) {
    const RcToken *token = in.peek();
    in.at++;
    if (rcIsWord(token, "STYLE")) {
        styled = true;
        return expression(in, style);
    }
    if (rcIsWord(token, "EXSTYLE"))
        return number(in, dialog.exStyle);
    if (rcIsWord(token, "CAPTION"))
        return text(in, dialog.caption);
    if (rcIsWord(token, "FONT"))
        return font(in, dialog);
    if (rcIsWord(token, "LANGUAGE"))
        return skipValues(in, 2);
    if (rcIsWord(token, "CHARACTERISTICS") || rcIsWord(token, "VERSION"))
        return skipValues(in, 1);
    in.at--;
    return in.fail(token ? "dialog statement not supported: " + token->text : "dialog not closed");
}

bool head(Reader &in, RcDialog &dialog) {
    if (!rectangle(in, dialog.x, dialog.y, dialog.cx, dialog.cy))
        return false;
    return !more(in) || number(in, dialog.helpId);
}

} // namespace

bool rcReadDialog(const std::string &path, const std::vector<RcToken> &tokens, size_t &at,
                  RcDialog &dialog, std::string &error) {
    Reader in{path, tokens, at, error};
    Style style;
    bool styled = false;
    if (!head(in, dialog))
        return false;
    while (in.peek() && !rcIsOpen(in.peek()))
        if (!option(in, dialog, style, styled))
            return false;
    if (!in.peek())
        return in.fail("dialog not closed");
    in.at++;
    dialog.style = styled ? style.over(0) : kWsPopup | kWsBorder | kWsSysMenu;
    dialog.style |= (dialog.caption.empty() ? 0 : kWsCaption) | (dialog.hasFont ? kDsSetFont : 0);
    while (!rcIsClose(in.peek())) {
        if (!in.peek())
            return in.fail("dialog not closed");
        if (!control(in, dialog))
            return false;
    }
    in.at++;
    return true;
}
