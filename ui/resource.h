// Sounds and data from the module's own resources.
#ifndef TAVO_UI_RESOURCE_H
#define TAVO_UI_RESOURCE_H

#include "platform/platform.h"

// Event sounds.
#define WAVE_WRAPPED 512
#define WAVE_NO_MATCH 513
#define WAVE_REFUSED 514
#define WAVE_UI_DESTROYED 515
#define WAVE_NATIVE_ON 516
#define WAVE_NATIVE_OFF 517
#define WAVE_UI_CREATED 768

// Pictures: the status window's buttons, the UI class's icon and the
// pointing hand over a clickable place.
#define BITMAP_NATIVE 256
#define BITMAP_HALFSHAPE 257
#define BITMAP_FULLSHAPE 258
#define BITMAP_ALPHANUMERIC 259
#define ICON_MODULE 256
#define CURSOR_HAND 256

// Data tables.
#define RCDATA_FULLWIDTH 256
#define RCDATA_DICTIONARY 273
#define RCDATA_QUERY 274

// Plays a sound of the module after stopping speech and any sound.
void PlayWave(UINT id);
void PlayResource(LPCTSTR name, HINSTANCE instance);
// The image of icon group id nearest to size by size pixels, or null.
HICON GetIcon(HINSTANCE instance, UINT id, int size);
// A bitmap of the module (the caller deletes it), or null.
HBITMAP GetBitmap(HINSTANCE instance, UINT id);
// The bytes of an RCDATA resource (read-only, owned by the module), or
// null; the size goes to *size when size is not null.
const void *GetBinary(HINSTANCE instance, UINT id, DWORD *size);

#endif
