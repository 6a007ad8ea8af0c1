// Writes the tables through which code page 950 converts: Big5 with the
// Hong Kong supplement (HKSCS-2008), taken from the C library's BIG5-HKSCS
// converter at build time so that every platform converts the same way.
//
// Usage: cp950gen <output file>
//
// The output is written to a temporary file and renamed into place, so a
// failed run never leaves a partial table behind.
#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int kFirstLead = 0x81;
constexpr int kLastLead = 0xFE;
constexpr uint32_t kEscapeBase = 0xD800; // decode values 0xD800..0xDFFF point at extras
constexpr uint32_t kEscapeCount = 0x800;

typedef std::vector<uint32_t> CodePoints;
typedef std::vector<uint8_t> Bytes;

bool isTrailByte(int b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0xA1 && b <= 0xFE);
}

// One direction of the C library's converter, reset before every use.
class Converter {
public:
    Converter(const char *to, const char *from) : cd_(iconv_open(to, from)) {
        if (cd_ == (iconv_t)-1)
            throw std::runtime_error(std::string("iconv cannot convert from ") + from + " to " +
                                     to + ": " + std::strerror(errno));
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    // Converts the whole input and flushes the converter's state. Returns
    // false when the input is not convertible as a whole.
    bool convert(const Bytes &in, Bytes &out) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        out.assign(64, 0);
        char *inPtr = (char *)in.data();
        size_t inLeft = in.size();
        char *outPtr = (char *)out.data();
        size_t outLeft = out.size();
        size_t result = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
        if (result == (size_t)-1 || inLeft != 0)
            return false;
        // Some encoders hold a character back to see what follows it.
        if (iconv(cd_, nullptr, nullptr, &outPtr, &outLeft) == (size_t)-1)
            return false;
        out.resize(out.size() - outLeft);
        return true;
    }

private:
    iconv_t cd_;
};

Bytes toUtf32(const CodePoints &cps) {
    Bytes bytes;
    for (uint32_t cp : cps)
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back((uint8_t)(cp >> shift));
    return bytes;
}

CodePoints fromUtf32(const Bytes &bytes) {
    CodePoints cps;
    for (size_t i = 0; i + 4 <= bytes.size(); i += 4)
        cps.push_back(bytes[i] | bytes[i + 1] << 8 | bytes[i + 2] << 16 |
                      (uint32_t)bytes[i + 3] << 24);
    return cps;
}

std::string hexCode(uint32_t code) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%04X", code);
    return text;
}

// What the C library makes of every lead and trail byte pair, and what it
// makes of those characters again.
struct Tables {
    std::vector<uint16_t> decode;                  // per pair: 0, a character or an escape
    std::vector<CodePoints> extras;                // non-BMP characters and sequences
    std::vector<uint16_t> encodeBmp;               // per BMP code point: the pair or 0
    std::map<uint32_t, uint16_t> encodeWide;       // non-BMP code point -> pair
    std::map<CodePoints, uint16_t> encodeSequence; // two code points -> pair
};

uint16_t addExtra(Tables &tables, const CodePoints &cps) {
    if (tables.extras.size() >= kEscapeCount)
        throw std::runtime_error("too many characters outside the BMP for the decode table");
    tables.extras.push_back(cps);
    return (uint16_t)(kEscapeBase + tables.extras.size() - 1);
}

// Records what the pair decodes to; returns the code points (empty if none).
CodePoints decodePair(Converter &decoder, Tables &tables, int lead, int trail) {
    Bytes out;
    CodePoints cps;
    if (decoder.convert(Bytes{(uint8_t)lead, (uint8_t)trail}, out))
        cps = fromUtf32(out);
    uint16_t entry = 0;
    if (cps.size() == 1 && cps[0] <= 0xFFFF) {
        if (cps[0] == 0 || (cps[0] >= kEscapeBase && cps[0] < kEscapeBase + kEscapeCount))
            throw std::runtime_error("pair " + hexCode(lead << 8 | trail) +
                                     " decodes to a reserved value");
        entry = (uint16_t)cps[0];
    } else if (cps.size() == 1 || cps.size() == 2) {
        entry = addExtra(tables, cps);
    } else if (!cps.empty()) {
        throw std::runtime_error("pair " + hexCode(lead << 8 | trail) +
                                 " decodes to more than two characters");
    }
    tables.decode.push_back(entry);
    return cps;
}

