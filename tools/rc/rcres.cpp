#include "tools/rc/rcres.h"
#include "tools/common/little_endian.h"

#include <fstream>
#include <sstream>

namespace {

constexpr uint16_t kOrdinalMark = 0xFFFF;

void alignDword(std::string &out) {
    while (out.size() % 4)
        out += '\0';
}

// A type or name: 0xFFFF and the number, or the word in UTF-16 (words are
// ASCII) with its terminator.
void putName(std::string &out, const RcName &name) {
    if (name.isNumber) {
        putWord(out, kOrdinalMark);
        putWord(out, uint16_t(name.number));
        return;
    }
    for (unsigned char c : name.text)
        putWord(out, c);
    putWord(out, 0);
}

// One entry: its header (sizes, type, name, then version fields with
// language 0 and no memory flags: there is one language) and its data.
void putEntry(std::string &out, const RcName &type, const RcName &name, const std::string &data) {
    std::string names;
    putName(names, type);
    putName(names, name);
    alignDword(names);
    putDword(out, uint32_t(data.size()));
    putDword(out, uint32_t(8 + names.size() + 16));
    out += names;
    putDword(out, 0); // DataVersion
    putWord(out, 0);  // MemoryFlags
    putWord(out, 0);  // LanguageId
    putDword(out, 0); // Version
    putDword(out, 0); // Characteristics
    out += data;
    alignDword(out);
}

bool dataOf(const RcCompiled &resource, std::string &data, std::string &error) {
    if (!resource.bytes.empty()) { // made from a picture file
        data = resource.bytes;
        return true;
    }
    if (resource.file.empty()) {
        data.clear();
        for (char16_t unit : resource.units)
            putWord(data, uint16_t(unit));
        return true;
    }
    std::ifstream in(resource.file, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    data = all.str();
    if (!in || data.size() != resource.size) {
        error = resource.file + ": cannot read it whole";
        return false;
    }
    return true;
}

} // namespace

bool rcResFile(const std::vector<RcCompiled> &resources, std::string &image, std::string &error) {
    image.clear();
    // A .res file opens with an empty entry that marks its format.
    putEntry(image, RcName{true, 0, ""}, RcName{true, 0, ""}, "");
    for (const RcCompiled &resource : resources) {
        std::string data;
        if (!dataOf(resource, data, error))
            return false;
        putEntry(image, resource.type, resource.name, data);
    }
    return true;
}
