// The three reading schemes and the decoder that writes reading codes out
// in one of them.
#include "frame/canton.h"

// clang-format off
const TCHAR *const LSHK_initials[CANTON_INITIALS + 1] = {
    TEXT(""),
    TEXT("b"),  TEXT("p"),  TEXT("m"),  TEXT("f"),  TEXT("d"),  TEXT("t"),  TEXT("n"),
    TEXT("l"),  TEXT("g"),  TEXT("k"),  TEXT("ng"), TEXT("h"),  TEXT("gw"), TEXT("kw"),
    TEXT("w"),  TEXT("z"),  TEXT("c"),  TEXT("s"),  TEXT("j"),
};

const TCHAR *const LSHK_finals[CANTON_FINALS + 1] = {
    TEXT(""),
    TEXT("aa"),   TEXT("e"),   TEXT("i"),    TEXT("o"),    TEXT("oe"),   TEXT("u"),
    TEXT("yu"),   TEXT("aai"), TEXT("ai"),   TEXT("ei"),   TEXT("oi"),   TEXT("ui"),
    TEXT("aau"),  TEXT("au"),  TEXT("iu"),   TEXT("ou"),   TEXT("eoi"),  TEXT("aam"),
    TEXT("am"),   TEXT("im"),  TEXT("aan"),  TEXT("an"),   TEXT("in"),   TEXT("on"),
    TEXT("eon"),  TEXT("un"),  TEXT("yun"),  TEXT("aang"), TEXT("ang"),  TEXT("eng"),
    TEXT("ing"),  TEXT("ong"), TEXT("oeng"), TEXT("ung"),
    // Stop finals from here on.
    TEXT("aap"),  TEXT("ap"),  TEXT("ip"),   TEXT("aat"),  TEXT("at"),   TEXT("it"),
    TEXT("ot"),   TEXT("eot"), TEXT("ut"),   TEXT("yut"),  TEXT("aak"),  TEXT("ak"),
    TEXT("ek"),   TEXT("ik"),  TEXT("ok"),   TEXT("oek"),  TEXT("uk"),
};

const TCHAR *const LSHK_tones[CANTON_TONES + 1] = {
    TEXT(""),  TEXT("1"), TEXT("2"), TEXT("3"), TEXT("4"), TEXT("5"),
    TEXT("6"), TEXT("7"), TEXT("8"), TEXT("9"),
};

// Cantonese braille in Braille ASCII: one cell per initial, final and tone.
const TCHAR *const Braille_initials[CANTON_INITIALS + 1] = {
    TEXT(""),
    TEXT("p"), TEXT("&"), TEXT("m"), TEXT("f"), TEXT("t"), TEXT(")"), TEXT("n"),
    TEXT("l"), TEXT("k"), TEXT("r"), TEXT("g"), TEXT("h"), TEXT("q"), TEXT("]"),
    TEXT("w"), TEXT("c"), TEXT("x"), TEXT("s"), TEXT("j"),
};

const TCHAR *const Braille_finals[CANTON_FINALS + 1] = {
    TEXT(""),
    TEXT("b"), TEXT("e"), TEXT("i"), TEXT("o"), TEXT(":"), TEXT("u"), TEXT("?"),
    TEXT("+"), TEXT("%"), TEXT("h"), TEXT("<"), TEXT("\\"), TEXT("/"), TEXT("*"),
    TEXT("y"), TEXT("v"), TEXT("j"), TEXT(">"), TEXT("_"), TEXT("6"), TEXT("^"),
    TEXT("$"), TEXT("4"), TEXT("n"), TEXT("s"), TEXT("!"), TEXT("2"), TEXT("c"),
    TEXT("g"), TEXT("7"), TEXT("0"), TEXT(";"), TEXT("3"), TEXT("8"),
    // Stop finals from here on.
    TEXT("p"), TEXT("5"), TEXT("&"), TEXT("t"), TEXT("9"), TEXT(")"), TEXT("f"),
    TEXT("x"), TEXT("z"), TEXT("("), TEXT("k"), TEXT("."), TEXT("w"), TEXT("r"),
    TEXT("]"), TEXT("["), TEXT("q"),
};

