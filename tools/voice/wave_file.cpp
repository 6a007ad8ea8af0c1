// Writing and reading RIFF WAVE images of 16-bit mono sound.
#include "tools/voice/wave_file.h"
#include "tools/common/little_endian.h"

#include <algorithm>

namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kBitsPerSample = 16;
constexpr uint32_t kFormatSize = 16;

uint16_t getWord(const std::string &in, size_t at) {
    return uint16_t((unsigned char)in[at] | ((unsigned char)in[at + 1] << 8));
}

uint32_t getDword(const std::string &in, size_t at) {
    return getWord(in, at) | (uint32_t(getWord(in, at + 2)) << 16);
}

// A chunk: tag, size, body, and a pad byte when the body is odd.
void putChunk(std::string &out, const char *tag, const std::string &body) {
    out.append(tag, 4);
    putDword(out, uint32_t(body.size()));
    out += body;
    if (body.size() % 2)
        out += '\0';
}

std::string formatBody(unsigned rate) {
    std::string body;
    putWord(body, kFormatPcm);
    putWord(body, 1); // channels
    putDword(body, rate);
    putDword(body, rate * 2); // bytes per second
    putWord(body, 2);         // bytes per frame
    putWord(body, kBitsPerSample);
    return body;
}

// LIST/INFO with one INAM entry, zero-terminated as INFO strings are.
std::string infoBody(const std::string &name) {
    std::string body = "INFO";
    putChunk(body, "INAM", name + '\0');
    return body;
}

std::string sampleBytes(const std::vector<int16_t> &samples) {
    std::string body;
    body.reserve(samples.size() * 2);
    for (int16_t sample : samples)
        putWord(body, uint16_t(sample));
    return body;
}

struct Chunk {
    std::string tag;
    size_t body; // offset of the body in the image
    size_t size; // bytes of the body inside the image
};

// The chunks in image[begin, end); a chunk whose size runs past end is
// cut there and is the last.
std::vector<Chunk> readChunks(const std::string &image, size_t begin, size_t end) {
    std::vector<Chunk> chunks;
    for (size_t at = begin; at + 8 <= end;) {
        size_t body = at + 8;
        size_t size = std::min<size_t>(getDword(image, at + 4), end - body);
        chunks.push_back({image.substr(at, 4), body, size});
        at = body + size + (size % 2);
    }
    return chunks;
}

bool parseFormat(const std::string &image, const Chunk &chunk, WaveSound &sound,
                 std::string &error) {
    if (chunk.size < kFormatSize) {
        error = "the \"fmt \" chunk is cut short";
        return false;
    }
    if (getWord(image, chunk.body) != kFormatPcm || getWord(image, chunk.body + 2) != 1 ||
        getWord(image, chunk.body + 14) != kBitsPerSample) {
        error = "not 16-bit mono PCM";
        return false;
    }
    sound.rate = getDword(image, chunk.body + 4);
    if (sound.rate == 0) {
        error = "a sample rate of 0";
        return false;
    }
    return true;
}

// The INAM text of a LIST/INFO chunk, up to its terminator.
std::string parseName(const std::string &image, const Chunk &list) {
    if (list.size < 4 || image.compare(list.body, 4, "INFO") != 0)
        return "";
    for (const Chunk &entry : readChunks(image, list.body + 4, list.body + list.size)) {
        if (entry.tag == "INAM") {
            std::string text = image.substr(entry.body, entry.size);
            return text.substr(0, text.find('\0'));
        }
    }
    return "";
}

} // namespace

std::string waveImage(const WaveSound &sound) {
    std::string chunks = "WAVE";
    putChunk(chunks, "fmt ", formatBody(sound.rate));
    if (!sound.name.empty())
        putChunk(chunks, "LIST", infoBody(sound.name));
    putChunk(chunks, "data", sampleBytes(sound.samples));
    std::string image = "RIFF";
    putDword(image, uint32_t(chunks.size()));
    return image + chunks;
}

bool waveParse(const std::string &image, WaveSound &sound, std::string &error) {
    if (image.size() < 12 || image.compare(0, 4, "RIFF") != 0 || image.compare(8, 4, "WAVE") != 0) {
        error = "not a RIFF WAVE image";
        return false;
    }
    WaveSound result;
    bool haveFormat = false, haveData = false;
    for (const Chunk &chunk : readChunks(image, 12, image.size())) {
        if (chunk.tag == "fmt ") {
            if (!parseFormat(image, chunk, result, error))
                return false;
            haveFormat = true;
        } else if (chunk.tag == "data" && haveFormat) {
            for (size_t i = 0; i + 1 < chunk.size; i += 2)
                result.samples.push_back(int16_t(getWord(image, chunk.body + i)));
            haveData = true;
        } else if (chunk.tag == "LIST" && result.name.empty()) {
            result.name = parseName(image, chunk);
        }
    }
    if (!haveData) {
        error = haveFormat ? "no \"data\" chunk" : "no \"fmt \" chunk before the data";
        return false;
    }
    sound = std::move(result);
    return true;
}
