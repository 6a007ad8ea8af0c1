// Opening and mapping an image file for tavodb's commands.
#include "tools/tavodb/image_file.h"

#include <cstring>
#include <regex>

#include "tools/common/tool_files.h"
#include "tools/tavodb/options.h"

namespace {

constexpr size_t kSummaryBytes = 16;

// The identifier follows the header record and the magic string.
std::string readIdentifier(const ptree *tree) {
    DWORD start = PTREE_RECORD_SIZE + sizeof(PTREE_MAGIC);
    if (start >= tree->size)
        return "";
    const char *text = (const char *)tree->image + start;
    return std::string(text, strnlen(text, tree->size - start));
}

} // namespace

bool openImage(const std::string &path, std::optional<ImageKind> kind, ImageFile &image,
               std::string &error) {
    HANDLE file = toolOpenForReading(path);
    if (file == INVALID_HANDLE_VALUE) {
        error = "cannot open: " + toolLastError();
        return false;
    }
    image.tree = ptree_open_handle(file);
    if (image.tree == NULL) {
        error = "not a libptree image";
        return false;
    }
    image.id = readIdentifier(image.tree);
    image.kind = kind ? *kind : imageKindForId(image.id);
    return true;
}

std::string binarySummary(const std::string &data) {
    std::string text = "[" + std::to_string(data.size()) + (data.size() == 1 ? " byte" : " bytes");
    if (!data.empty())
        text += ": " + imageHexText(data.substr(0, kSummaryBytes));
    if (data.size() > kSummaryBytes)
        text += "...";
    return text + "]";
}

bool isBinarySummary(const std::string &text) {
    static const std::regex summary(R"(\[[0-9]+ bytes?(: (\\x[0-9A-Fa-f]{2})+(\.\.\.)?)?\])");
    return std::regex_match(text, summary);
}

int reportDamage(const std::string &path, const ImageWalk &walk) {
    if (walk.damaged == 0)
        return 0;
    return reportError(path, "damaged image: " + std::to_string(walk.damaged) +
                                 " links or nodes skipped");
}
