// Creating fonts and describing them, in both text flavours, and the
// stock system font.
#include "platform/posix/gdi_font.h"
#include "platform/posix/errors.h"

#include <algorithm>
#include <cstring>

namespace posix {

namespace {

constexpr UINT kBig5 = 950;

// The font's fields other than its face name, which differ in type only.
template <class To, class From> To copyFields(const From &from) {
    To to{};
    to.lfHeight = from.lfHeight;
    to.lfWidth = from.lfWidth;
    to.lfEscapement = from.lfEscapement;
    to.lfOrientation = from.lfOrientation;
    to.lfWeight = from.lfWeight;
    to.lfItalic = from.lfItalic;
    to.lfUnderline = from.lfUnderline;
    to.lfStrikeOut = from.lfStrikeOut;
    to.lfCharSet = from.lfCharSet;
    to.lfOutPrecision = from.lfOutPrecision;
    to.lfClipPrecision = from.lfClipPrecision;
    to.lfQuality = from.lfQuality;
    to.lfPitchAndFamily = from.lfPitchAndFamily;
    return to;
}

template <class Char> size_t boundedLength(const Char *text) {
    size_t length = 0;
    while (length < LF_FACESIZE && text[length])
        length++;
    return length;
}

} // namespace

LOGFONTW wideFont(const LOGFONTA &font) {
    LOGFONTW wide = copyFields<LOGFONTW>(font);
    int length = int(boundedLength(font.lfFaceName));
    int written =
        MultiByteToWideChar(kBig5, 0, font.lfFaceName, length, wide.lfFaceName, LF_FACESIZE - 1);
    wide.lfFaceName[std::max(written, 0)] = 0;
    return wide;
}

LOGFONTA narrowFont(const LOGFONTW &font) {
    LOGFONTA narrow = copyFields<LOGFONTA>(font);
    int length = int(boundedLength(font.lfFaceName));
    int written = WideCharToMultiByte(kBig5, 0, font.lfFaceName, length, narrow.lfFaceName,
                                      LF_FACESIZE - 1, nullptr, nullptr);
    narrow.lfFaceName[std::max(written, 0)] = 0;
    return narrow;
}

int Font::describe(int size, void *buffer) const {
    return copyDescription(&description, sizeof description, size, buffer);
}

SizedFace &Font::face() const {
    std::call_once(found_, [this] { face_ = findFace(description); });
    return *face_;
}

HGDIOBJ systemFont() {
    static const HGDIOBJ font = [] {
        LOGFONTW description{};
        description.lfHeight = 16;
        description.lfWidth = 8;
        description.lfWeight = FW_NORMAL;
        description.lfCharSet = CHINESEBIG5_CHARSET;
        std::copy_n(u"System", 7, description.lfFaceName);
        auto object = std::make_shared<Font>(description);
        object->stock = true;
        return addObject(object);
    }();
    return font;
}

} // namespace posix

namespace {

HFONT create(const LOGFONTW &description) {
    return posix::addObject(std::make_shared<posix::Font>(description));
}

template <class LogFont, class Char>
LogFont describe(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                 DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                 DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, const Char *face) {
    LogFont font{};
    font.lfHeight = height;
    font.lfWidth = width;
    font.lfEscapement = escapement;
    font.lfOrientation = orientation;
    font.lfWeight = weight;
    font.lfItalic = BYTE(italic);
    font.lfUnderline = BYTE(underline);
    font.lfStrikeOut = BYTE(strikeOut);
    font.lfCharSet = BYTE(charSet);
    font.lfOutPrecision = BYTE(outPrecision);
    font.lfClipPrecision = BYTE(clipPrecision);
    font.lfQuality = BYTE(quality);
    font.lfPitchAndFamily = BYTE(pitchAndFamily);
    for (size_t i = 0; face && i + 1 < LF_FACESIZE && face[i]; i++)
        font.lfFaceName[i] = face[i];
    return font;
}

} // namespace

HFONT WINAPI CreateFontIndirectW(const LOGFONTW *font) {
    if (!font)
        return posix::failing<HFONT>(nullptr, ERROR_INVALID_PARAMETER);
    LOGFONTW copy = *font;
    copy.lfFaceName[LF_FACESIZE - 1] = 0;
    return create(copy);
}

HFONT WINAPI CreateFontIndirectA(const LOGFONTA *font) {
    if (!font)
        return posix::failing<HFONT>(nullptr, ERROR_INVALID_PARAMETER);
    return create(posix::wideFont(*font));
}

HFONT WINAPI CreateFontW(int height, int width, int escapement, int orientation, int weight,
                         DWORD italic, DWORD underline, DWORD strikeOut, DWORD charSet,
                         DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                         DWORD pitchAndFamily, LPCWSTR face) {
    LOGFONTW font = describe<LOGFONTW>(height, width, escapement, orientation, weight, italic,
                                       underline, strikeOut, charSet, outPrecision, clipPrecision,
                                       quality, pitchAndFamily, face);
    return CreateFontIndirectW(&font);
}

HFONT WINAPI CreateFontA(int height, int width, int escapement, int orientation, int weight,
                         DWORD italic, DWORD underline, DWORD strikeOut, DWORD charSet,
                         DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                         DWORD pitchAndFamily, LPCSTR face) {
    LOGFONTA font = describe<LOGFONTA>(height, width, escapement, orientation, weight, italic,
                                       underline, strikeOut, charSet, outPrecision, clipPrecision,
                                       quality, pitchAndFamily, face);
    return CreateFontIndirectA(&font);
}
