#!/usr/bin/env python3
"""Regenerates the Cantonese source lexicon under data/ from installed packages.

Sources (see data/README for versions, licences and the ordering rule):
  - librime-data-jyutping: jyutping.dict.yaml (characters and words, toneless)
  - unicode-data: Unihan_*.txt(.bz2) and CJKRadicals.txt
  - npm to-jyutping: dist/index.cjs (ranked toned readings of characters and words)

Writes data/chars.tsv, data/words.tsv, data/descriptions.tsv and
data/refresh_summary.txt. The output depends only on the source files, so a
rerun on the same packages gives byte-identical files. A source line that
cannot be parsed stops the run with its file and line; well-formed entries
that do not fit the lexicon are dropped and counted in the summary.

Usage: refresh_lexicon.py [--rime DIR] [--unicode DIR] [--to-jyutping DIR]
                          [--out DIR] [--iconv PATH]
"""

import argparse
import bz2
import collections
import itertools
import math
import os
import re
import shutil
import subprocess
import sys

MAX_WORD_CHARS = 7

# The reading-code inventory: 19 initials and 51 finals (the last 17 end in
# p, t or k). Syllabic m and ng are an initial with no final.
INITIALS = ("b p m f d t n l g k ng h gw kw w z c s j").split()
FINALS = ("aa e i o oe u yu aai ai ei oi ui aau au iu ou eoi aam am im aan an in on eon un yun "
          "aang ang eng ing ong oeng ung aap ap ip aat at it ot eot ut yut aak ak ek ik ok oek "
          "uk").split()
SYLLABIC = ("m", "ng")
INITIAL_SET = frozenset(INITIALS)
FINAL_SET = frozenset(FINALS)

TONED_SYLLABLE = re.compile(r"^([a-z]+)([1-6])$")
TONELESS_SYLLABLE = re.compile(r"^[a-z]+$")

CHINESE_DIGITS = "零一二三四五六七八九"


class SourceError(Exception):
    """A source line that cannot be used: reported with its file and line."""

    def __init__(self, path, line, message):
        super().__init__(f"{path}:{line}: {message}")


# --------------------------------------------------------------------------
# Syllables


def split_syllable(toneless):
    """Returns (initial, final) when the toneless syllable fits the inventory."""
    for size in (2, 1):
        head = toneless[:size]
        if len(head) == size and head in INITIAL_SET:
            rest = toneless[size:]
            if rest in FINAL_SET or (rest == "" and toneless in SYLLABIC):
                return head, rest
    if toneless in FINAL_SET:
        return "", toneless
    return None


def syllable_fits(toned):
    match = TONED_SYLLABLE.match(toned)
    return bool(match) and split_syllable(match.group(1)) is not None


def strip_tone(toned):
    return toned.rstrip("0123456789")


# --------------------------------------------------------------------------
# Reading the sources


def open_text(path):
    """Opens a UTF-8 text source, or its .bz2 form when only that exists."""
    if os.path.exists(path):
        return open(path, encoding="utf-8")
    if os.path.exists(path + ".bz2"):
        return bz2.open(path + ".bz2", "rt", encoding="utf-8")
    raise SourceError(path, 0, "source file not found")


def display_name(path):
    return path if os.path.exists(path) else path + ".bz2"


UNIHAN_FIELDS = {
    "Unihan_Readings.txt": ("kCantonese", "kHanyuPinlu"),
    "Unihan_IRGSources.txt": ("kRSUnicode", "kTotalStrokes"),
    "Unihan_DictionaryLikeData.txt": ("kGradeLevel", "kFrequency", "kHKGlyph"),
    "Unihan_Variants.txt": ("kTraditionalVariant",),
}
UNIHAN_LINE = re.compile(r"^U\+([0-9A-F]{4,6})\t(k\w+)\t(.+)$")
UNIHAN_VALUE = {
    "kCantonese": re.compile(r"^[a-z]+[1-6]( [a-z]+[1-6])*$"),
    "kHanyuPinlu": re.compile(r"^\S+\((\d+)\)( \S+\(\d+\))*$"),
    "kRSUnicode": re.compile(r"^\d+'{0,2}\.-?\d+( \d+'{0,2}\.-?\d+)*$"),
    "kTotalStrokes": re.compile(r"^\d+( \d+)*$"),
    "kGradeLevel": re.compile(r"^[1-6]$"),
    "kFrequency": re.compile(r"^[1-5]$"),
    "kHKGlyph": re.compile(r"^\d{4}( \d{4})*$"),
    "kTraditionalVariant": re.compile(r"^U\+[0-9A-F]{4,6}( U\+[0-9A-F]{4,6})*$"),
}


