// The application window of the host: receives what the input-method
// manager sends it and records it, as an editor would show it. Text is kept
// as UTF-8.
#ifndef TAVO_HOST_APPLICATION_H
#define TAVO_HOST_APPLICATION_H

#include "platform/platform.h"

#include <string>
#include <vector>

namespace host {

struct Message {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// A composition string of imc (GCS_COMPSTR, GCS_RESULTSTR, ...), read the
// way a Unicode application reads it.
std::string compositionString(HIMC imc, DWORD index);

// The name of an input-method message ("WM_IME_COMPOSITION"), or its number.
std::string messageName(UINT message);

class Application {
public:
    // A message from the manager for this window; results and compositions
    // are read from imc as an application would.
    void receive(HIMC imc, const Message &message);
    // A key that no input method took: its character reaches the window.
    void typed(char character);

    const std::vector<Message> &messages() const { return received; }
    // Every result string, in order.
    const std::string &committed() const { return results; }
    // The characters of keys that no input method took.
    const std::string &typedText() const { return keys; }
    // The document: results and typed characters in order, Backspace
    // removing the last character and Enter starting a line.
    const std::string &document() const { return text; }
    // The composition string as last reported; empty when none shows.
    const std::string &composition() const { return composing; }
    bool isComposing() const { return open; }

    void clearMessages() { received.clear(); }
    // Forgets the messages, results, typed keys and document recorded so
    // far, for an application that takes them as they come; whether and
    // what it is composing stays.
    void forget();

private:
    void onComposition(HIMC imc, LPARAM flags);

    std::vector<Message> received;
    std::string results;
    std::string keys;
    std::string text;
    std::string composing;
    bool open = false;
};

} // namespace host

#endif
