// The resource readers on arbitrary resource data: a string table block
// read by LoadString in both flavours and every buffer size, and a dialog
// template read as a template and shown as a modal dialog whose every
// control is pressed. The data is put into this program's own resource
// table, where FindResource finds it as it finds a module's.
#include "platform/posix/dialog_host.h"
#include "platform/posix/dialog_template.h"
#include "platform/posix/module_table.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

std::vector<unsigned char> stringBlock, dialogBytes;

TavoResource resources[2] = {
    {nullptr, 5, nullptr, 256, nullptr, 0}, // RT_DIALOG 256
    {nullptr, 6, nullptr, 1, nullptr, 0},   // RT_STRING, the block of ids 0 to 15
};

INT_PTR CALLBACK dialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

// Presses every control the dialog has, then OK.
void pressEverything(void *, HWND dialog) {
    TAVO_DIALOGCONTROL controls[64];
    int count = tavo_DialogControls(dialog, controls, 64);
    tavo_DialogCaption(dialog);
    for (int i = 0; i < count && i < 64; i++)
        tavo_PressDialogButton(dialog, controls[i].id);
    tavo_PressDialogButton(dialog, IDOK);
}

void readStrings(HINSTANCE self) {
    for (UINT id = 0; id < 17; id++) {
        char narrow[8];
        WCHAR wide[8];
        const WCHAR *direct = nullptr;
        LoadStringW(self, id, (LPWSTR)&direct, 0);
        for (int room : {1, 2, 8}) {
            LoadStringA(self, id, narrow, room);
            LoadStringW(self, id, wide, room);
        }
    }
}

} // namespace

extern "C" __attribute__((visibility("default")))
TavoResourceTable tavo_resources = {kTavoResourceTableVersion, 2, resources};

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    // The first byte splits the input between the two resources.
    size_t split = size > 0 ? (size - 1) * data[0] / 255 : 0;
    const uint8_t *rest = size > 0 ? data + 1 : data;
    dialogBytes.assign(rest, rest + split);
    stringBlock.assign(rest + split, rest + (size > 0 ? size - 1 : 0));
    resources[0].data = dialogBytes.data();
    resources[0].size = (uint32_t)dialogBytes.size();
    resources[1].data = stringBlock.data();
    resources[1].size = (uint32_t)stringBlock.size();

    posix::DialogTemplate dialog;
    posix::readDialogTemplate(dialogBytes.data(), (DWORD)dialogBytes.size(), dialog);

    HINSTANCE self = GetModuleHandleA(nullptr);
    readStrings(self);
    tavo_SetDialogDriver(pressEverything, nullptr);
    DialogBoxParamW(self, MAKEINTRESOURCEW(256), nullptr, dialogProcedure, 0);
    tavo_SetDialogDriver(nullptr, nullptr);
    return 0;
}
