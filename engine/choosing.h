// The keys of modes 2 (choosing) and 3 (query) that PhraseChar declines.
#ifndef TAVO_ENGINE_CHOOSING_H
#define TAVO_ENGINE_CHOOSING_H

#include "engine/engine.h"

void ChoosingKey(HIMCC *hCompStr, PrivateData *data, DWORD key);
void QueryKey(HIMCC *hCompStr, PrivateData *data, DWORD key);

#endif
