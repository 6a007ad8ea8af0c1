// Printing what each key did, for the scripted mode and the tests.
#include "host/report.h"

#include "host/screen.h"

namespace host {

std::string describe(const Message &message) {
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, " wParam=0x%llX lParam=0x%llX",
                  static_cast<unsigned long long>(message.wParam),
                  static_cast<unsigned long long>(message.lParam));
    return messageName(message.message) + numbers;
}

// A log line is "<start> ms  <name>  played ..." or "...  cut off ...".
std::string soundName(const std::string &logLine) {
    size_t from = logLine.find("  ");
    if (from == std::string::npos)
        return logLine;
    from += 2;
    size_t to = logLine.rfind("  ");
    return logLine.substr(from, to > from ? to - from : std::string::npos);
}

std::string heardText(const std::vector<std::string> &logLines) {
    const std::string resource = "resource ";
    std::string text;
    for (const std::string &line : logLines) {
        std::string name = soundName(line);
        if (name.rfind(resource, 0) == 0)
            name = "[" + name.substr(resource.size()) + "]";
        text += (text.empty() ? "" : " ") + name;
    }
    return text;
}

void printStep(std::FILE *out, const Session &session, const StepReport &report,
               const char *newline) {
    const Application &application = session.application();
    const std::vector<Message> &messages = application.messages();
    if (report.messages)
        for (size_t i = report.firstMessage; i < messages.size(); ++i)
            std::fprintf(out, "  %s%s", describe(messages[i]).c_str(), newline);
    std::vector<ShownLine> lines = compositionLinesShown(session);
    if (lines.empty())
        std::fprintf(out, "  window: (hidden)%s", newline);
    else
        std::fprintf(out, "  window:%s", newline);
    for (const ShownLine &line : lines)
        std::fprintf(out, "    |%s|%s", line.text.c_str(), newline);
    std::fprintf(out, "  committed: \"%s\"%s", application.committed().c_str(), newline);
    if (!application.typedText().empty())
        std::fprintf(out, "  text: \"%s\"%s", application.document().c_str(), newline);
    if (!report.log.empty())
        std::fprintf(out, "  heard: %s%s", heardText(report.log).c_str(), newline);
    if (!report.picture.empty())
        std::fprintf(out, "  picture: %s%s", report.picture.c_str(), newline);
}

void printBrief(std::FILE *out, const Session &session, const StepReport &report,
                const std::string &token) {
    std::vector<ShownLine> lines = compositionLinesShown(session);
    if (lines.empty())
        std::fprintf(out, "  %-10s (no window)\n", token.c_str());
    for (size_t i = 0; i < lines.size(); i++)
        std::fprintf(out, "  %-10s | %s\n", i == 0 ? token.c_str() : "", lines[i].text.c_str());
    if (!report.log.empty())
        std::fprintf(out, "             heard: %s\n", heardText(report.log).c_str());
    const std::string &text = session.application().document();
    if (!text.empty() && session.application().messages().size() > report.firstMessage &&
        !session.application().isComposing())
        std::fprintf(out, "             text: %s\n", text.c_str());
    if (!report.picture.empty())
        std::fprintf(out, "             picture: %s\n", report.picture.c_str());
}

} // namespace host
