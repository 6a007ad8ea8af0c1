// The sounds and speech heard so far, when the sound output records to a
// file (TAVO_SOUND=capture:<path>): one line per sound in <path>.log, each
// written when the sound ends or is cut off.
#ifndef TAVO_HOST_CAPTURE_H
#define TAVO_HOST_CAPTURE_H

#include <chrono>
#include <string>
#include <vector>

namespace host {

class CaptureLog {
public:
    // Follows the log that TAVO_SOUND names, if it names a capture; lines
    // already in it are skipped.
    CaptureLog();

    bool enabled() const { return !path.empty(); }
    // The lines written since the last call.
    std::vector<std::string> newLines();
    // Waits until count lines are new or the time is up; returns the new lines.
    std::vector<std::string> waitForLines(size_t count, std::chrono::milliseconds limit);

private:
    std::string path;
    std::string partial; // a line not yet ended
    long long offset = 0;
};

} // namespace host

#endif