const TCHAR *const Braille_tones[CANTON_TONES + 1] = {
    TEXT(""),  TEXT(""), TEXT("a"),  TEXT("@"), TEXT("'"), TEXT(","),
    TEXT("1"), TEXT(""), TEXT("\""), TEXT("'"),
};
// clang-format on

// Oskel is jyutping without tones.
const TCHAR *const *const Oskel_initials = LSHK_initials;
const TCHAR *const *const Oskel_finals = LSHK_finals;
const TCHAR *const Oskel_tones[CANTON_TONES + 1] = {
    TEXT(""), TEXT(""), TEXT(""), TEXT(""), TEXT(""),
    TEXT(""), TEXT(""), TEXT(""), TEXT(""), TEXT(""),
};

// Tone entry used for a stop final's tone number. Numbers 1..3 are the
// entering tones (entries 7..9); 4..6 are the changed tones that jyutping
// writes 2, 4 and 5 (as in hok2); 7 has no entry and writes no tone.
static int StopToneEntry(int tone) {
    static const int entries[8] = {0, 7, 8, 9, 2, 4, 5, 0};
    return entries[tone];
}

static TCHAR *AppendText(TCHAR *out, const TCHAR *text) {
    while (*text)
        *out++ = *text++;
    return out;
}

// Appends the syllable if the two bytes form a valid reading code.
static bool DecodeSyllable(TCHAR *&out, BYTE first, BYTE second, const TCHAR *const *initials,
                           const TCHAR *const *finals, const TCHAR *const *tones) {
    int initial = (first >> 2) & 31;
    int final = (first & 3) * 16 + ((second >> 3) & 15);
    int tone = second & 7;
    if (!(first & 0x80) || initial > CANTON_INITIALS || final > CANTON_FINALS || tone == 0)
        return false;
    if (final >= CANTON_FIRST_STOP_FINAL)
        tone = StopToneEntry(tone);
    out = AppendText(out, initials[initial]);
    out = AppendText(out, finals[final]);
    out = AppendText(out, tones[tone]);
    return true;
}

void canton_decodeNow(LPTSTR out, const char *codes, const TCHAR *const *initials,
                      const TCHAR *const *finals, const TCHAR *const *tones) {
    const BYTE *in = (const BYTE *)codes;
    while (*in) {
        if (DecodeSyllable(out, in[0], in[1], initials, finals, tones)) {
            in += 2;
            continue;
        }
        // A plain byte; the UTF-16 build widens it as a signed value.
        *out++ = (TCHAR)(signed char)*in++;
    }
    *out = 0;
}

static LPTSTR EmptyString(void) {
    return (LPTSTR)GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, sizeof(TCHAR));
}

LPTSTR canton_decode(int scheme, const char *codes) {
    static const TCHAR *const *const schemes[3][3] = {
        {LSHK_initials, LSHK_finals, LSHK_tones},
        {Braille_initials, Braille_finals, Braille_tones},
        {Oskel_initials, Oskel_finals, Oskel_tones},
    };
    if (!codes || scheme < 0 || scheme > 2)
        return EmptyString();
    // A two-byte syllable writes at most seven characters in jyutping and
    // three in braille; a plain byte writes one.
    SIZE_T n = 0;
    while (codes[n])
        n++;
    SIZE_T units = (scheme == 1 ? 2 * n : 4 * n) + 1;
    LPTSTR out = (LPTSTR)GlobalAlloc(GMEM_FIXED, units * sizeof(TCHAR));
    if (!out)
        return EmptyString();
    canton_decodeNow(out, codes, schemes[scheme][0], schemes[scheme][1], schemes[scheme][2]);
    return out;
}
