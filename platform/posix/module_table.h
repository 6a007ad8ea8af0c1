// The resource table that the resource compiler (tools/rc) builds from a
// module's resource list and links into the module, where the loader
// finds it by its exported name. Plain C layout: the compiler's output
// depends on nothing else.
#ifndef TAVO_POSIX_MODULE_TABLE_H
#define TAVO_POSIX_MODULE_TABLE_H

#include <cstddef>
#include <cstdint>

// One resource. A type or name is either a number (its text is null) or
// an upper-case ASCII text, as Windows keeps names given as words.
struct TavoResource {
    const char *typeText;
    uint16_t typeId;
    const char *nameText;
    uint16_t nameId;
    const unsigned char *data;
    uint32_t size;
};

struct TavoResourceTable {
    uint32_t version; // kTavoResourceTableVersion
    uint32_t count;
    const TavoResource *resources;
};

constexpr uint32_t kTavoResourceTableVersion = 1;

// The name under which a module exports its table: as written in the
// compiler's output, and as the loader looks it up.
#define TAVO_RESOURCE_TABLE tavo_resources
#define TAVO_RESOURCE_TABLE_SYMBOL "tavo_resources"

#endif
