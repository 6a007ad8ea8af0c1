// The text form of the keys and data of "libptree" images, shared by the
// tools that dump images to text and build them from it.
//
// Text is UTF-8 and stands for Big5 bytes. In it `{...}` holds toned
// jyutping standing for reading codes, and `\n`, `\\`, `\{`, `\}` and
// `\xHH` are escapes; a TAB stays a TAB. Rendering writes every byte so
// that parsing gives it back exactly.
#ifndef TAVO_TOOLS_IMAGE_TEXT_H
#define TAVO_TOOLS_IMAGE_TEXT_H

#include <optional>
#include <string>
#include <vector>

// What an image's data holds, which decides where reading codes are shown.
enum class ImageKind {
    readings, // dictionary: TAB-separated readings, all reading codes
    query,    // lines of a reading code and explanations
    text,     // Big5 text
    binary,   // any bytes (voice data)
};

// The kind that images with this identifier hold.
ImageKind imageKindForId(const std::string &id);
std::optional<ImageKind> imageKindByName(const std::string &name);
const char *imageKindName(ImageKind kind);

// Parses text into bytes. On an error returns false with error set.
bool imageParseText(const std::string &text, std::string &bytes, std::string &error);

// UTF-8 text to Big5 bytes, with no escapes. On a character that code page
// 950 lacks (or bad UTF-8) returns false with error naming it.
bool imageUtf8ToBig5(const std::string &text, std::string &big5, std::string &error);

// The text form of a key or of data, as the kind shows it.
std::string imageKeyText(const std::string &key, ImageKind kind);
std::string imageDataText(const std::string &data, ImageKind kind);

// Bytes of text written with the escapes of the text form: Big5 characters
// as UTF-8, TAB kept, and reading codes as `{...}` when codes is set.
std::string imageBytesText(const std::string &bytes, bool codes);

// The alternatives of data: the readings of a dictionary entry, the lines
// of a query entry, the TAB-separated items of text; binary data whole.
std::vector<std::string> imageDataParts(const std::string &data, ImageKind kind);

// Every byte as \xHH.
std::string imageHexText(const std::string &bytes);

// The number of Big5 characters in the bytes (a byte that starts no pair
// counts as one).
size_t imageBig5Length(const std::string &bytes);

// The toned jyutping of a valid reading code (tones 1..6), or nothing.
std::optional<std::string> imageReadingText(unsigned char first, unsigned char second);

#endif