def read_unihan(directory):
    """Returns {char: {field: value}} for the fields the lexicon uses."""
    table = collections.defaultdict(dict)
    for name, fields in UNIHAN_FIELDS.items():
        path = os.path.join(directory, name)
        with open_text(path) as stream:
            for number, line in enumerate(stream, 1):
                line = line.rstrip("\n")
                if not line or line.startswith("#"):
                    continue
                match = UNIHAN_LINE.match(line)
                if not match:
                    raise SourceError(display_name(path), number, "not a Unihan entry")
                field = match.group(2)
                if field not in fields:
                    continue
                value = match.group(3)
                if not UNIHAN_VALUE[field].match(value):
                    raise SourceError(display_name(path), number, f"bad {field} value {value!r}")
                table[chr(int(match.group(1), 16))][field] = value
    return table


RADICAL_LINE = re.compile(r"^(\d+'{0,2}); *([0-9A-F]{4,5})?; *([0-9A-F]{4,5})$")


def read_radicals(directory):
    """Returns {radical number as in kRSUnicode: the radical's ideograph}."""
    path = os.path.join(directory, "CJKRadicals.txt")
    radicals = {}
    with open_text(path) as stream:
        for number, line in enumerate(stream, 1):
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            match = RADICAL_LINE.match(line)
            if not match:
                raise SourceError(display_name(path), number, "not a radical entry")
            radicals[match.group(1)] = chr(int(match.group(3), 16))
    return radicals


RIME_WEIGHT = re.compile(r"^(\d+(\.\d+)?)(%?)$")


def read_rime(path):
    """Yields (line number, text, toneless syllables, weight, is percent)."""
    with open_text(path) as stream:
        in_body = False
        for number, line in enumerate(stream, 1):
            line = line.rstrip("\n")
            if not in_body:
                in_body = line == "..."
                continue
            if not line.strip() or line.startswith("#"):
                continue
            fields = line.split("\t")
            if len(fields) not in (2, 3) or not fields[0] or not fields[1]:
                raise SourceError(path, number, "expected text<TAB>reading[<TAB>weight]")
            syllables = fields[1].split(" ")
            if not all(TONELESS_SYLLABLE.match(s) for s in syllables):
                raise SourceError(path, number, f"bad reading {fields[1]!r}")
            weight, percent = 100.0, True
            if len(fields) == 3 and fields[2]:
                match = RIME_WEIGHT.match(fields[2])
                if not match:
                    raise SourceError(path, number, f"bad weight {fields[2]!r}")
                weight, percent = float(match.group(1)), match.group(3) == "%"
            yield number, fields[0], syllables, weight, percent
        if not in_body:
            raise SourceError(path, 0, "no '...' line ends the header")


# to-jyutping packs its data as a trie in one JavaScript string literal: key
# characters (code points >= 256) descend, readings follow as pairs of
# characters (base 90 from '!'), '~' joins a further syllable to the same
# character, '{' opens the children of the node just read and '}' closes them.
TJ_ONSETS = ["", "b", "p", "m", "f", "d", "t", "n", "l", "g", "k", "ng", "gw", "kw", "w", "h",
             "z", "c", "s", "j"]
TJ_NUCLEI = ["aa", "a", "e", "i", "o", "u"]
TJ_RHYMES = ["oe", "oen", "oeng", "oet", "oek", "eoi", "eon", "eot", "yu", "yun", "yut", "m",
             "ng"]
TJ_CODAS = ["", "i", "u", "m", "n", "ng", "p", "t", "k"]
TJ_LITERAL_START = 'Array.from("{'


def tj_js_list(values):
    return "[" + ",".join(f'"{v}"' for v in values) + "]"