// The pair the encoder chooses for the code points; it must decode back to
// them, or the tables would not round-trip.
uint16_t encodeCodePoints(Converter &encoder, Converter &decoder, const CodePoints &cps) {
    Bytes pair, back;
    if (!encoder.convert(toUtf32(cps), pair) || pair.size() != 2 || !decoder.convert(pair, back) ||
        fromUtf32(back) != cps)
        throw std::runtime_error("U+" + hexCode(cps[0]).substr(2) +
                                 " does not encode to a pair that decodes back to it");
    return (uint16_t)(pair[0] << 8 | pair[1]);
}

Tables buildTables() {
    Converter decoder("UTF-32LE", "BIG5-HKSCS");
    Converter encoder("BIG5-HKSCS", "UTF-32LE");
    Tables tables;
    tables.encodeBmp.assign(0x10000, 0);
    std::vector<CodePoints> decoded;
    for (int lead = kFirstLead; lead <= kLastLead; lead++)
        for (int trail = 0x40; trail <= 0xFE; trail++)
            if (isTrailByte(trail))
                decoded.push_back(decodePair(decoder, tables, lead, trail));
    for (const CodePoints &cps : decoded) {
        if (cps.empty())
            continue;
        uint16_t pair = encodeCodePoints(encoder, decoder, cps);
        if (cps.size() == 2)
            tables.encodeSequence[cps] = pair;
        else if (cps[0] > 0xFFFF)
            tables.encodeWide[cps[0]] = pair;
        else
            tables.encodeBmp[cps[0]] = pair;
    }
    return tables;
}

std::string formatNumber(uint32_t value) {
    return value == 0 ? "0" : hexCode(value);
}

void writeArray(std::ofstream &out, const char *declaration, const std::vector<uint16_t> &values) {
    out << declaration << " = {\n";
    for (size_t i = 0; i < values.size(); i++)
        out << formatNumber(values[i]) << ((i % 16 == 15 || i + 1 == values.size()) ? ",\n" : ",");
    out << "};\n\n";
}

void writeRows(std::ofstream &out, const char *declaration,
               const std::vector<std::vector<uint32_t>> &rows) {
    out << declaration << " = {\n";
    for (const std::vector<uint32_t> &row : rows) {
        out << "{";
        for (size_t i = 0; i < row.size(); i++)
            out << (i ? "," : "") << formatNumber(row[i]);
        out << "},\n";
    }
    out << "};\n\n";
}

void writeTables(std::ofstream &out, const Tables &tables) {
    out << "// Generated by cp950gen from the C library's BIG5-HKSCS converter. Do not edit.\n\n";
    out << "// Decode values from here on index kCp950DecodeExtra.\n"
        << "constexpr uint16_t kCp950ExtraBase = " << hexCode(kEscapeBase) << ";\n\n";
    out << "// Per lead byte 0x81..0xFE, per trail byte 0x40..0x7E then 0xA1..0xFE:\n"
           "// 0 = unmapped, kCp950ExtraBase + i = kCp950DecodeExtra[i], else the character.\n";
    writeArray(out, "static const uint16_t kCp950Decode[]", tables.decode);

    std::vector<std::vector<uint32_t>> rows;
    for (const CodePoints &cps : tables.extras)
        rows.push_back({cps[0], cps.size() > 1 ? cps[1] : 0});
    out << "// Characters outside the BMP {code point, 0} and sequences {base, mark}.\n";
    writeRows(out, "static const uint32_t kCp950DecodeExtra[][2]", rows);

    out << "// Per BMP code point: its pair, or 0.\n";
    writeArray(out, "static const uint16_t kCp950EncodeBmp[]", tables.encodeBmp);

    rows.clear();
    for (const auto &[cp, pair] : tables.encodeWide)
        rows.push_back({cp, pair});
    out << "// Code points outside the BMP and their pairs, sorted.\n";
    writeRows(out, "static const uint32_t kCp950EncodeWide[][2]", rows);

    rows.clear();
    for (const auto &[cps, pair] : tables.encodeSequence)
        rows.push_back({cps[0], cps[1], pair});
    out << "// Base character and combining mark that encode as one pair, sorted.\n";
    writeRows(out, "static const uint32_t kCp950EncodeSequence[][3]", rows);
}

void writeFile(const std::string &path, const Tables &tables) {
    std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (out)
            writeTables(out, tables);
        out.close();
        if (!out) {
            std::remove(temporary.c_str());
            throw std::runtime_error("cannot write " + temporary + ": " + std::strerror(errno));
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        int error = errno;
        std::remove(temporary.c_str());
        throw std::runtime_error("cannot rename " + temporary + " to " + path + ": " +
                                 std::strerror(error));
    }
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: cp950gen <output file>\n");
        return 2;
    }
    try {
        writeFile(argv[1], buildTables());
    } catch (const std::exception &error) {
        std::fprintf(stderr, "cp950gen: %s\n", error.what());
        return 1;
    }
    return 0;
}
