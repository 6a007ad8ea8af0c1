// Finding the face for a font's description through fontconfig: the face
// name when one is given, the language of the character set (Big5 text
// asks for a Traditional Chinese face), weight and slant; and sharing the
// faces opened at each size.
#include "platform/posix/gdi_face_freetype.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstdlib>
#include <list>
#include <map>
#include <mutex>
#include <optional>
#include <tuple>

namespace posix {

namespace {

constexpr int kLargestCell = 2048;
constexpr size_t kFacesKept = 16; // sizes kept open after their fonts are gone
constexpr char32_t kIdeographSample = U'字';

// The language whose face a Windows character set stands for, and a
// character the face must have.
struct Script {
    BYTE charSet;
    const char *language;
    char32_t sample;
};
const Script kScripts[] = {
    {136, "zh-tw", kIdeographSample}, // CHINESEBIG5_CHARSET
    {134, "zh-cn", kIdeographSample}, // GB2312_CHARSET
    {128, "ja", U'字'},               // SHIFTJIS_CHARSET
    {129, "ko", U'가'},               // HANGUL_CHARSET
};

struct Request {
    std::string family; // UTF-8; empty: the character set's default
    BYTE charSet = 0;
    int weight = FW_NORMAL;
    bool italic = false;

    auto key() const { return std::tie(family, charSet, weight, italic); }
    bool operator<(const Request &other) const { return key() < other.key(); }
};

std::string utf8(const WCHAR *text, size_t length) {
    std::string out;
    for (size_t i = 0; i < length && text[i]; i++) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < length && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        if (c < 0x80)
            out += char(c);
        else if (c < 0x800)
            out += {char(0xC0 | c >> 6), char(0x80 | (c & 0x3F))};
        else if (c < 0x10000)
            out += {char(0xE0 | c >> 12), char(0x80 | (c >> 6 & 0x3F)), char(0x80 | (c & 0x3F))};
        else
            out += {char(0xF0 | c >> 18), char(0x80 | (c >> 12 & 0x3F)),
                    char(0x80 | (c >> 6 & 0x3F)), char(0x80 | (c & 0x3F))};
    }
    return out;
}

Request requestOf(const LOGFONTW &font) {
    Request request;
    request.family = utf8(font.lfFaceName, LF_FACESIZE);
    request.charSet = font.lfCharSet;
    request.weight = font.lfWeight <= 0 ? FW_NORMAL : std::clamp<int>(font.lfWeight, 1, 1000);
    request.italic = font.lfItalic != 0;
    return request;
}

const Script *scriptOf(BYTE charSet) {
    for (const Script &script : kScripts)
        if (script.charSet == charSet)
            return &script;
    return nullptr;
}

class Matcher;
Matcher &matcher();

// fontconfig's answer for a request, kept; nothing when it knows no face.
class Matcher {
public:
    std::optional<FaceFile> match(const Request &request) {
        std::lock_guard guard(lock_);
        auto found = answers_.find(request);
        if (found == answers_.end())
            found = answers_.emplace(request, ask(request)).first;
        return found->second;
    }

    // Given back when the process ends, so that no memory of fontconfig's
    // stays behind; nothing is found after that.
    void close() {
        std::lock_guard guard(lock_);
        if (config_)
            FcConfigDestroy(config_);
        config_ = nullptr;
        answers_.clear();
    }

private:
    // Read once: without a configuration there are no faces to find.
    FcConfig *config() {
        if (!configRead_) {
            config_ = FcInitLoadConfigAndFonts();
            std::atexit([] { matcher().close(); });
        }
        configRead_ = true;
        return config_;
    }

    // A face of the named family when it has the character set's
    // characters, else the character set's own face; a face without them
    // only when there is no other (its missing characters are boxes).
    std::optional<FaceFile> ask(const Request &request) {
        if (!config())
            return std::nullopt;
        const Script *script = scriptOf(request.charSet);
        bool covers = false;
        std::optional<FaceFile> named = find(request, request.family, script, covers);
        if (covers || !script || request.family.empty())
            return named;
        std::optional<FaceFile> unnamed = find(request, "", script, covers);
        return covers || !named ? unnamed : named;
    }