def tj_syllable(code):
    final = code % 402 // 6
    rhyme = TJ_RHYMES[final - 54] if final >= 54 else TJ_NUCLEI[final // 9] + TJ_CODAS[final % 9]
    return TJ_ONSETS[code // 402] + rhyme + str(code % 6 + 1)


def tj_literal(text, path):
    """Extracts and unescapes the trie literal; returns (chars, offsets)."""
    for table in (TJ_ONSETS, TJ_NUCLEI, TJ_RHYMES, TJ_CODAS):
        if tj_js_list(table) not in text:
            raise SourceError(path, 0, "unknown data layout (syllable tables differ)")
    if text.count(TJ_LITERAL_START) != 1:
        raise SourceError(path, 0, "unknown data layout (trie literal not found)")
    start = text.index(TJ_LITERAL_START) + len(TJ_LITERAL_START) - 1
    chars, offsets = [], []
    i = start
    while i < len(text) and text[i] != '"':
        offsets.append(i)
        if text[i] == "\\":
            if text[i + 1] not in '\\"':
                raise SourceError(path, location(text, i), "unexpected escape in trie")
            i += 1
        chars.append(text[i])
        i += 1
    if i >= len(text):
        raise SourceError(path, location(text, start), "unterminated trie literal")
    return chars, offsets


def location(text, offset):
    line = text.count("\n", 0, offset) + 1
    return f"{line}:{offset - (text.rfind(chr(10), 0, offset) + 1) + 1}"


def read_to_jyutping(package):
    """Returns {text: [toned readings, most usual first]}."""
    path = os.path.join(package, "dist", "index.cjs")
    with open(path, encoding="utf-8") as stream:
        text = stream.read()
    chars, offsets = tj_literal(text, path)
    entries = {}
    keys, i = [""], 1

    def fail(message):
        raise SourceError(path, location(text, offsets[min(i, len(offsets) - 1)]), message)

    try:
        while keys:
            key = keys[-1]
            while ord(chars[i]) >= 256:
                key += chars[i]
                i += 1
            readings = []
            while ord(chars[i]) < 123:
                syllables, done = [], 0
                while done < len(key):
                    high, low = ord(chars[i]) - 33, ord(chars[i + 1]) - 33
                    if not (0 <= high < 90 and 0 <= low < 90):
                        fail("bad reading in trie")
                    syllables.append(tj_syllable(high * 90 + low))
                    i += 2
                    if chars[i] == "~":
                        i += 1
                    else:
                        done += 1
                readings.append(" ".join(syllables))
            if readings:
                if not key or key in entries:
                    fail("reading without a new key in trie")
                entries[key] = readings
            if chars[i] == "{":
                keys.append(key)
            elif chars[i] == "}":
                keys.pop()
            elif ord(chars[i]) < 256:
                fail("unexpected character in trie")
            else:
                continue
            i += 1
    except IndexError:
        fail("trie ends early")
    if i != len(chars):
        fail("data after the end of the trie")
    return entries


def package_version(package):
    with open(os.path.join(package, "package.json"), encoding="utf-8") as stream:
        match = re.search(r'"version"\s*:\s*"([^"]+)"', stream.read())
    return match.group(1) if match else "unknown"


# --------------------------------------------------------------------------
# Big5-HKSCS coverage (glibc's converter is the reference the build uses)


def big5hkscs_chars(candidates, iconv):
    """Returns {char: Big5 code} for the characters BIG5-HKSCS holds and gives back."""
    ordered = sorted(candidates)
    text = "".join(c + "\n" for c in ordered).encode("utf-8")
    forward = subprocess.run([iconv, "-c", "-f", "UTF-8", "-t", "BIG5-HKSCS"], input=text,
                             capture_output=True, check=False)
    encoded = forward.stdout.split(b"\n")
    back = subprocess.run([iconv, "-f", "BIG5-HKSCS", "-t", "UTF-8"], input=forward.stdout,
                          capture_output=True, check=False)
    if back.returncode != 0 or len(encoded) != len(ordered) + 1:
        sys.exit(f"{iconv}: BIG5-HKSCS conversion failed: {back.stderr.decode()[:200]}")
    decoded = back.stdout.decode("utf-8").split("\n")
    return {c: int.from_bytes(b, "big") for c, b, d in zip(ordered, encoded, decoded) if
            len(b) == 2 and d == c}


def big5_level(code):
    """0 = Big5 frequently used set, 1 = less frequently used set, 2 = HKSCS."""
    if 0xA440 <= code <= 0xC67E:
        return 0
    if 0xC940 <= code <= 0xF9D5:
        return 1
    return 2


# --------------------------------------------------------------------------
# Descriptions


def chinese_number(value):
    if value < 10:
        return CHINESE_DIGITS[value]
    tens, units = divmod(value, 10)
    return ("" if tens == 1 else CHINESE_DIGITS[tens]) + "十" + (
        CHINESE_DIGITS[units] if units else "")


# Characters that Unihan does not describe, with what a listener hears.
OUTSIDE_UNIHAN = {"\u3007": "(數字零)"}


def describe(char, rs_unicode, radicals):
    """Spoken radical description, e.g. 你 -> (人部五畫), 人 -> (人部)."""
    radical, strokes = rs_unicode.split(" ")[0].split(".")
    ideograph = radicals.get(radical)
    if ideograph is None:
        return None
    strokes = int(strokes)
    if ideograph == char:
        return f"({ideograph}部)"
    return f"({ideograph}部{chinese_number(max(strokes, 0))}畫)"


# --------------------------------------------------------------------------
# Building the lexicon


class Summary:
    """Counts of what was kept and dropped, written out after the run."""

    def __init__(self):
        self.counts = collections.Counter()
        self.syllables = collections.Counter()

    def drop(self, reason, syllable=None):
        self.counts[reason] += 1
        if syllable:
            self.syllables[syllable] += 1


def char_readings(unihan, tj, big5, summary):
    """Returns {char: [toned readings, most usual first]} for Big5-HKSCS chars."""
    readings = {}
    candidates = {c for c in tj if len(c) == 1} | {
        c for c, f in unihan.items() if "kCantonese" in f}
    for char in sorted(candidates):
        if char not in big5:
            summary.drop("character: not in Big5-HKSCS")
            continue
        ordered = list(tj.get(char, []))
        ordered += [r for r in unihan.get(char, {}).get("kCantonese", "").split() if
                    r not in ordered]
        kept = []
        for reading in ordered:
            reading = " ".join(spell_short_a(s, summary) for s in reading.split(" "))
            if " " in reading:
                summary.drop("character reading: more than one syllable")
            elif not syllable_fits(reading):
                summary.drop("character reading: syllable outside the inventory",
                             strip_tone(reading))
            else:
                add_reading(kept, reading)
        if kept:
            readings[char] = kept
        else:
            summary.drop("character: no usable reading")
    return readings


def tj_prediction(word, tj):
    """Toned syllables per position from to-jyutping's words, longest first."""
    guesses = [[] for _ in word]
    for size in range(len(word), 1, -1):
        for start in range(len(word) - size + 1):
            for reading in tj.get(word[start:start + size], []):
                syllables = reading.split(" ")
                if len(syllables) != size:
                    continue
                for offset, syllable in enumerate(syllables):
                    if syllable not in guesses[start + offset]:
                        guesses[start + offset].append(syllable)
    return guesses


def give_tones(word, toneless, tj, chars):
    """Toned reading for a toneless one, or (None, reason) when impossible."""
    guesses = tj_prediction(word, tj)
    toned = []
    for char, syllable, guess in zip(word, toneless, guesses):
        options = [s for s in guess + chars.get(char, []) if strip_tone(s) == syllable]
        if not options:
            return None, "word reading: no toned reading of a character fits its syllable"
        toned.append(options[0])
    return " ".join(toned), None


def word_readings(rime_words, tj, chars, unihan, big5, summary):
    """Returns {word: [toned readings, most usual first]} and the boosted words."""
    words = collections.defaultdict(list)
    boosted = set()
    for word, readings in sorted(tj.items()):
        if len(word) < 2:
            continue
        for reading in readings:
            syllables = [spell_short_a(s, summary) for s in reading.split(" ")]
            reading = " ".join(syllables)
            if fits_lexicon(word, syllables, big5, summary, strip_tone):
                add_reading(words[word], reading)
    for word, entries in sorted(rime_words.items()):
        for toneless, _, boost in sorted(entries, key=lambda e: -e[1]):
            if boost:
                boosted.add(word)
            if not fits_lexicon(word, toneless, big5, summary, lambda s: s):
                continue
            reading, reason = give_tones(word, toneless, tj, chars)
            if reading is None:
                summary.drop(reason)
            else:
                add_reading(words[word], reading)
    words = {w: r for w, r in words.items() if r}
    drop_simplified_duplicates(words, unihan, summary)
    return words, boosted


def traditional_forms(char, unihan):
    """The traditional forms of a character that is only a simplified form."""
    value = unihan.get(char, {}).get("kTraditionalVariant", "")
    forms = [chr(int(code[2:], 16)) for code in value.split()]
    return [] if char in forms else forms


def drop_simplified_duplicates(words, unihan, summary):
    """Drops words in simplified spelling whose traditional spelling is present."""
    for word in sorted(words):
        options = [traditional_forms(c, unihan) or [c] for c in word]
        if all(len(o) == 1 and o[0] == c for o, c in zip(options, word)):
            continue
        if any("".join(p) in words for p in itertools.product(*options)):
            del words[word]
            summary.drop("word: simplified spelling of a word also present")


def add_reading(readings, reading):
    if reading not in readings:
        readings.append(reading)


def fits_lexicon(word, syllables, big5, summary, toneless_of):
    """Whether a word reading can go into the lexicon; counts why not."""
    if len(word) > MAX_WORD_CHARS:
        summary.drop("word reading: longer than 7 characters")
    elif any(c not in big5 for c in word):
        summary.drop("word reading: a character not in Big5-HKSCS")
    elif len(syllables) != len(word):
        summary.drop("word reading: syllables do not match characters one to one")
    else:
        bad = next((s for s in syllables if split_syllable(toneless_of(s)) is None), None)
        if bad is None:
            return True
        summary.drop("word reading: syllable outside the inventory", toneless_of(bad))
    return False


def collect_rime(rime_dir, summary):
    """Splits jyutping.dict.yaml into toneless character readings and words."""
    path = os.path.join(rime_dir, "jyutping.dict.yaml")
    char_readings_seen, words = [], collections.defaultdict(list)
    for _, text, syllables, weight, percent in read_rime(path):
        if len(text) == 1 and len(syllables) == 1:
            char_readings_seen.append((text, syllables[0]))
            continue
        if len(text) == 1:
            summary.drop("character reading: more than one syllable")
            continue
        # Percent weights rank a word's readings; absolute ones boost the word.
        syllables = [spell_short_a(s, summary) for s in syllables]
        words[text].append((syllables, weight if percent else 100.0,
                            not percent and weight >= 1000))
    return char_readings_seen, words


def spell_short_a(syllable, summary):
    """Writes a bare short -a final (ga3, la) the standard way (gaa3, laa)."""
    body = strip_tone(syllable)
    if body.endswith("a") and not body.endswith("aa") and (body[:-1] in INITIAL_SET or
                                                         body == "a"):
        summary.counts["syllable: bare -a written -aa (kept)"] += 1
        return body + "a" + syllable[len(body):]
    return syllable


def count_uncovered(rime_chars, chars, big5, summary):
    """Counts toneless character readings that no toned source confirms."""
    for char, syllable in rime_chars:
        if char in big5 and all(strip_tone(r) != syllable for r in chars.get(char, [])):
            summary.drop("character reading (toneless only): no toned reading to match")


# --------------------------------------------------------------------------
# Order


def char_base_cost(char, unihan, big5_levels):
    """How basic a character is in writing; lower = more basic (data/README)."""
    fields = unihan.get(char, {})
    grade = int(fields.get("kGradeLevel", 6))
    frequency = int(fields.get("kFrequency", 6))
    hk_glyph = 0 if "kHKGlyph" in fields else 1
    simplified = 6 if traditional_forms(char, unihan) else 0
    return grade + frequency + hk_glyph + big5_levels[char] + simplified


def pinlu_count(fields):
    return sum(int(n) for n in re.findall(r"\((\d+)\)", fields.get("kHanyuPinlu", "")))


def total_strokes(fields):
    return int(fields.get("kTotalStrokes", "99").split(" ")[0])


def usage_counts(words):
    """How many words use each (char, toned syllable)."""
    counts = collections.Counter()
    for word, readings in words.items():
        for reading in readings:
            for char, syllable in zip(word, reading.split(" ")):
                counts[char, syllable] += 1
    return counts


def rank_chars(chars, unihan, char_cost):
    entries = []
    for char, readings in chars.items():
        fields = unihan.get(char, {})
        for index, reading in enumerate(readings):
            cost = char_cost(char, reading) + 3 * index
            entries.append(((round(cost, 6), -pinlu_count(fields), total_strokes(fields), char,
                             index), char, reading))
    return sequential_ranks(entries)


def superword_counts(words):
    """How many longer words contain each word."""
    counts = collections.Counter()
    for word in words:
        for size in range(2, len(word)):
            for start in range(len(word) - size + 1):
                counts[word[start:start + size]] += 1
    return counts


def rank_words(words, char_cost, tj, boosted):
    contained = superword_counts(words)
    entries = []
    for word, readings in words.items():
        bonus = 2.5 * math.log2(1 + contained[word])
        bonus += 3 if word in tj else 0
        bonus += 3 if word in boosted else 0
        for index, reading in enumerate(readings):
            costs = [char_cost(c, s) for c, s in zip(word, reading.split(" "))]
            cost = sum(costs) / len(costs) - bonus + 3 * index
            entries.append(((round(cost, 6), word, index), word, reading))
    return sequential_ranks(entries)


def sequential_ranks(entries):
    entries.sort(key=lambda e: e[0])
    return {(text, reading): rank for rank, (_, text, reading) in enumerate(entries, 1)}


# --------------------------------------------------------------------------
# Output


NOTICE = ("# Generated by tools/refresh_lexicon.py from modified extracts of {}; "
          "see data/README and data/licenses/.")


def write_tsv(path, sources, columns, rows):
    temporary = path + ".tmp"
    with open(temporary, "w", encoding="utf-8", newline="\n") as stream:
        stream.write(NOTICE.format(sources) + "\n# " + "\t".join(columns) + "\n")
        for row in rows:
            stream.write("\t".join(row) + "\n")
    os.replace(temporary, path)


def reading_rows(table, ranks):
    for text in sorted(table):
        for reading in table[text]:
            yield text, reading, str(ranks[text, reading])


def write_summary(path, summary, lexicon, versions):
    chars, words = lexicon["chars"], lexicon["words"]
    lines = ["Lexicon refresh summary", ""]
    lines += [f"source {name}: {version}" for name, version in sorted(versions.items())]
    sets = collections.Counter("HKSCS" if lexicon["levels"][c] == 2 else "Big5" for c in chars)
    lines += ["", f"characters: {len(chars)} (Big5 {sets['Big5']}, HKSCS {sets['HKSCS']})",
              f"character readings: {sum(len(r) for r in chars.values())}",
              f"descriptions: {len(lexicon['descriptions'])}"]
    per_char = collections.Counter(len(r) for r in chars.values())
    lines += [f"characters with {n} reading(s): {per_char[n]}" for n in sorted(per_char)]
    by_length = collections.Counter(len(w) for w in words)
    lines += [f"words of {n} characters: {by_length[n]}" for n in sorted(by_length)]
    lines.append(f"word readings: {sum(len(r) for r in words.values())}")
    lines += ["", "dropped, mapped or unused:"]
    lines += [f"  {reason}: {count}" for reason, count in sorted(summary.counts.items())]
    lines += ["", "syllables outside the inventory (occurrences):"]
    lines += [f"  {s}: {n}" for s, n in
              sorted(summary.syllables.items(), key=lambda x: (-x[1], x[0]))]
    with open(path, "w", encoding="utf-8", newline="\n") as stream:
        stream.write("\n".join(lines) + "\n")
    return lines


def header_value(path, pattern):
    """The first match of pattern in a source's comment header, or "unknown"."""
    with open_text(path) as stream:
        for _, line in zip(range(60), stream):
            match = re.search(pattern, line)
            if match:
                return match.group(1)
    return "unknown"


def source_versions(args):
    return {
        "jyutping.dict.yaml": header_value(os.path.join(args.rime, "jyutping.dict.yaml"),
                                           r'^version: "([^"]+)"'),
        "Unihan": header_value(os.path.join(args.unicode, "Unihan_Readings.txt"),
                               r"Unicode version: (\S+)"),
        "CJKRadicals": header_value(os.path.join(args.unicode, "CJKRadicals.txt"),
                                    r"^# (CJKRadicals-\S+)"),
        "to-jyutping": package_version(args.to_jyutping),
    }


TJ_LOCATIONS = ("node_modules/to-jyutping", "/usr/local/lib/node_modules/to-jyutping",
                "/usr/lib/node_modules/to-jyutping")


def find_to_jyutping():
    for place in TJ_LOCATIONS:
        if os.path.exists(os.path.join(place, "dist", "index.cjs")):
            return place
    return None


def default_out():
    return os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "data")


def parse_args():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--rime", default="/usr/share/rime-data",
                        help="folder of librime-data-jyutping's jyutping.dict.yaml")
    parser.add_argument("--unicode", default="/usr/share/unicode",
                        help="folder of unicode-data's Unihan files and CJKRadicals.txt")
    parser.add_argument("--to-jyutping", default=find_to_jyutping(),
                        help="folder of the installed npm package to-jyutping")
    parser.add_argument("--out", default=default_out(), help="where to write the lexicon")
    parser.add_argument("--iconv", default=shutil.which("iconv") or "iconv",
                        help="glibc's iconv, the reference for Big5-HKSCS")
    args = parser.parse_args()
    if not args.to_jyutping:
        parser.error("to-jyutping not found in " + ", ".join(TJ_LOCATIONS) +
                     "; install it (npm install to-jyutping) and pass --to-jyutping DIR")
    return args


