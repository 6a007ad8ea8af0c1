// Sounds, pictures and data tables from the module's own resources.
#include "ui/resource.h"
#include "frame/globdata.h"
#include "speech/speech.h"

void PlayWave(UINT id) {
    // Speech first, so that the event sound never overlaps a reading.
    speech_stop();
    PlayResource(MAKEINTRESOURCE(id), globData.hInstance);
}

void PlayResource(LPCTSTR name, HINSTANCE instance) {
    // Cuts off any sound of the process, the start sound included.
    PlaySound(NULL, NULL, 0);
    // Synchronous, and with the default sound when the resource is missing.
    PlaySound(name, instance, SND_RESOURCE);
}

HICON GetIcon(HINSTANCE instance, UINT id, int size) {
    return (HICON)LoadImage(instance, MAKEINTRESOURCE(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR);
}

HBITMAP GetBitmap(HINSTANCE instance, UINT id) {
    return (HBITMAP)LoadImage(instance, MAKEINTRESOURCE(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR);
}

const void *GetBinary(HINSTANCE instance, UINT id, DWORD *size) {
    if (size != NULL)
        *size = 0;
    HRSRC found = FindResource(instance, MAKEINTRESOURCE(id), RT_RCDATA);
    if (found == NULL)
        return NULL;
    HGLOBAL loaded = LoadResource(instance, found);
    if (loaded == NULL)
        return NULL;
    const void *bytes = LockResource(loaded);
    if (bytes != NULL && size != NULL)
        *size = SizeofResource(instance, found);
    return bytes;
}
