// WAVE resources of a module, for PlaySound with SND_RESOURCE.
#include "platform/posix/sound_source.h"

namespace posix::sound {

namespace {

bool lockedBytes(HMODULE module, HRSRC found, const BYTE *&data, size_t &size) {
    if (!found)
        return false;
    HGLOBAL loaded = LoadResource(module, found);
    data = static_cast<const BYTE *>(loaded ? LockResource(loaded) : nullptr);
    size = SizeofResource(module, found);
    return data != nullptr;
}

std::string numberLabel(const void *name) {
    return "resource " + std::to_string(LOWORD(name));
}

} // namespace

bool findWaveResource(HMODULE module, LPCSTR name, const BYTE *&data, size_t &size) {
    return lockedBytes(module, FindResourceA(module, name, "WAVE"), data, size);
}

bool findWaveResource(HMODULE module, LPCWSTR name, const BYTE *&data, size_t &size) {
    return lockedBytes(module, FindResourceW(module, name, u"WAVE"), data, size);
}

std::string resourceLabel(LPCSTR name) {
    return IS_INTRESOURCE(name) ? numberLabel(name) : std::string(name);
}

std::string resourceLabel(LPCWSTR name) {
    if (IS_INTRESOURCE(name))
        return numberLabel(name);
    int size = WideCharToMultiByte(CP_UTF8, 0, name, -1, nullptr, 0, nullptr, nullptr);
    std::string label(size_t(size > 0 ? size : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, name, -1, label.data(), size, nullptr, nullptr);
    label.resize(label.size() - 1);
    return label;
}

} // namespace posix::sound
