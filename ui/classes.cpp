// The module's three window classes (UI, composition and status), which
// live from the module's attach to its unload.
#include "ui/uiwnd.h"

#include "frame/globdata.h"
#include "ui/resource.h"

// The two slots of an IME UI window: its context and its record.
#define UI_WINDOW_EXTRA (2 * (int)sizeof(LONG_PTR))

struct ClassDescription {
    LPCTSTR name;
    UINT style;
    WNDPROC procedure;
    int windowExtra;
    BOOL icons;
};

static void DescribeClasses(ClassDescription classes[3]) {
    classes[0] = {globData.uiClass, CS_IME, UIWndProc, UI_WINDOW_EXTRA, TRUE};
    classes[1] = {globData.compClass, 0, CompWndProc, 0, FALSE};
    classes[2] = {globData.statusClass, 0, StatusWndProc, 0, FALSE};
}

static BOOL IsRegistered(HINSTANCE hInstance, LPCTSTR name) {
    WNDCLASSEX info;
    info.cbSize = sizeof info;
    return GetClassInfoEx(hInstance, name, &info);
}

static BOOL RegisterOne(HINSTANCE hInstance, const ClassDescription *c) {
    WNDCLASSEX wc;
    ZeroMemory(&wc, sizeof wc);
    wc.cbSize = sizeof wc;
    wc.style = c->style;
    wc.lpfnWndProc = c->procedure;
    wc.cbWndExtra = c->windowExtra;
    wc.hInstance = hInstance;
    wc.hCursor = LoadCursor(NULL, IDC_ARROW);
    wc.lpszClassName = c->name;
    if (c->icons) {
        wc.hIcon = GetIcon(hInstance, ICON_MODULE, 32);
        wc.hIconSm = GetIcon(hInstance, ICON_MODULE, 16);
    }
    return RegisterClassEx(&wc) != 0;
}

BOOL RegisterIMEClasses(HINSTANCE hInstance) {
    ClassDescription classes[3];
    DescribeClasses(classes);
    BOOL registered = TRUE;
    for (const ClassDescription &c : classes) {
        if (IsRegistered(hInstance, c.name))
            continue;
        // After a failure the remaining classes are left alone.
        if (registered && !RegisterOne(hInstance, &c))
            registered = FALSE;
    }
    return registered;
}

void UnregisterIMEClasses(HINSTANCE hInstance) {
    ClassDescription classes[3];
    DescribeClasses(classes);
    for (const ClassDescription &c : classes)
        if (IsRegistered(hInstance, c.name))
            UnregisterClass(c.name, hInstance);
}