def build_lexicon(args, summary):
    unihan = read_unihan(args.unicode)
    radicals = read_radicals(args.unicode)
    tj = read_to_jyutping(args.to_jyutping)
    rime_chars, rime_words = collect_rime(args.rime, summary)

    big5 = big5hkscs_chars(set(unihan) | {c for w in list(tj) + list(rime_words) for c in w},
                           args.iconv)
    chars = char_readings(unihan, tj, big5, summary)
    summary.counts["character: in Big5-HKSCS, no reading in any source"] = len(
        [c for c in big5 if c in unihan and c not in chars])
    count_uncovered(rime_chars, chars, big5, summary)
    words, boosted = word_readings(rime_words, tj, chars, unihan, big5, summary)

    levels = {c: big5_level(code) for c, code in big5.items()}
    base = {c: char_base_cost(c, unihan, levels) for c in chars}
    usage = usage_counts(words)

    def char_cost(char, syllable):
        return base.get(char, 20) - 3 * math.log2(1 + usage[char, syllable])

    descriptions = {}
    for char in sorted(chars):
        rs = unihan.get(char, {}).get("kRSUnicode")
        text = describe(char, rs, radicals) if rs else OUTSIDE_UNIHAN.get(char)
        if text:
            descriptions[char] = text
        else:
            summary.drop("description: no radical/stroke data")
    return {"chars": chars, "words": words, "descriptions": descriptions, "levels": levels,
            "char_ranks": rank_chars(chars, unihan, char_cost),
            "word_ranks": rank_words(words, char_cost, tj, boosted)}


