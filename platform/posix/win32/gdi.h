// Device contexts, drawing objects and fonts (GDI32).
#ifndef TAVO_POSIX_WIN32_GDI_H
#define TAVO_POSIX_WIN32_GDI_H

#include "platform/posix/win32/base.h"

// ---- Fonts -----------------------------------------------------------

#define LF_FACESIZE 32

typedef struct tagLOGFONTA {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    CHAR lfFaceName[LF_FACESIZE];
} LOGFONTA, *PLOGFONTA, *LPLOGFONTA;

typedef struct tagLOGFONTW {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    WCHAR lfFaceName[LF_FACESIZE];
} LOGFONTW, *PLOGFONTW, *LPLOGFONTW;

// ---- Device contexts and drawing objects -------------------------------

struct HDC__;
typedef HDC__ *HDC;
struct HGDIOBJ__;
typedef HGDIOBJ__ *HGDIOBJ;
typedef HGDIOBJ HFONT;
typedef HGDIOBJ HBITMAP;
typedef HGDIOBJ HBRUSH;
typedef HGDIOBJ HPEN;

#define OBJ_FONT 6

typedef DWORD COLORREF;
#define RGB(r, g, b) ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(rgb) (LOBYTE(rgb))
#define GetGValue(rgb) (LOBYTE(((WORD)(rgb)) >> 8))
#define GetBValue(rgb) (LOBYTE((rgb) >> 16))

HGDIOBJ WINAPI GetCurrentObject(HDC dc, UINT type);
int WINAPI GetObjectA(HGDIOBJ object, int size, LPVOID buffer);
int WINAPI GetObjectW(HGDIOBJ object, int size, LPVOID buffer);

#define GetObject TAVO_AW(GetObject)

#endif
