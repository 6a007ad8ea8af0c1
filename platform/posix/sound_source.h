// Where the sounds that PlaySound plays come from, besides memory: WAVE
// resources of a module, and the default sound for one that is missing.
#ifndef TAVO_POSIX_SOUND_SOURCE_H
#define TAVO_POSIX_SOUND_SOURCE_H

#include "platform/posix/sound_wave.h"

#include <string>

namespace posix::sound {

// The bytes of WAVE resource name (a string or MAKEINTRESOURCE number)
// of module; false when it has none.
bool findWaveResource(HMODULE module, LPCSTR name, const BYTE *&data, size_t &size);
bool findWaveResource(HMODULE module, LPCWSTR name, const BYTE *&data, size_t &size);

// How a resource name reads in a log: "resource 512" or the string.
std::string resourceLabel(LPCSTR name);
std::string resourceLabel(LPCWSTR name);

// The short chime played for a sound that cannot be found.
Sound defaultSound();

} // namespace posix::sound

#endif
