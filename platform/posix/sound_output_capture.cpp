// The output that records: every sample played is appended to a WAV file
// (16-bit mono, 16 kHz) whose header is brought up to date after each
// sound, and each sound gets a line in <path>.log when it ends or is cut
// off, e.g. "1234 ms  nei5  played 412 ms of 412 ms". Times are those of
// the real sound even when TAVO_SOUND_TIMESCALE shortens the waits.
#include "platform/posix/sound_output.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <mutex>
#include <optional>

namespace posix::sound {

namespace {

constexpr unsigned kRate = 16000;
constexpr DWORD kHeaderSize = 44;
constexpr DWORD kMaxData = 0xFFFFFFFFu - kHeaderSize;

// Writes all of data at offset, or at the file's position when offset is
// negative.
bool writeAt(int fd, const void *data, size_t size, off_t offset) {
    const char *at = static_cast<const char *>(data);
    while (size > 0) {
        ssize_t done = offset < 0 ? write(fd, at, size) : pwrite(fd, at, size, offset);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        at += done;
        size -= size_t(done);
        if (offset >= 0)
            offset += done;
    }
    return true;
}

void putWord(BYTE *at, WORD value) {
    at[0] = BYTE(value);
    at[1] = BYTE(value >> 8);
}

void putDword(BYTE *at, DWORD value) {
    putWord(at, WORD(value));
    putWord(at + 2, WORD(value >> 16));
}

void writeHeader(int fd, DWORD dataBytes) {
    BYTE header[kHeaderSize] = {'R', 'I', 'F', 'F', 0,   0,   0,  0, 'W', 'A',
                                'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0,   0};
    putWord(header + 20, 1); // PCM
    putWord(header + 22, 1); // mono
    putDword(header + 24, kRate);
    putDword(header + 28, kRate * 2);
    putWord(header + 32, 2);
    putWord(header + 34, 16);
    std::copy_n("data", 4, header + 36);
    putDword(header + 4, kHeaderSize - 8 + dataBytes);
    putDword(header + 40, dataBytes);
    writeAt(fd, header, sizeof header, 0);
}

uint64_t realMs(Clock::duration elapsed) {
    return uint64_t(std::chrono::duration<double, std::milli>(elapsed).count() / timeScale());
}

class CaptureOutput : public Output {
public:
    CaptureOutput(int wav, int log) : wav_(wav), log_(log) { writeHeader(wav_, 0); }

    void play(const Sound &sound, Ticket ticket) override {
        Clock::time_point start = Clock::now();
        uint64_t startMs = sinceFirst(start);
        uint64_t duration = durationMs(sound);
        bool whole = playUntil(ticket, scaledEnd(start, duration));
        uint64_t played = whole ? duration : std::min(duration, realMs(Clock::now() - start));
        uint64_t frames = framesAt(sound, kRate);
        if (!whole)
            frames = std::min(frames, played * kRate / 1000);
        std::lock_guard guard(lock_);
        append(sound, frames);
        writeHeader(wav_, dataBytes_);
        logLine(startMs, sound.name, whole, played, duration);
    }

private:
    uint64_t sinceFirst(Clock::time_point start) {
        std::lock_guard guard(lock_);
        if (!first_)
            first_ = start;
        return realMs(start - *first_);
    }

    void append(const Sound &sound, uint64_t frames) {
        constexpr size_t kChunk = 4096;
        int16_t samples[kChunk];
        BYTE bytes[kChunk * 2];
        frames = std::min<uint64_t>(frames, (kMaxData - dataBytes_) / 2);
        for (uint64_t done = 0; done < frames;) {
            size_t count = size_t(std::min<uint64_t>(kChunk, frames - done));
            render(sound, kRate, done, count, samples);
            for (size_t i = 0; i < count; ++i)
                putWord(bytes + 2 * i, WORD(samples[i]));
            if (!writeAt(wav_, bytes, count * 2, kHeaderSize + off_t(dataBytes_)))
                return;
            dataBytes_ += DWORD(count * 2);
            done += count;
        }
    }

    void logLine(uint64_t startMs, const std::string &name, bool whole, uint64_t played,
                 uint64_t duration) {
        char line[512];
        int length = std::snprintf(
            line, sizeof line,
            whole ? "%" PRIu64 " ms  %.400s  played %" PRIu64 " ms of %" PRIu64 " ms\n"
                  : "%" PRIu64 " ms  %.400s  cut off after %" PRIu64 " ms of %" PRIu64 " ms\n",
            startMs, name.c_str(), played, duration);
        writeAt(log_, line, size_t(std::min<int>(length, sizeof line - 1)), -1);
    }

    int wav_;
    int log_;
    std::mutex lock_;
    std::optional<Clock::time_point> first_;
    DWORD dataBytes_ = 0;
};

} // namespace

Output *makeCaptureOutput(const std::string &path) {
    int wav = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    int log =
        open((path + ".log").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
    if (wav >= 0 && log >= 0)
        return new CaptureOutput(wav, log);
    if (wav >= 0)
        close(wav);
    if (log >= 0)
        close(log);
    return nullptr;
}

} // namespace posix::sound
