// Test support: one input context driven the way the keyboard drives it.
// The context and its engine record stay locked for the whole test; keys
// go through NextChar, TranslateChar and BuildMessages as ImeToAsciiEx
// sends them; results are read from the composition string, and the
// sounds from the capture log.
#ifndef TAVO_TESTS_ENGINE_FIXTURE_H
#define TAVO_TESTS_ENGINE_FIXTURE_H

#include "engine/engine.h"
#include "frame/globdata.h"
#include "tests/core/test_image.h"
#include "tests/core/test_text.h"

#include <gtest/gtest.h>

#include <vector>

typedef std::vector<tstring> Items;
typedef std::vector<UINT> Kindlist;

const UINT START = WM_IME_STARTCOMPOSITION, CHANGE = WM_IME_COMPOSITION,
           END = WM_IME_ENDCOMPOSITION;

// The kinds of the messages, in order.
Kindlist Kinds(const std::vector<TRANSMSG> &messages);

// The dictionaries a test converts with; an empty list leaves that
// dictionary out.
struct Dictionaries {
    ImageEntries phrases, user, dictionary, query;
};

class EngineContext : public ::testing::Test {
protected:
    ScratchDir dir;
    HIMC imc = nullptr;
    LPINPUTCONTEXT ic = nullptr;
    PrivateData *data = nullptr; // locked until the test ends
    BYTE keys[256] = {};         // the key state: Shift, Control and so on
    GLOBDATA saved = globData;

    void SetUp() override;
    void TearDown() override;

    // Opens images of the entries in place of the context's dictionaries.
    void Use(const Dictionaries &dictionaries);

    // One key: its character and virtual key, as the keyboard gives them;
    // returns the messages it produced.
    std::vector<TRANSMSG> Key(TCHAR ch, BYTE vkey);
    // Letters and digits, one key each.
    std::vector<TRANSMSG> Type(const char *text);
    std::vector<TRANSMSG> Space() { return Key(' ', VK_SPACE); }
    std::vector<TRANSMSG> Enter() { return Key('\r', VK_RETURN); }
    std::vector<TRANSMSG> Esc() { return Key(0x1B, VK_ESCAPE); }
    std::vector<TRANSMSG> Backspace() { return Key(8, VK_BACK); }
    std::vector<TRANSMSG> Left() { return Key(0, VK_LEFT); }
    std::vector<TRANSMSG> Right() { return Key(0, VK_RIGHT); }
    std::vector<TRANSMSG> Up() { return Key(0, VK_UP); }
    std::vector<TRANSMSG> Down() { return Key(0, VK_DOWN); }
    std::vector<TRANSMSG> PageUp() { return Key(0, VK_PRIOR); }
    std::vector<TRANSMSG> PageDown() { return Key(0, VK_NEXT); }
    // Control and the key left of 1: the option menu.
    std::vector<TRANSMSG> Menu();
    // Chooses candidate i (from 0) of the page on show with its digit.
    std::vector<TRANSMSG> Choose(int i) { return Type(std::to_string(i + 1).c_str()); }

    tstring Composition();
    tstring Reading();
    tstring Result();
    tstring Chosen(); // the segments chosen so far (the result reading)
    std::vector<DWORD> ReadClause();
    Items Candidates();
    // The event sounds played so far, by resource number.
    std::vector<int> Sounds();
    // Sounds are heard only where the built module's resources are found.
    void ExpectSounds(const std::vector<int> &expected);

private:
    std::vector<std::vector<BYTE>> images;
};

#endif
