// PlaySound: one sound at a time per process, from memory or from a
// module's WAVE resources, played on the calling thread (SND_SYNC) or on
// a thread of its own (SND_ASYNC). A call without a sound, or a new
// sound, cuts off the one playing, whichever thread plays it. The image
// is decoded before the call returns, so the caller's memory is never
// read afterwards.
#include "platform/posix/sound_output.h"
#include "platform/posix/sound_probe.h"
#include "platform/posix/sound_source.h"

#include <atomic>
#include <chrono>

#include <limits>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

namespace {

using namespace posix::sound;

enum class Loaded { Found, Missing, Damaged };

template <class Char> Loaded load(const Char *name, HMODULE module, DWORD flags, Sound &sound) {
    const BYTE *data = nullptr;
    size_t size = 0;
    std::string label;
    if ((flags & SND_RESOURCE) == SND_RESOURCE) {
        if (!findWaveResource(module, name, data, size))
            return Loaded::Missing;
        label = resourceLabel(name);
    } else if (flags & SND_MEMORY) {
        data = reinterpret_cast<const BYTE *>(name);
        size = size_t(std::min<uint64_t>(riffImageSize(data), std::numeric_limits<size_t>::max()));
        label = "memory";
    } else {
        return Loaded::Missing; // no sound aliases or files here
    }
    if (!parseWave(data, size, sound))
        return Loaded::Damaged;
    if (sound.name.empty())
        sound.name = label;
    return Loaded::Found;
}

std::atomic<uint64_t> started{0}, lastStartNs{0}, ended{0}, lastEndNs{0};
std::mutex lastNameLock;
std::string lastName;

uint64_t nowNs() {
    return uint64_t(std::chrono::duration_cast<std::chrono::nanoseconds>(
                        std::chrono::steady_clock::now().time_since_epoch())
                        .count());
}

// Plays through the output, counting for the probe.
void playCounted(Output &output, const Sound &sound, Ticket ticket) {
    {
        std::lock_guard hold(lastNameLock);
        lastName = sound.name;
    }
    lastStartNs = nowNs();
    started++;
    output.play(sound, ticket);
    lastEndNs = nowNs();
    ended++;
}

bool play(Sound sound, Ticket ticket, bool async) {
    Output &output = selectedOutput();
    if (!async) {
        playCounted(output, sound, ticket);
        return true;
    }
    try {
        std::thread([&output, ticket, sound = std::move(sound)] {
            playCounted(output, sound, ticket);
        }).detach();
        return true;
    } catch (const std::system_error &) {
        return false;
    }
}

// A missing sound plays the default one unless SND_NODEFAULT, but the
// call still fails; a damaged one fails silently.
template <class Char> BOOL playSound(const Char *name, HMODULE module, DWORD flags) {
    if (!name || (flags & SND_PURGE)) {
        stopSound();
        return TRUE;
    }
    Ticket ticket = startSound();
    Sound sound;
    Loaded loaded = load(name, module, flags, sound);
    if (loaded == Loaded::Damaged || (loaded == Loaded::Missing && (flags & SND_NODEFAULT)))
        return FALSE;
    if (loaded == Loaded::Missing)
        sound = defaultSound();
    bool played = play(std::move(sound), ticket, flags & SND_ASYNC);
    return loaded == Loaded::Found && played;
}

} // namespace

void tavo_soundProbe(TavoSoundProbe *probe) {
    probe->started = started;
    probe->lastStartNs = lastStartNs;
    probe->ended = ended;
    probe->lastEndNs = lastEndNs;
    std::lock_guard hold(lastNameLock);
    size_t length = std::min(lastName.size(), sizeof probe->lastName - 1);
    lastName.copy(probe->lastName, length);
    probe->lastName[length] = 0;
}

BOOL WINAPI PlaySoundA(LPCSTR sound, HMODULE module, DWORD flags) {
    return playSound(sound, module, flags);
}

BOOL WINAPI PlaySoundW(LPCWSTR sound, HMODULE module, DWORD flags) {
    return playSound(sound, module, flags);
}
