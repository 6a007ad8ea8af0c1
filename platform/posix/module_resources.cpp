// Finding a module's resources in the table compiled into it, by number
// or by name (names ignore case, and "#123" stands for number 123, as on
// Windows). A resource's data lives in the module: LoadResource and
// LockResource hand out its address, valid while the module is loaded.
#include "platform/posix/errors.h"
#include "platform/posix/module.h"

#include <string>

namespace {

// A resource type or name as asked for: a number, or an ASCII text in
// upper case (no other text can name a compiled resource).
struct Key {
    bool isNumber = false;
    WORD number = 0;
    std::string text;
    bool usable = true;
};

constexpr unsigned kLargestNumber = 0xFFFF;

template <class Char> Key keyFrom(const Char *name) {
    Key key;
    if (IS_INTRESOURCE(name)) {
        key.isNumber = true;
        key.number = LOWORD(name);
        return key;
    }
    for (const Char *c = name; *c; ++c) {
        unsigned unit = unsigned(*c) & (sizeof(Char) == 1 ? 0xFF : 0xFFFF);
        key.usable = key.usable && unit < 0x80;
        key.text += char(unit >= 'a' && unit <= 'z' ? unit - 'a' + 'A' : unit);
    }
    bool digits = key.text.size() > 1 && key.text.size() <= 6 && key.text[0] == '#' &&
                  key.text.find_first_not_of("0123456789", 1) == std::string::npos;
    if (digits && std::stoul(key.text.substr(1)) <= kLargestNumber) {
        key.isNumber = true;
        key.number = WORD(std::stoul(key.text.substr(1)));
    }
    return key;
}

bool matches(const Key &key, const char *text, uint16_t number) {
    if (key.isNumber)
        return !text && number == key.number;
    return key.usable && text && key.text == text;
}

const TavoResource *findIn(const TavoResourceTable *table, const Key &name, const Key &type) {
    if (!table)
        return posix::failing<const TavoResource *>(nullptr, ERROR_RESOURCE_DATA_NOT_FOUND);
    bool typeFound = false;
    for (uint32_t i = 0; i < table->count; ++i) {
        const TavoResource &resource = table->resources[i];
        if (!matches(type, resource.typeText, resource.typeId))
            continue;
        typeFound = true;
        if (matches(name, resource.nameText, resource.nameId))
            return &resource;
    }
    return posix::failing<const TavoResource *>(nullptr, typeFound ? ERROR_RESOURCE_NAME_NOT_FOUND
                                                                   : ERROR_RESOURCE_TYPE_NOT_FOUND);
}

template <class Char> HRSRC findResource(HMODULE module, const Char *name, const Char *type) {
    if (!name || !type)
        return posix::failing<HRSRC>(nullptr, ERROR_INVALID_PARAMETER);
    posix::Image image;
    if (!posix::openImage(module, image))
        return nullptr;
    const TavoResource *found = findIn(posix::resourceTable(image), keyFrom(name), keyFrom(type));
    return reinterpret_cast<HRSRC>(const_cast<TavoResource *>(found));
}

// The resource behind a handle that FindResource gave for this module.
const TavoResource *resourceOf(HMODULE module, HRSRC handle) {
    posix::Image image;
    if (!posix::openImage(module, image))
        return nullptr;
    const TavoResourceTable *table = posix::resourceTable(image);
    auto resource = reinterpret_cast<const TavoResource *>(handle);
    if (!table || !handle || resource < table->resources ||
        resource >= table->resources + table->count)
        return posix::failing<const TavoResource *>(nullptr, ERROR_INVALID_HANDLE);
    return resource;
}

} // namespace

HRSRC WINAPI FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) {
    return findResource(module, name, type);
}

HRSRC WINAPI FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type) {
    return findResource(module, name, type);
}

HGLOBAL WINAPI LoadResource(HMODULE module, HRSRC handle) {
    const TavoResource *resource = resourceOf(module, handle);
    return resource ? HGLOBAL(const_cast<unsigned char *>(resource->data)) : nullptr;
}

LPVOID WINAPI LockResource(HGLOBAL data) {
    return data;
}

DWORD WINAPI SizeofResource(HMODULE module, HRSRC handle) {
    const TavoResource *resource = resourceOf(module, handle);
    return resource ? resource->size : 0;
}

// Resources are never loaded separately, so there is nothing to free;
// like Windows, it answers FALSE.
BOOL WINAPI FreeResource(HGLOBAL) {
    return FALSE;
}
