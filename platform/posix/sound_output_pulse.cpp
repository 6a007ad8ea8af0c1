// The output to a PulseAudio or PipeWire server through libpulse-simple,
// loaded at first use so that neither the build nor a machine without it
// needs the library. Sound goes out in chunks of 10 ms with a short
// buffer; between chunks the player checks its ticket, and a sound that
// is cut off has what is still buffered flushed, so it falls silent
// within a chunk or two.
#include "platform/posix/sound_output.h"

#include <dlfcn.h>

#include <mutex>
#include <optional>

namespace posix::sound {

namespace {

// The parts of libpulse-simple's interface used here, with its layouts.
struct pa_simple;
struct pa_sample_spec {
    int format;
    uint32_t rate;
    uint8_t channels;
};
struct pa_buffer_attr {
    uint32_t maxlength, tlength, prebuf, minreq, fragsize;
};
constexpr int kPaSampleS16le = 3;
constexpr int kPaStreamPlayback = 1;

struct PulseSimple {
    pa_simple *(*open)(const char *server, const char *name, int direction, const char *device,
                       const char *streamName, const pa_sample_spec *format, const void *map,
                       const pa_buffer_attr *attr, int *error);
    int (*write)(pa_simple *stream, const void *data, size_t bytes, int *error);
    int (*flush)(pa_simple *stream, int *error);
    uint64_t (*latency)(pa_simple *stream, int *error);
    void (*close)(pa_simple *stream);
};

// Loads the library once and for the life of the process; false when it
// is not installed.
bool loadPulseSimple(PulseSimple &api) {
    void *library = dlopen("libpulse-simple.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return false;
    api.open = reinterpret_cast<decltype(api.open)>(dlsym(library, "pa_simple_new"));
    api.write = reinterpret_cast<decltype(api.write)>(dlsym(library, "pa_simple_write"));
    api.flush = reinterpret_cast<decltype(api.flush)>(dlsym(library, "pa_simple_flush"));
    api.latency = reinterpret_cast<decltype(api.latency)>(dlsym(library, "pa_simple_get_latency"));
    api.close = reinterpret_cast<decltype(api.close)>(dlsym(library, "pa_simple_free"));
    return api.open && api.write && api.flush && api.latency && api.close;
}

constexpr unsigned kRate = 44100;
constexpr size_t kChunkFrames = kRate / 100; // 10 ms
constexpr uint32_t kBufferBytes = 4 * kChunkFrames * 2;

class PulseOutput : public Output {
public:
    PulseOutput(const PulseSimple &api, pa_simple *stream) : api_(api), stream_(stream) {}

    void play(const Sound &sound, Ticket ticket) override {
        Clock::time_point end = Clock::now() + std::chrono::milliseconds(durationMs(sound));
        uint64_t total = framesAt(sound, kRate);
        int16_t chunk[kChunkFrames];
        for (uint64_t done = 0; done < total && !cutOff(ticket); done += kChunkFrames) {
            // Whole chunks, the last padded with silence, so that every
            // write starts the stream (see the buffer's prebuf).
            render(sound, kRate, done, kChunkFrames, chunk);
            if (!write(ticket, chunk))
                break;
        }
        if (!cutOff(ticket)) {
            // Lets the buffered rest play out; without a stream, keeps time.
            auto buffered = bufferedUs();
            playUntil(ticket, buffered ? Clock::now() + std::chrono::microseconds(*buffered) : end);
        }
        finish(ticket);
    }

private:
    // Writes one chunk unless the sound has been cut off; a newer sound
    // first drops what an older one left in the buffer.
    bool write(Ticket ticket, const int16_t *chunk) {
        std::lock_guard guard(device_);
        if (cutOff(ticket) || !stream_)
            return false;
        int error = 0;
        if (writer_ != ticket && writer_ != 0)
            api_.flush(stream_, &error);
        writer_ = ticket;
        if (api_.write(stream_, chunk, kChunkFrames * 2, &error) < 0) {
            api_.close(stream_); // the server went away: the rest is lost
            stream_ = nullptr;
            return false;
        }
        return true;
    }

    // How long the buffer takes to play; nullopt without a stream.
    std::optional<uint64_t> bufferedUs() {
        std::lock_guard guard(device_);
        if (!stream_)
            return std::nullopt;
        int error = 0;
        uint64_t latency = api_.latency(stream_, &error);
        return latency == uint64_t(-1) ? 0 : latency;
    }

    // Ends the sound's use of the stream, dropping its rest if it was cut
    // off and no newer sound has written since.
    void finish(Ticket ticket) {
        std::lock_guard guard(device_);
        if (writer_ != ticket)
            return;
        int error = 0;
        if (cutOff(ticket) && stream_)
            api_.flush(stream_, &error);
        writer_ = 0;
    }

    PulseSimple api_;
    std::mutex device_;
    pa_simple *stream_;
    Ticket writer_ = 0; // the sound whose samples the buffer holds
};

} // namespace

Output *makePulseOutput() {
    PulseSimple api;
    if (!loadPulseSimple(api))
        return nullptr;
    pa_sample_spec format = {kPaSampleS16le, kRate, 1};
    // A short buffer that starts playing as soon as one chunk is in.
    pa_buffer_attr buffer = {uint32_t(-1), kBufferBytes, uint32_t(kChunkFrames * 2), uint32_t(-1),
                             uint32_t(-1)};
    int error = 0;
    pa_simple *stream = api.open(nullptr, "Tavo", kPaStreamPlayback, nullptr, "sound", &format,
                                 nullptr, &buffer, &error);
    return stream ? new PulseOutput(api, stream) : nullptr;
}

} // namespace posix::sound
