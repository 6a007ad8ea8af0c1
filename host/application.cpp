// The host's application window: what it records of each message, and
// the document it keeps.
#include "host/application.h"

#include "host/text.h"

#include <cstdio>

namespace host {

std::string compositionString(HIMC imc, DWORD index) {
    LONG bytes = ImmGetCompositionStringW(imc, index, nullptr, 0);
    if (bytes <= 0)
        return {};
    std::u16string text(static_cast<size_t>(bytes) / sizeof(char16_t), u'\0');
    bytes = ImmGetCompositionStringW(imc, index, text.data(), static_cast<DWORD>(bytes));
    text.resize(bytes > 0 ? static_cast<size_t>(bytes) / sizeof(char16_t) : 0);
    return toUtf8(text);
}

std::string messageName(UINT message) {
    switch (message) {
    case WM_IME_STARTCOMPOSITION:
        return "WM_IME_STARTCOMPOSITION";
    case WM_IME_ENDCOMPOSITION:
        return "WM_IME_ENDCOMPOSITION";
    case WM_IME_COMPOSITION:
        return "WM_IME_COMPOSITION";
    case WM_IME_NOTIFY:
        return "WM_IME_NOTIFY";
    case WM_IME_SETCONTEXT:
        return "WM_IME_SETCONTEXT";
    case WM_IME_SELECT:
        return "WM_IME_SELECT";
    case WM_IME_CHAR:
        return "WM_IME_CHAR";
    case WM_IME_CONTROL:
        return "WM_IME_CONTROL";
    case WM_IME_COMPOSITIONFULL:
        return "WM_IME_COMPOSITIONFULL";
    default: {
        char number[16];
        std::snprintf(number, sizeof number, "0x%04X", message);
        return number;
    }
    }
}

void Application::receive(HIMC imc, const Message &message) {
    received.push_back(message);
    switch (message.message) {
    case WM_IME_STARTCOMPOSITION:
        open = true;
        composing.clear();
        break;
    case WM_IME_COMPOSITION:
        onComposition(imc, message.lParam);
        break;
    case WM_IME_ENDCOMPOSITION:
        open = false;
        composing.clear();
        break;
    default:
        break;
    }
}

void Application::onComposition(HIMC imc, LPARAM flags) {
    if (flags & GCS_RESULTSTR) {
        std::string result = compositionString(imc, GCS_RESULTSTR);
        results += result;
        text += result;
    }
    if (flags & GCS_COMPSTR)
        composing = compositionString(imc, GCS_COMPSTR);
}

void Application::forget() {
    received.clear();
    results.clear();
    keys.clear();
    text.clear();
}

void Application::typed(char character) {
    keys += character;
    if (character == '\b')
        dropLastCharacter(text);
    else if (character == '\r')
        text += '\n';
    else if (static_cast<unsigned char>(character) >= 0x20 && character != 0x7F)
        text += character;
}

} // namespace host
