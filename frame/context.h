// Preparing an input context for the module and clearing it again.
#ifndef TAVO_FRAME_CONTEXT_H
#define TAVO_FRAME_CONTEXT_H

#include "engine/privdata.h"

BOOL Select(LPINPUTCONTEXT lpIMC, BOOL select);
void InitContext(LPINPUTCONTEXT lpIMC, PrivateData *data);
BOOL ClearContext(LPINPUTCONTEXT lpIMC);
BOOL InitPrivateData(PrivateData *data);
BOOL ClearPrivateData(PrivateData *data);

#endif
