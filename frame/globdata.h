// The module's one global record: its instance, the seven settings, the
// braille-variant flag and the texts from its string table. Zero when the
// library loads; start-up fills it once per process.
#ifndef TAVO_FRAME_GLOBDATA_H
#define TAVO_FRAME_GLOBDATA_H

#include "platform/platform.h"

// String-table numbers of the texts that start-up loads.
#define IDS_UICLASS 257
#define IDS_COMPCLASS 258
#define IDS_STATUSCLASS 259
#define IDS_PHRASEDB 272
#define IDS_USERDB 273
#define IDS_USERDICT 274
#define IDS_CHARLABEL 288
#define IDS_OPTIONMENU 304
#define IDS_ONTEXT 305
#define IDS_OFFTEXT 306

#define BRAILLE_UI_CLASS TEXT("RUDAIME")

#define FONT_SIZE_MIN 12
#define FONT_SIZE_MAX 128
#define FONT_SIZE_DEFAULT 24

struct GLOBDATA {
    HINSTANCE hInstance;
    // The seven settings stand together in this order; the settings dialog
    // addresses the first six by position.
    DWORD dotKeyboard;
    DWORD speech;
    DWORD reverseVideo;
    DWORD verboseComposition;
    DWORD brailleDisplay;
    DWORD brailleExplanation;
    DWORD fontSize;
    DWORD brailleVariant;
    DWORD configOpen;
    TCHAR windowsDir[MAX_PATH];
    TCHAR systemDir[MAX_PATH];
    TCHAR charLabel[32];
    TCHAR uiClass[32];
    TCHAR compClass[32];
    TCHAR statusClass[32];
    TCHAR phraseDbFile[32];
    TCHAR userDbFile[32];
    TCHAR userDictFile[32];
    // The menu takes 205 bytes in Big5: 200 units would cut its last entry.
    TCHAR optionMenu[256];
    TCHAR onText[8];
    TCHAR offText[8];
};

extern GLOBDATA globData;

#endif
