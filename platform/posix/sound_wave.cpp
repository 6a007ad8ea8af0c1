// The RIFF WAVE reader: PCM of 8 or 16 bits with any number of channels
// (mixed to mono) at any rate, and GSM 6.10, which is not decoded but
// keeps its duration as silence. Every length is checked against the
// image before it is read, so a damaged image fails instead of reading
// past its end.
#include "platform/posix/sound_wave.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace posix::sound {

namespace {

constexpr WORD kFormatPcm = 0x0001;
constexpr WORD kFormatGsm610 = 0x0031;
constexpr WORD kFormatExtensible = 0xFFFE;
constexpr unsigned kMaxChannels = 8;
constexpr unsigned kMaxRate = 1000000;

WORD word(const BYTE *at) {
    return WORD(at[0] | at[1] << 8);
}

DWORD dword(const BYTE *at) {
    return DWORD(at[0]) | DWORD(at[1]) << 8 | DWORD(at[2]) << 16 | DWORD(at[3]) << 24;
}

bool isTag(const BYTE *at, const char *tag) {
    return std::memcmp(at, tag, 4) == 0;
}

struct Chunk {
    const BYTE *tag;
    const BYTE *body;
    DWORD size;
};

// The chunks of a RIFF list body, in order; fails on a chunk that runs
// past the end. A missing pad byte after the last chunk is tolerated.
class Chunks {
public:
    Chunks(const BYTE *begin, const BYTE *end) : at_(begin), end_(end) {}

    // The next chunk, nullopt at the end; failed() tells a damaged list.
    std::optional<Chunk> next() {
        if (end_ - at_ < 8)
            return std::nullopt;
        Chunk chunk{at_, at_ + 8, dword(at_ + 4)};
        if (chunk.size > size_t(end_ - chunk.body)) {
            failed_ = true;
            return std::nullopt;
        }
        size_t step = 8 + size_t(chunk.size) + (chunk.size & 1);
        at_ = step > size_t(end_ - at_) ? end_ : at_ + step;
        return chunk;
    }

    bool failed() const { return failed_; }

private:
    const BYTE *at_;
    const BYTE *end_;
    bool failed_ = false;
};

struct Format {
    WORD tag = 0;
    unsigned channels = 0;
    unsigned rate = 0;
    unsigned blockAlign = 0;
    unsigned bits = 0;
    unsigned samplesPerBlock = 0; // GSM 6.10
};

std::optional<Format> readFormat(const Chunk &chunk) {
    if (chunk.size < 16)
        return std::nullopt;
    const BYTE *b = chunk.body;
    Format format{word(b), word(b + 2), dword(b + 4), word(b + 12), word(b + 14)};
    WORD extra = chunk.size >= 18 ? word(b + 16) : 0;
    if (format.tag == kFormatExtensible && extra >= 22 && chunk.size >= 40)
        format.tag = word(b + 24); // the sub-format GUID begins with the tag
    if (format.tag == kFormatGsm610 && extra >= 2 && chunk.size >= 20)
        format.samplesPerBlock = word(b + 18);
    return format;
}

bool playable(const Format &f) {
    if (f.channels == 0 || f.channels > kMaxChannels || f.rate == 0 || f.rate > kMaxRate)
        return false;
    if (f.tag == kFormatPcm)
        return f.bits == 8 || f.bits == 16;
    return f.tag == kFormatGsm610 && f.blockAlign > 0 && f.samplesPerBlock > 0;
}

// The text of an INAM entry: up to its terminator, with control
// characters replaced so that it stays on one line of a log.
std::string tagText(const Chunk &chunk) {
    const char *text = reinterpret_cast<const char *>(chunk.body);
    std::string name(text, strnlen(text, chunk.size));
    for (char &c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    return name;
}

// The INAM text of a LIST/INFO chunk, or empty.
std::string infoName(const Chunk &list) {
    if (list.size < 4 || !isTag(list.body, "INFO"))
        return {};
    Chunks entries(list.body + 4, list.body + list.size);
    while (auto entry = entries.next())
        if (isTag(entry->tag, "INAM"))
            return tagText(*entry);
    return {};
}

int16_t pcmSample(const BYTE *at, unsigned bits) {
    return bits == 8 ? int16_t((at[0] - 128) * 256) : int16_t(word(at));
}

void decodePcm(const Format &f, const Chunk &data, Sound &sound) {
    unsigned frameBytes = f.channels * (f.bits / 8);
    sound.frames = data.size / frameBytes;
    sound.samples.resize(sound.frames);
    const BYTE *at = data.body;
    for (int16_t &sample : sound.samples) {
        int sum = 0;
        for (unsigned c = 0; c < f.channels; ++c, at += f.bits / 8)
            sum += pcmSample(at, f.bits);
        sample = int16_t(sum / int(f.channels));
    }
}

} // namespace

uint64_t riffImageSize(const BYTE *data) {
    return isTag(data, "RIFF") ? 8 + uint64_t(dword(data + 4)) : 0;
}

bool parseWave(const BYTE *data, size_t size, Sound &sound) {
    if (!data || size < 12 || !isTag(data, "RIFF") || !isTag(data + 8, "WAVE"))
        return false;
    size = size_t(std::min<uint64_t>(size, riffImageSize(data)));
    std::optional<Format> format;
    std::optional<Chunk> dataChunk;
    std::string name;
    Chunks chunks(data + 12, data + std::max<size_t>(size, 12));
    while (auto chunk = chunks.next()) {
        if (isTag(chunk->tag, "fmt ") && !format)
            format = readFormat(*chunk);
        else if (isTag(chunk->tag, "data") && !dataChunk)
            dataChunk = chunk;
        else if (isTag(chunk->tag, "LIST") && name.empty())
            name = infoName(*chunk);
    }
    if (chunks.failed() || !format || !dataChunk || !playable(*format))
        return false;
    sound = Sound{};
    sound.rate = format->rate;
    sound.name = std::move(name);
    if (format->tag == kFormatPcm)
        decodePcm(*format, *dataChunk, sound);
    else
        sound.frames = uint64_t(dataChunk->size / format->blockAlign) * format->samplesPerBlock;
    return true;
}

uint64_t durationMs(const Sound &sound) {
    return (sound.frames * 1000 + sound.rate / 2) / sound.rate;
}

uint64_t framesAt(const Sound &sound, unsigned rate) {
    return sound.frames * rate / sound.rate;
}

void render(const Sound &sound, unsigned rate, uint64_t first, size_t count, int16_t *out) {
    const auto &s = sound.samples;
    for (size_t i = 0; i < count; ++i) {
        uint64_t position = (first + i) * sound.rate; // in source frames × rate
        uint64_t index = position / rate;
        if (index >= s.size()) {
            out[i] = 0;
            continue;
        }
        int next = index + 1 < s.size() ? s[index + 1] : s[index];
        int64_t fraction = position % rate;
        out[i] = int16_t(s[index] + (next - s[index]) * fraction / int64_t(rate));
    }
}

} // namespace posix::sound
