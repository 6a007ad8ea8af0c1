// Printing what each key did, for the scripted mode and the tests.
#include "host/report.h"

#include "host/text.h"

namespace host {

std::string describe(const Message &message) {
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, " wParam=0x%llX lParam=0x%llX",
                  static_cast<unsigned long long>(message.wParam),
                  static_cast<unsigned long long>(message.lParam));
    return messageName(message.message) + numbers;
}

void printComposition(std::FILE *out, const Application &application, const char *newline) {
    if (!application.isComposing()) {
        std::fprintf(out, "  composition: (none)%s", newline);
        return;
    }
    std::fprintf(out, "  composition:%s", newline);
    for (const std::string &line : compositionLines(application.composition()))
        std::fprintf(out, "    |%s|%s", line.c_str(), newline);
}

void printStep(std::FILE *out, const Application &application, size_t first,
               const std::vector<std::string> &sounds, const char *newline) {
    const std::vector<Message> &messages = application.messages();
    for (size_t i = first; i < messages.size(); ++i)
        std::fprintf(out, "  %s%s", describe(messages[i]).c_str(), newline);
    printComposition(out, application, newline);
    std::fprintf(out, "  committed: \"%s\"%s", application.committed().c_str(), newline);
    if (!application.typedText().empty())
        std::fprintf(out, "  text: \"%s\"%s", application.document().c_str(), newline);
    for (const std::string &sound : sounds)
        std::fprintf(out, "  sound: %s%s", sound.c_str(), newline);
}

} // namespace host