def build(args):
    summary = Summary()
    lexicon = build_lexicon(args, summary)
    os.makedirs(args.out, exist_ok=True)
    write_tsv(os.path.join(args.out, "chars.tsv"),
              "Unihan, to-jyutping and librime-data-jyutping",
              ("char", "reading", "rank"), reading_rows(lexicon["chars"], lexicon["char_ranks"]))
    write_tsv(os.path.join(args.out, "words.tsv"),
              "librime-data-jyutping, to-jyutping and Unihan", ("word", "reading", "rank"),
              reading_rows(lexicon["words"], lexicon["word_ranks"]))
    write_tsv(os.path.join(args.out, "descriptions.tsv"), "Unihan and CJKRadicals",
              ("char", "description"), sorted(lexicon["descriptions"].items()))
    return write_summary(os.path.join(args.out, "refresh_summary.txt"), summary, lexicon,
                         source_versions(args))


# --------------------------------------------------------------------------
# Self-test: parsing and decisions on small made-up sources, and the
# invariants of the committed lexicon (runs without the source packages).


def self_test():
    import tempfile
    import unittest

    def write(folder, name, text):
        path = os.path.join(folder, name)
        with open(path, "w", encoding="utf-8") as stream:
            stream.write(text)
        return path

    def tj_code(syllable):
        body, tone = syllable[:-1], int(syllable[-1])
        for onset in sorted(TJ_ONSETS, key=len, reverse=True):
            rest = body[len(onset):]
            if body.startswith(onset) and rest in TJ_RHYMES:
                final = 54 + TJ_RHYMES.index(rest)
                break
            if body.startswith(onset) and rest:
                nucleus = next((n for n in TJ_NUCLEI if rest.startswith(n) and
                                rest[len(n):] in TJ_CODAS), None)
                if nucleus is not None:
                    final = TJ_NUCLEI.index(nucleus) * 9 + TJ_CODAS.index(rest[len(nucleus):])
                    break
        code = TJ_ONSETS.index(onset) * 402 + final * 6 + tone - 1
        return chr(33 + code // 90) + chr(33 + code % 90)

    def tj_package(folder, trie):
        os.makedirs(os.path.join(folder, "dist"))
        tables = "".join(tj_js_list(t) + ";" for t in (TJ_ONSETS, TJ_NUCLEI, TJ_RHYMES, TJ_CODAS))
        literal = trie.replace("\\", "\\\\").replace('"', '\\"')
        write(folder, "dist/index.cjs", f'{tables}\nlet F={TJ_LITERAL_START[:-1]}{literal}");')
        return folder

    class Syllables(unittest.TestCase):
        def test_inventory(self):
            for good in ("m4", "ng5", "aa3", "gwaa1", "ngo5", "hok2", "jyut6", "sik6", "oe1"):
                self.assertTrue(syllable_fits(good), good)
            for bad in ("hm6", "hng6", "gep6", "em6", "deu6", "si7", "si0", "si", "ng", "b1"):
                self.assertFalse(syllable_fits(bad), bad)

        def test_short_a_is_respelled(self):
            summary = Summary()
            self.assertEqual([spell_short_a(s, summary) for s in ("ga3", "la", "a1", "aa", "gaa")],
                             ["gaa3", "laa", "aa1", "aa", "gaa"])

    class Descriptions(unittest.TestCase):
        def test_numbers_and_radicals(self):
            radicals = {"9": "人", "96": "玉", "120'": "纟"}
            self.assertEqual(describe("你", "9.5", radicals), "(人部五畫)")
            self.assertEqual(describe("人", "9.0", radicals), "(人部)")
            self.assertEqual(describe("王", "96.-1", radicals), "(玉部零畫)")
            self.assertEqual(describe("x", "9.10 30.2", radicals), "(人部十畫)")
            self.assertEqual(describe("x", "120'.3", radicals), "(纟部三畫)")
            self.assertIsNone(describe("x", "999.1", radicals))
            self.assertEqual([chinese_number(n) for n in (0, 10, 12, 20, 32)],
                             ["零", "十", "十二", "二十", "三十二"])

    class Sources(unittest.TestCase):
        def setUp(self):
            self.folder = tempfile.mkdtemp()

        def tearDown(self):
            shutil.rmtree(self.folder)

        def assertFailsAt(self, where, call):
            with self.assertRaises(SourceError) as caught:
                call()
            self.assertIn(where, str(caught.exception))

        def test_rime_entries_and_bad_lines(self):
            head = "---\nname: x\n...\n\n# words\n"
            path = write(self.folder, "a.yaml", head + "你\tnei\n你好\tnei hou\t3%\n")
            self.assertEqual([e[1:] for e in read_rime(path)],
                             [("你", ["nei"], 100.0, True), ("你好", ["nei", "hou"], 3.0, True)])
            for line in ("你", "你\tnei5", "你\tnei\tlots", "你\t\tnei", "你\tnei  hou"):
                path = write(self.folder, "b.yaml", head + "好\thou\n" + line + "\n")
                self.assertFailsAt("b.yaml:7", lambda: list(read_rime(path)))
            path = write(self.folder, "c.yaml", "你\tnei\n")
            self.assertFailsAt("c.yaml", lambda: list(read_rime(path)))

        def test_rime_weights_order_readings_and_boost_words(self):
            write(self.folder, "jyutping.dict.yaml", "...\n你\tnei\n兡\tbaak hak\n"
                  "但係\tdaan hai\t10000.0\n呢度\tnei dou\t10%\n呢度\tni dou\n㗎嘞\tga la\n")
            summary = Summary()
            chars, words = collect_rime(self.folder, summary)
            self.assertEqual(chars, [("你", "nei")])
            self.assertEqual(words["但係"], [(["daan", "hai"], 100.0, True)])
            self.assertEqual(words["㗎嘞"], [(["gaa", "laa"], 100.0, False)])
            tj_chars = {"但": ["daan6"], "係": ["hai6"], "呢": ["ni1", "nei1"], "度": ["dou6"],
                        "㗎": ["gaa3"], "嘞": ["laak3", "laa3"]}
            kept, boosted = word_readings(words, {}, tj_chars, {}, set("但係呢度㗎嘞"), summary)
            self.assertEqual(kept["呢度"], ["ni1 dou6", "nei1 dou6"])
            self.assertEqual(kept["㗎嘞"], ["gaa3 laa3"])
            self.assertEqual(boosted, {"但係"})
            self.assertEqual(summary.counts["character reading: more than one syllable"], 1)

        def test_unihan_bad_lines(self):
            for name in UNIHAN_FIELDS:
                write(self.folder, name, "# header\n")
            write(self.folder, "Unihan_Readings.txt", "U+4F60\tkCantonese\tnei5\n")
            self.assertEqual(read_unihan(self.folder)["你"], {"kCantonese": "nei5"})
            for line in ("U+4F60\tkCantonese\tnei", "U+4F60 kCantonese nei5", "junk"):
                write(self.folder, "Unihan_Readings.txt", "#\n" + line + "\n")
                self.assertFailsAt("Unihan_Readings.txt:2", lambda: read_unihan(self.folder))

        def test_to_jyutping_trie(self):
            trie = ("{你" + tj_code("nei5") + tj_code("lei5") + "{好" + tj_code("nei5") +
                    tj_code("hou2") + "}兡" + tj_code("baak3") + "~" + tj_code("hak1") + "}")
            package = tj_package(os.path.join(self.folder, "ok"), trie)
            self.assertEqual(read_to_jyutping(package), {
                "你": ["nei5", "lei5"], "你好": ["nei5 hou2"], "兡": ["baak3 hak1"]})
            broken = tj_package(os.path.join(self.folder, "broken"), trie[:-3])
            self.assertFailsAt("index.cjs:2:", lambda: read_to_jyutping(broken))

    class Decisions(unittest.TestCase):
        def test_tones_come_from_known_words_then_characters(self):
            tj = {"銀行": ["ngan4 hong4"], "行": ["haang4", "hong4"]}
            chars = {"銀": ["ngan4", "ngan2"], "行": ["haang4", "hong2", "hong4"], "街": ["gaai1"]}
            self.assertEqual(give_tones("中國銀行", ["zung", "gwok", "ngan", "hong"], tj,
                                        dict(chars, 中=["zung1"], 國=["gwok3"]))[0],
                             "zung1 gwok3 ngan4 hong4")
            self.assertEqual(give_tones("行街", ["haang", "gaai"], tj, chars)[0],
                             "haang4 gaai1")
            self.assertIsNone(give_tones("行街", ["hang", "gaai"], tj, chars)[0])

        def test_simplified_duplicates_go(self):
            unihan = {"长": {"kTraditionalVariant": "U+9577"},
                      "干": {"kTraditionalVariant": "U+5E72 U+4E7E U+5E79"}}
            words = {"家长": ["gaa1 zoeng2"], "家長": ["gaa1 zoeng2"], "州长": ["zau1 zoeng2"],
                     "干擾": ["gon1 jiu2"]}
            drop_simplified_duplicates(words, unihan, Summary())
            self.assertEqual(sorted(words), sorted(["州长", "家長", "干擾"]))

    class CommittedLexicon(unittest.TestCase):
        def rows(self, name, columns):
            path = os.path.join(default_out(), name)
            if not os.path.exists(path):
                self.skipTest(f"{path} not generated")
            with open(path, encoding="utf-8") as stream:
                lines = [line.rstrip("\n") for line in stream if not line.startswith("#")]
            rows = [line.split("\t") for line in lines]
            self.assertTrue(all(len(r) == columns for r in rows), name)
            return rows

        def check_readings(self, rows, lengths):
            ranks = [int(r[2]) for r in rows]
            self.assertEqual(sorted(ranks), list(range(1, len(ranks) + 1)))
            self.assertEqual(len({(r[0], r[1]) for r in rows}), len(rows))
            self.assertEqual([r[0] for r in rows], sorted(r[0] for r in rows))
            for text, reading, _ in rows:
                syllables = reading.split(" ")
                self.assertIn(len(text), lengths, text)
                self.assertEqual(len(syllables), len(text), text)
                self.assertTrue(all(syllable_fits(s) for s in syllables), (text, reading))

        def test_chars_words_descriptions(self):
            self.check_readings(self.rows("chars.tsv", 3), (1,))
            self.check_readings(self.rows("words.tsv", 3), range(2, MAX_WORD_CHARS + 1))
            pattern = re.compile(r"^\(.部([一二三四五六七八九十零]+畫)?\)$")
            for char, text in self.rows("descriptions.tsv", 2):
                if char not in OUTSIDE_UNIHAN:
                    self.assertRegex(text, pattern, char)

    suite = unittest.TestSuite(unittest.defaultTestLoader.loadTestsFromTestCase(case) for case in (
        Syllables, Descriptions, Sources, Decisions, CommittedLexicon))
    result = unittest.TextTestRunner(verbosity=1).run(suite)
    return 0 if result.wasSuccessful() else 1


def main():
    if sys.argv[1:] == ["--self-test"]:
        sys.exit(self_test())
    args = parse_args()
    try:
        lines = build(args)
    except SourceError as error:
        sys.exit(f"refresh_lexicon: {error}")
    print("\n".join(lines))


if __name__ == "__main__":
    main()