    std::optional<FaceFile> find(const Request &request, const std::string &family,
                                 const Script *script, bool &covers) {
        FcPattern *pattern = FcPatternCreate();
        if (!family.empty())
            FcPatternAddString(pattern, FC_FAMILY,
                               reinterpret_cast<const FcChar8 *>(family.c_str()));
        if (script)
            FcPatternAddString(pattern, FC_LANG,
                               reinterpret_cast<const FcChar8 *>(script->language));
        FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(request.weight));
        FcPatternAddInteger(pattern, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
        FcConfigSubstitute(config_, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result;
        FcPattern *match = FcFontMatch(config_, pattern, &result);
        FcPatternDestroy(pattern);
        if (!match)
            return std::nullopt;
        FcCharSet *characters = nullptr;
        covers =
            !script || (FcPatternGetCharSet(match, FC_CHARSET, 0, &characters) == FcResultMatch &&
                        FcCharSetHasChar(characters, script->sample));
        std::optional<FaceFile> file = describe(match);
        FcPatternDestroy(match);
        return file;
    }

    static std::optional<FaceFile> describe(FcPattern *match) {
        FcChar8 *path = nullptr, *family = nullptr;
        int index = 0, weight = FC_WEIGHT_REGULAR;
        if (FcPatternGetString(match, FC_FILE, 0, &path) != FcResultMatch)
            return std::nullopt;
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
        FcPatternGetString(match, FC_FAMILY, 0, &family);
        FaceFile file;
        file.path = reinterpret_cast<const char *>(path);
        file.index = index;
        file.weight = FcWeightToOpenType(weight);
        file.family = family ? reinterpret_cast<const char *>(family) : "";
        return file;
    }

    std::mutex lock_;
    FcConfig *config_ = nullptr;
    bool configRead_ = false;
    std::map<Request, std::optional<FaceFile>> answers_;
};

// Faces by file, size and style; the last few stay open when no font uses
// them, so that a font made again at a recent size draws at once.
class FaceCache {
public:
    std::shared_ptr<SizedFace> get(const std::optional<FaceFile> &file, int cell,
                                   const Request &request) {
        Key key{file ? file->path : "", file ? file->index : -1, cell, request.weight,
                request.italic};
        std::lock_guard guard(lock_);
        for (auto at = kept_.begin(); at != kept_.end(); ++at)
            if (at->first == key) {
                kept_.splice(kept_.begin(), kept_, at);
                return at->second;
            }
        std::shared_ptr<SizedFace> face;
        if (file)
            face = openFace(*file, cell, request.weight, request.italic);
        if (!face)
            face = boxFace(cell, request.weight >= kBoldWeight);
        kept_.emplace_front(key, face);
        if (kept_.size() > kFacesKept)
            kept_.pop_back();
        return face;
    }

    void clear() {
        std::lock_guard guard(lock_);
        kept_.clear();
    }

private:
    using Key = std::tuple<std::string, int, int, int, bool>;
    std::mutex lock_;
    std::list<std::pair<Key, std::shared_ptr<SizedFace>>> kept_;
};

Matcher &matcher() {
    static auto *instance = new Matcher;
    return *instance;
}

FaceCache &faceCache() {
    static auto *instance = new FaceCache;
    return *instance;
}

} // namespace

int cellHeightOf(const LOGFONTW &font) {
    constexpr int kDefaultCell = 16;
    long long height = font.lfHeight;
    if (height == 0)
        return kDefaultCell;
    return int(std::clamp(height < 0 ? -height : height, 1LL, (long long)kLargestCell));
}

void forgetFaces() {
    faceCache().clear();
}

std::shared_ptr<SizedFace> findFace(const LOGFONTW &font) {
    Request request = requestOf(font);
    return faceCache().get(matcher().match(request), cellHeightOf(font), request);
}

} // namespace posix
