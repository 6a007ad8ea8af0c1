// A dialog as Windows stores it: the extended template (DLGTEMPLATEEX
// followed by one DLGITEMTEMPLATEEX per control, each DWORD-aligned), as
// the RT_DIALOG resource that DialogBox reads.
#ifndef TAVO_TOOLS_RCDLGTEMPLATE_H
#define TAVO_TOOLS_RCDLGTEMPLATE_H

#include "tools/rc/rcfile.h"

#include <string>

// The template in 16-bit units, little-endian when stored; it starts
// DWORD-aligned. Texts are UTF-8 as rcReadScript gives them.
std::u16string rcDialogTemplate(const RcDialog &dialog);

#endif
