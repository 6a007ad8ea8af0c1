// Reading a dialog statement of a resource script, after its name and
// type (and any memory options):
//
//   x, y, cx, cy [, helpId]
//   STYLE style                 WS_, DS_ names and numbers joined by |
//   EXSTYLE style
//   CAPTION "text"
//   FONT size, "typeface" [, weight [, italic [, charset]]]
//   BEGIN
//     LTEXT "text", id, x, y, cx, cy [, style [, exStyle [, helpId]]]
//       (so too CTEXT, RTEXT, PUSHBUTTON, DEFPUSHBUTTON, CHECKBOX,
//        AUTOCHECKBOX, RADIOBUTTON, AUTORADIOBUTTON, GROUPBOX)
//     ICON icon, id, x, y [, cx, cy [, style [, exStyle [, helpId]]]]
//     CONTROL "text", id, class, style, x, y, cx, cy [, exStyle [, helpId]]
//   END
//
// Styles are set as Windows' resource compiler sets them: a dialog is
// WS_POPUP | WS_BORDER | WS_SYSMENU unless STYLE is given, CAPTION adds
// WS_CAPTION and FONT DS_SETFONT; a control is WS_CHILD | WS_VISIBLE and
// its kind's style, to which a style given adds ("NOT name" takes away).
#ifndef TAVO_TOOLS_RCDIALOG_H
#define TAVO_TOOLS_RCDIALOG_H

#include "tools/rc/rcfile.h"
#include "tools/rc/rctokens.h"

#include <string>
#include <vector>

// Reads from tokens[at] to the end of the dialog's block, leaving at
// after it. False with "path:line: problem" in error.
bool rcReadDialog(const std::string &path, const std::vector<RcToken> &tokens, size_t &at,
                  RcDialog &dialog, std::string &error);

#endif
