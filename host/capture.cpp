// Reading the capture log of what was heard, and waiting for it to grow.
#include "host/capture.h"

#include <cstdio>
#include <cstdlib>
#include <thread>

namespace host {

CaptureLog::CaptureLog() {
    const char *setting = std::getenv("TAVO_SOUND");
    const std::string prefix = "capture:";
    if (!setting || std::string(setting).rfind(prefix, 0) != 0)
        return;
    path = std::string(setting).substr(prefix.size()) + ".log";
    newLines();
}

std::vector<std::string> CaptureLog::newLines() {
    std::vector<std::string> lines;
    if (!enabled())
        return lines;
    std::FILE *file = std::fopen(path.c_str(), "rb");
    if (!file)
        return lines;
    if (std::fseek(file, static_cast<long>(offset), SEEK_SET) == 0) {
        int c;
        while ((c = std::fgetc(file)) != EOF) {
            ++offset;
            if (c != '\n') {
                partial += static_cast<char>(c);
                continue;
            }
            lines.push_back(partial);
            partial.clear();
        }
    }
    std::fclose(file);
    return lines;
}

std::vector<std::string> CaptureLog::waitForLines(size_t count, std::chrono::milliseconds limit) {
    auto until = std::chrono::steady_clock::now() + limit;
    std::vector<std::string> lines = newLines();
    while (lines.size() < count && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        for (std::string &line : newLines())
            lines.push_back(std::move(line));
    }
    return lines;
}

} // namespace host
