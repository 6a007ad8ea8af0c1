// The control characters the engine reads from keys and writes into its
// texts: key characters (Backspace, Enter, Esc, Space) and the separators
// of candidate items (TAB between items, ESC before an explanation, "|"
// in a dictionary's item, LF between query lines).
#ifndef TAVO_ENGINE_CHARS_H
#define TAVO_ENGINE_CHARS_H

#define CHAR_BACKSPACE 0x08
#define CHAR_TAB 0x09
#define CHAR_LF 0x0A
#define CHAR_ENTER 0x0D
#define CHAR_ESC 0x1B
#define CHAR_SPACE 0x20
#define CHAR_BAR '|'

#endif
