// Grouping a string table into RT_STRING blocks of sixteen.
#include "tools/rc/rcstrings.h"
#include "tools/rc/rctokens.h"

namespace {

constexpr unsigned kStringsPerBlock = 16;

} // namespace

std::map<unsigned, std::u16string> rcStringBlocks(const std::map<unsigned, std::string> &strings) {
    std::map<unsigned, std::map<unsigned, std::u16string>> grouped;
    for (const auto &[id, text] : strings)
        rcUtf16(text, grouped[id / kStringsPerBlock + 1][id % kStringsPerBlock]);
    std::map<unsigned, std::u16string> blocks;
    for (const auto &[block, members] : grouped) {
        std::u16string &units = blocks[block];
        for (unsigned index = 0; index < kStringsPerBlock; index++) {
            auto member = members.find(index);
            std::u16string text = member == members.end() ? u"" : member->second;
            units += char16_t(text.size());
            units += text;
        }
    }
    return blocks;
}
