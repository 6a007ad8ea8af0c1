// The speech library's exports: Big5 text in, Cantonese speech out.
#ifndef TAVO_SPEECH_SPEECH_H
#define TAVO_SPEECH_SPEECH_H

#include "platform/platform.h"

extern "C" {
// Replaces whatever is being said by the reading of the text. A null text
// reads as an empty one: it only cuts off what was being said.
int WINAPI speech_read(const char *text);
// Stops the sound now and drops everything pending.
int WINAPI speech_stop(void);
}

#endif
