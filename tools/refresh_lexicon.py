#!/usr/bin/env python3
"""Regenerates the Cantonese source lexicon under data/ from installed packages.

Sources (see data/README for versions, licences and the ordering rule):
  - rime-data-jyut6ping3: jyut6ping3.chars.dict.yaml, jyut6ping3.words.dict.yaml
    and jyut6ping3.phrase.dict.yaml (toned readings) and essay-cantonese.txt
    (how often each word and character occurs in a Cantonese corpus)
  - opencc (Debian's OpenCC tables): HKVariants.ocd2 and TWVariants.ocd2, read
    through opencc_dict, to write the Hong Kong forms of characters
  - unicode-data: Unihan_*.txt(.bz2) and CJKRadicals.txt

Writes data/chars.tsv, data/words.tsv, data/descriptions.tsv and
data/refresh_summary.txt. The output depends only on the source files, so a
rerun on the same packages gives byte-identical files. A source line that
cannot be parsed stops the run with its file and line; well-formed entries
that do not fit the lexicon are dropped and counted in the summary.

Usage: refresh_lexicon.py [--rime DIR] [--opencc DIR] [--opencc-dict PATH]
                          [--unicode DIR] [--out DIR] [--iconv PATH]
       refresh_lexicon.py --self-test
"""

import argparse
import bz2
import collections
import os
import re
import shutil
import subprocess
import sys
import tempfile

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

CHINESE_DIGITS = "零一二三四五六七八九"

# The form that Hong Kong does not write stays as a later candidate, with
# this share of the count of the form that replaces it.
KEPT_FORM_SHARE = 0.1
# A phrase or corpus text that no word table lists counts this share of its
# corpus count: it is less surely a word of its own, and the corpus spells
# some words in ways Hong Kong does not write them (我地 for 我哋, 上還 for
# 上環).
UNLISTED_SHARE = 0.3


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


def spell_short_a(syllable, summary):
    """Writes a bare short -a final (ga3, a3) the standard way (gaa3, aa3)."""
    body = strip_tone(syllable)
    if body.endswith("a") and not body.endswith("aa") and (body[:-1] in INITIAL_SET or
                                                         body == "a"):
        summary.counts["syllable: bare -a written -aa (kept)"] += 1
        return body + "a" + syllable[len(body):]
    return syllable


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


RIME_READING = re.compile(r"^[a-z]+[1-6]( [a-z]+[1-6])*$")
RIME_WEIGHT = re.compile(r"^(\d+(\.\d+)?)%$")


def read_rime(path, with_readings):
    """Yields (line number, text, toned syllables, weight in percent or None)
    for each entry of a Rime dictionary's body; a table without readings
    (the phrase list) gives None for both."""
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
            if not with_readings:
                if len(fields) != 1 or not fields[0].strip():
                    raise SourceError(path, number, "expected a text alone")
                yield number, fields[0], None, None
                continue
            if len(fields) not in (2, 3) or not fields[0]:
                raise SourceError(path, number, "expected text<TAB>reading[<TAB>weight]")
            if not RIME_READING.match(fields[1]):
                raise SourceError(path, number, f"bad reading {fields[1]!r}")
            weight = None
            if len(fields) == 3:
                match = RIME_WEIGHT.match(fields[2])
                if not match:
                    raise SourceError(path, number, f"bad weight {fields[2]!r}")
                weight = float(match.group(1))
            yield number, fields[0], fields[1].split(" "), weight
        if not in_body:
            raise SourceError(path, 0, "no '...' line ends the header")


def read_essay(path):
    """Returns {text: count} of the corpus frequency list."""
    counts = {}
    with open_text(path) as stream:
        for number, line in enumerate(stream, 1):
            fields = line.rstrip("\n").split("\t")
            if len(fields) != 2 or not fields[0] or not fields[1].isdigit():
                raise SourceError(path, number, "expected text<TAB>count")
            if fields[0] in counts:
                raise SourceError(path, number, f"{fields[0]!r} again")
            counts[fields[0]] = int(fields[1])
    return counts


def read_opencc_text(path, shown_as):
    """Returns {text: [replacements, preferred first]} of an OpenCC table in
    text form; errors name shown_as (the table the text was made from)."""
    table = {}
    with open(path, encoding="utf-8") as stream:
        for number, line in enumerate(stream, 1):
            fields = line.rstrip("\n").split("\t")
            if len(fields) != 2 or not fields[0] or not fields[1].strip():
                raise SourceError(shown_as, number, "expected text<TAB>replacements")
            table[fields[0]] = fields[1].split(" ")
    return table


def read_opencc(path, opencc_dict):
    """Reads a binary OpenCC table through opencc_dict's text output."""
    if not os.path.exists(path):
        raise SourceError(path, 0, "source file not found")
    with tempfile.TemporaryDirectory() as folder:
        text = os.path.join(folder, "table.txt")
        done = subprocess.run([opencc_dict, "-i", path, "-o", text, "-f", "ocd2", "-t", "text"],
                              capture_output=True, check=False)
        if done.returncode != 0 or not os.path.exists(text):
            raise SourceError(path, 0, f"{opencc_dict} could not read it: "
                              f"{done.stderr.decode(errors='replace')[:200]}")
        return read_opencc_text(text, path + " (as text)")


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


class Corpus:
    """How often texts occur: the corpus count, or for a text that the
    corpus does not list, an estimate from the best way to write it as
    texts that it does list (their probabilities multiplied)."""

    def __init__(self, counts):
        self.counts = counts
        self.total = max(1, sum(counts.values()))

    def char_count(self, char):
        return self.counts.get(char, 0)

    def frequency(self, text):
        count = self.counts.get(text, 0)
        return float(count) if count > 0 else self.estimate(text)

    def estimate(self, text):
        best = [0.0] * (len(text) + 1)
        best[0] = 1.0
        for end in range(1, len(text) + 1):
            for start in range(end):
                count = self.counts.get(text[start:end], 0) if best[start] > 0 else 0
                if count > 0:
                    best[end] = max(best[end], best[start] * count / self.total)
        return best[-1] * self.total


class Entry:
    """The readings of one text: for each, its count in the corpus (the
    text's frequency times the reading's share) and the share alone."""

    def __init__(self):
        self.readings = {}  # reading -> [count, share, first seen]
        self.listed = False  # in a word table (not made from the corpus alone)

    def add(self, reading, count, share):
        slot = self.readings.setdefault(reading, [0.0, 0.0, len(self.readings)])
        slot[0] += count
        slot[1] = max(slot[1], share)

    def ordered(self):
        """Readings most common first; ties by share, then source order."""
        return sorted(self.readings, key=lambda r: (-round(self.readings[r][0], 6),
                                                     -self.readings[r][1], self.readings[r][2]))


def shares(weights):
    """Weights (None = 100%) as shares that add up to 1."""
    values = [100.0 if w is None else w for w in weights]
    total = sum(values)
    return [v / total if total > 0 else 1 / len(values) for v in values]


def char_weights(rows, summary):
    """{char: {toned syllable: weight}} of the character table, in its order."""
    table = {}
    for _, text, syllables, weight in rows:
        if len(text) != 1:
            summary.drop("character entry: not one character")
        elif len(syllables) != 1:
            summary.drop("character reading: more than one syllable")
        else:
            syllable = spell_short_a(syllables[0], summary)
            if not syllable_fits(syllable):
                summary.drop("character reading: syllable outside the inventory",
                             strip_tone(syllable))
                continue
            readings = table.setdefault(text, {})
            value = 100.0 if weight is None else weight
            readings[syllable] = max(readings.get(syllable, 0.0), value)
    return table


def unihan_weights(unihan, known, big5, summary):
    """Readings from Unihan kCantonese for Big5-HKSCS characters that the
    character table does not read."""
    table = {}
    for char in sorted(big5):
        if char in known:
            continue
        syllables = [spell_short_a(s, summary) for s in
                     unihan.get(char, {}).get("kCantonese", "").split()]
        kept = [s for s in syllables if syllable_fits(s)]
        for syllable in syllables:
            if not syllable_fits(syllable):
                summary.drop("character reading: syllable outside the inventory",
                             strip_tone(syllable))
        if kept:
            table[char] = {s: 100.0 for s in kept}
            summary.counts["character: read from Unihan alone"] += 1
    return table


def char_entries(weights, corpus):
    """{char: Entry}: each reading counted as the character's frequency
    times the reading's share."""
    entries = {}
    for char, readings in weights.items():
        entry = entries.setdefault(char, Entry())
        for syllable, share in zip(readings, shares(list(readings.values()))):
            entry.add(syllable, corpus.char_count(char) * share, share)
    return entries


def reading_usage(weights, word_rows, corpus):
    """How often each character is read each way: alone (its count times the
    reading's share) and in the words of the word table (their frequency)."""
    usage = collections.Counter()
    for char, readings in weights.items():
        for syllable, share in zip(readings, shares(list(readings.values()))):
            usage[char, syllable] += corpus.char_count(char) * share
    for _, text, syllables, _ in word_rows:
        if len(syllables) == len(text):
            frequency = corpus.frequency(text)
            for char, syllable in zip(text, syllables):
                usage[char, syllable] += frequency
    return usage


def usual_syllable(char, weights, usage):
    """The reading a character has most often, or None without any."""
    readings = list(weights.get(char, {}))
    if not readings:
        return None
    return max(readings, key=lambda s: (usage[char, s], weights[char][s], -readings.index(s)))


def derive_reading(text, word_readings, weights, usage):
    """A phrase's reading: the known words in it from the left, longest
    first, and each other character's usual reading."""
    syllables = []
    at = 0
    while at < len(text):
        for size in range(len(text) - at, 0, -1):
            part = text[at:at + size]
            if size > 1 and part in word_readings:
                syllables += word_readings[part][0]
                at += size
                break
            if size == 1:
                syllable = usual_syllable(part, weights, usage)
                if syllable is None:
                    return None
                syllables.append(syllable)
                at += 1
    return syllables


# A text that the corpus counts at least this often is a word of the
# lexicon even when no word table lists it (你好, 新年快樂).
CORPUS_WORD_COUNT = 1000


def word_sources(word_rows, phrase_rows, weights, corpus, summary):
    """{word: [syllable lists]} of the word table, of the phrases that the
    corpus attests and of the corpus's common texts, before any form is
    changed. Readings that the tables don't give are made from the words
    and characters in the text."""
    words = collections.defaultdict(list)
    for _, text, syllables, _ in word_rows:
        syllables = [spell_short_a(s, summary) for s in syllables]
        if len(syllables) != len(text):
            summary.drop("word reading: syllables do not match characters one to one")
        elif syllables not in words[text]:
            words[text].append(syllables)
    usage = reading_usage(weights, word_rows, corpus)
    listed = dict(words)
    phrases = sorted(t for _, t, _, _ in phrase_rows if 2 <= len(t) <= MAX_WORD_CHARS)
    common = sorted(t for t, n in corpus.counts.items()
                    if n >= CORPUS_WORD_COUNT and 2 <= len(t) <= MAX_WORD_CHARS)
    for kind, texts in (("phrase", phrases), ("corpus text", common)):
        for text in texts:
            if text in words:
                continue
            if corpus.counts.get(text, 0) == 0:
                summary.drop(f"{kind}: not attested in the corpus")
                continue
            syllables = derive_reading(text, listed, weights, usage)
            if syllables is None:
                summary.drop(f"{kind}: a character without a reading")
            else:
                words[text].append(syllables)
                summary.counts[f"{kind}: read from its words and characters (kept)"] += 1
    return {w: r for w, r in words.items() if r}, set(listed)


def reading_shares(word, readings, weights):
    """Shares of a word's readings: each as likely as its characters' shares
    of those syllables make it."""
    likelihoods = []
    for syllables in readings:
        value = 1.0
        for char, syllable in zip(word, syllables):
            char_readings = weights.get(char, {})
            total = sum(char_readings.values())
            value *= char_readings.get(syllable, 0.0) / total if total else 0.0
        likelihoods.append(value)
    total = sum(likelihoods)
    return [v / total if total > 0 else 1 / len(readings) for v in likelihoods]


def word_entries(words, listed, weights, corpus, summary):
    """{word: Entry} of the words that fit the lexicon."""
    entries = {}
    for word, readings in sorted(words.items()):
        kept = [r for r in readings if fits_lexicon(word, r, summary)]
        if not kept:
            continue
        frequency = corpus.frequency(word) * (1.0 if word in listed else UNLISTED_SHARE)
        entry = entries.setdefault(word, Entry())
        entry.listed = word in listed
        for syllables, share in zip(kept, reading_shares(word, kept, weights)):
            entry.add(" ".join(syllables), frequency * share, share)
    return entries


def fits_lexicon(word, syllables, summary):
    """Whether a word reading can go into the lexicon; counts why not."""
    if len(word) > MAX_WORD_CHARS:
        summary.drop("word reading: longer than 7 characters")
        return False
    bad = next((s for s in syllables if not syllable_fits(s)), None)
    if bad is not None:
        summary.drop("word reading: syllable outside the inventory", strip_tone(bad))
        return False
    return True


# --------------------------------------------------------------------------
# Hong Kong forms


def hong_kong_forms(hk_variants, tw_variants, big5):
    """{char: the form Hong Kong writes} for the characters written otherwise.

    OpenCC's Hong Kong table decides first. For a character it leaves alone,
    OpenCC's table of Taiwan forms pairs it with the form that Big5 text
    writes (麪 and 麵); that form is taken when it is in Big5's frequently
    used set and the character is not, as Hong Kong writes in Big5."""
    forms = {}
    for char, targets in sorted(hk_variants.items()):
        if len(char) == 1 and targets[0] != char and targets[0] in big5:
            forms[char] = targets[0]
    for char, targets in sorted(tw_variants.items()):
        target = targets[0]
        if len(char) != 1 or char in hk_variants or target == char or target not in big5:
            continue
        if big5_level(big5[target]) == 0 and (char not in big5 or big5_level(big5[char]) != 0):
            forms[char] = target
    return forms


def to_hong_kong(entries, forms, big5, summary, what):
    """The entries written in Hong Kong forms. Where a form changed, the
    counts go to the Hong Kong spelling and the old spelling stays with a
    tenth of them, when Big5-HKSCS holds it; entries with a character
    outside Big5-HKSCS are dropped."""
    converted = {}

    def add(text, entry, factor):
        if not all(c in big5 for c in text):
            summary.drop(f"{what}: a character not in Big5-HKSCS")
            return
        target = converted.setdefault(text, Entry())
        target.listed |= entry.listed
        for reading in entry.ordered():
            count, share, _ = entry.readings[reading]
            target.add(reading, count * factor, share)

    for text in sorted(entries):
        hong_kong = "".join(forms.get(c, c) for c in text)
        add(hong_kong, entries[text], 1.0)
        if hong_kong != text:
            summary.counts[f"{what}: written in its Hong Kong form"] += 1
            if all(c in big5 for c in text):
                add(text, entries[text], KEPT_FORM_SHARE)
    return converted


# --------------------------------------------------------------------------
# Order


def traditional_forms(char, unihan):
    """The traditional forms of a character that is only a simplified form."""
    value = unihan.get(char, {}).get("kTraditionalVariant", "")
    forms = [chr(int(code[2:], 16)) for code in value.split()]
    return [] if char in forms else forms


def char_base_cost(char, unihan, big5):
    """How basic a character is in writing, for ties of frequency; lower =
    more basic (data/README)."""
    fields = unihan.get(char, {})
    grade = int(fields.get("kGradeLevel", 6))
    frequency = int(fields.get("kFrequency", 6))
    hk_glyph = 0 if "kHKGlyph" in fields else 1
    simplified = 6 if traditional_forms(char, unihan) else 0
    return grade + frequency + hk_glyph + big5_level(big5[char]) + simplified


def pinlu_count(fields):
    return sum(int(n) for n in re.findall(r"\((\d+)\)", fields.get("kHanyuPinlu", "")))


def total_strokes(fields):
    return int(fields.get("kTotalStrokes", "99").split(" ")[0])


def rank_chars(chars, unihan, big5):
    """Ranks of (char, reading): most counted first; ties by how basic the
    character is, its Mandarin frequency, strokes and code point."""
    keys = []
    for char, entry in chars.items():
        fields = unihan.get(char, {})
        for index, reading in enumerate(entry.ordered()):
            keys.append(((-round(entry.readings[reading][0], 6),
                          char_base_cost(char, unihan, big5), -pinlu_count(fields),
                          total_strokes(fields), char, index), char, reading))
    return sequential_ranks(keys)


def rank_words(words, unihan, big5):
    """Ranks of (word, reading): most counted first; ties by how basic its
    characters are on average, then the word."""
    keys = []
    for word, entry in words.items():
        basic = sum(char_base_cost(c, unihan, big5) for c in word) / len(word)
        for index, reading in enumerate(entry.ordered()):
            keys.append(((-round(entry.readings[reading][0], 6), round(basic, 6), word, index),
                         word, reading))
    return sequential_ranks(keys)


def sequential_ranks(keys):
    keys.sort(key=lambda k: k[0])
    return {(text, reading): rank for rank, (_, text, reading) in enumerate(keys, 1)}


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


def reading_rows(entries, ranks):
    for text in sorted(entries):
        for reading in entries[text].ordered():
            yield text, reading, str(ranks[text, reading])


# Words never given as example words: the characters and words of Cantonese
# swearing and insult (你老母 would otherwise explain 你).
VULGAR = ("屌 𨳒 𨳍 𨳊 閪 𨶙 㞗 屄 撚 鳩 柒 仆街 冚家 老母 老味 老尾 八婆 契弟 收皮 戇居 屎忽 "
          "屎窟").split()


# Sentence particles: a word holding one is mostly a phrase (噉你, 㗎啦).
PARTICLES = "㗎啊呀喎囉啦咩吖嘛喇啫咋嘞噃喔噉咧咯吓嘅"


def example_class(word, entry):
    """How a word may explain its characters: 0 never (a text made up from
    the corpus, not a word of the word table, or a vulgar word), 2 only
    after the words of class 1 (it holds a sentence particle), else 1."""
    if not entry.listed or any(item in word for item in VULGAR):
        return 0
    return 2 if any(c in PARTICLES for c in word) else 1


def word_rows_out(entries, ranks):
    for text, reading, rank in reading_rows(entries, ranks):
        yield text, reading, rank, str(example_class(text, entries[text]))


def write_summary(path, summary, lexicon, versions):
    chars, words = lexicon["chars"], lexicon["words"]
    big5 = lexicon["big5"]
    lines = ["Lexicon refresh summary", ""]
    lines += [f"source {name}: {version}" for name, version in sorted(versions.items())]
    sets = collections.Counter("HKSCS" if big5_level(big5[c]) == 2 else "Big5" for c in chars)
    lines += ["", f"characters: {len(chars)} (Big5 {sets['Big5']}, HKSCS {sets['HKSCS']})",
              f"character readings: {sum(len(e.readings) for e in chars.values())}",
              f"descriptions: {len(lexicon['descriptions'])}"]
    per_char = collections.Counter(len(e.readings) for e in chars.values())
    lines += [f"characters with {n} reading(s): {per_char[n]}" for n in sorted(per_char)]
    by_length = collections.Counter(len(w) for w in words)
    lines += [f"words of {n} characters: {by_length[n]}" for n in sorted(by_length)]
    lines.append(f"word readings: {sum(len(e.readings) for e in words.values())}")
    counted = sum(1 for e in words.values() if any(v[0] > 0 for v in e.readings.values()))
    lines.append(f"words with a count or an estimate from the corpus: {counted}")
    lines += ["", "Hong Kong forms (character: the form Hong Kong writes):"]
    lines += ["  " + " ".join(f"{c}{t}" for c, t in sorted(lexicon["forms"].items()))]
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


PACKAGES = ("rime-data-jyut6ping3", "libopencc1.1", "unicode-data")


def package_versions():
    """The installed Debian packages' versions, where dpkg can tell."""
    versions = {}
    for package in PACKAGES:
        try:
            done = subprocess.run(["dpkg-query", "-W", "-f", "${Version}", package],
                                  capture_output=True, check=False, text=True)
            versions[f"package {package}"] = done.stdout.strip() or "unknown"
        except OSError:
            versions[f"package {package}"] = "unknown"
    return versions


def source_versions(args):
    versions = {
        f"{name}.dict.yaml": header_value(os.path.join(args.rime, f"jyut6ping3.{name}.dict.yaml"),
                                          r'^version: "([^"]+)"')
        for name in ("chars", "words", "phrase")}
    versions["Unihan"] = header_value(os.path.join(args.unicode, "Unihan_Readings.txt"),
                                      r"Unicode version: (\S+)")
    versions["CJKRadicals"] = header_value(os.path.join(args.unicode, "CJKRadicals.txt"),
                                           r"^# (CJKRadicals-\S+)")
    versions.update(package_versions())
    return versions


def default_out():
    return os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "data")


def parse_args():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--rime", default="/usr/share/rime-data",
                        help="folder of rime-data-jyut6ping3's dictionaries and essay")
    parser.add_argument("--opencc", default="/usr/share/opencc",
                        help="folder of OpenCC's HKVariants.ocd2 and TWVariants.ocd2")
    parser.add_argument("--opencc-dict", default=shutil.which("opencc_dict") or "opencc_dict",
                        help="OpenCC's opencc_dict, which reads its tables")
    parser.add_argument("--unicode", default="/usr/share/unicode",
                        help="folder of unicode-data's Unihan files and CJKRadicals.txt")
    parser.add_argument("--out", default=default_out(), help="where to write the lexicon")
    parser.add_argument("--iconv", default=shutil.which("iconv") or "iconv",
                        help="glibc's iconv, the reference for Big5-HKSCS")
    return parser.parse_args()


def rime_path(args, name):
    return os.path.join(args.rime, name)


def build_lexicon(args, summary):
    unihan = read_unihan(args.unicode)
    radicals = read_radicals(args.unicode)
    corpus = Corpus(read_essay(rime_path(args, "essay-cantonese.txt")))
    char_rows = list(read_rime(rime_path(args, "jyut6ping3.chars.dict.yaml"), True))
    word_rows = list(read_rime(rime_path(args, "jyut6ping3.words.dict.yaml"), True))
    phrase_rows = list(read_rime(rime_path(args, "jyut6ping3.phrase.dict.yaml"), False))
    hk_variants = read_opencc(os.path.join(args.opencc, "HKVariants.ocd2"), args.opencc_dict)
    tw_variants = read_opencc(os.path.join(args.opencc, "TWVariants.ocd2"), args.opencc_dict)

    candidates = set(unihan) | {r[1] for r in char_rows} | {c for r in word_rows for c in r[1]}
    candidates |= {c for table in (hk_variants, tw_variants) for k, v in table.items()
                   for c in k + "".join(v)}
    big5 = big5hkscs_chars(candidates, args.iconv)
    forms = hong_kong_forms(hk_variants, tw_variants, big5)

    weights = char_weights(char_rows, summary)
    weights.update(unihan_weights(unihan, weights, big5, summary))
    words, listed = word_sources(word_rows, phrase_rows, weights, corpus, summary)
    chars = to_hong_kong(char_entries(weights, corpus), forms, big5, summary, "character")
    summary.counts["character: in Big5-HKSCS, no reading in any source"] = len(
        [c for c in big5 if c in unihan and c not in chars])
    words = to_hong_kong(word_entries(words, listed, weights, corpus, summary), forms, big5,
                         summary, "word")

    descriptions = {}
    for char in sorted(chars):
        rs = unihan.get(char, {}).get("kRSUnicode")
        text = describe(char, rs, radicals) if rs else OUTSIDE_UNIHAN.get(char)
        if text:
            descriptions[char] = text
        else:
            summary.drop("description: no radical/stroke data")
    return {"chars": chars, "words": words, "descriptions": descriptions, "big5": big5,
            "forms": forms, "char_ranks": rank_chars(chars, unihan, big5),
            "word_ranks": rank_words(words, unihan, big5)}


SOURCES = "rime-data-jyut6ping3 (CC-BY-4.0), OpenCC's tables (Apache-2.0) and Unihan"


def build(args):
    summary = Summary()
    lexicon = build_lexicon(args, summary)
    os.makedirs(args.out, exist_ok=True)
    write_tsv(os.path.join(args.out, "chars.tsv"), SOURCES, ("char", "reading", "rank"),
              reading_rows(lexicon["chars"], lexicon["char_ranks"]))
    write_tsv(os.path.join(args.out, "words.tsv"), SOURCES,
              ("word", "reading", "rank", "example"),
              word_rows_out(lexicon["words"], lexicon["word_ranks"]))
    write_tsv(os.path.join(args.out, "descriptions.tsv"), "Unihan and CJKRadicals",
              ("char", "description"), sorted(lexicon["descriptions"].items()))
    return write_summary(os.path.join(args.out, "refresh_summary.txt"), summary, lexicon,
                         source_versions(args))


# --------------------------------------------------------------------------
# Self-test: parsing and decisions on small made-up sources, and the
# invariants of the committed lexicon (runs without the source packages).


def self_test():
    import unittest

    def write(folder, name, text):
        path = os.path.join(folder, name)
        with open(path, "w", encoding="utf-8") as stream:
            stream.write(text)
        return path

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
            path = write(self.folder, "a.yaml", head + "你\tnei5\n了\tliu5\t3%\n你好\tnei5 hou2\n")
            self.assertEqual([e[1:] for e in read_rime(path, True)],
                             [("你", ["nei5"], None), ("了", ["liu5"], 3.0),
                              ("你好", ["nei5", "hou2"], None)])
            for line in ("你", "你\tnei", "你\tnei5\tlots", "\tnei5", "你\tnei5  hou2",
                         "你\tnei5\t3"):
                path = write(self.folder, "b.yaml", head + "好\thou2\n" + line + "\n")
                self.assertFailsAt("b.yaml:7", lambda: list(read_rime(path, True)))
            path = write(self.folder, "c.yaml", head + "一世人\n一世\tjat1 sai3\n")
            self.assertFailsAt("c.yaml:7", lambda: list(read_rime(path, False)))
            path = write(self.folder, "d.yaml", "你\tnei5\n")
            self.assertFailsAt("d.yaml", lambda: list(read_rime(path, True)))

        def test_essay_and_opencc_tables(self):
            path = write(self.folder, "essay.txt", "你\t7\n你好\t0\n")
            self.assertEqual(read_essay(path), {"你": 7, "你好": 0})
            for bad in ("你\tseven\n", "你\n", "\t1\n", "好\t2\n"):
                path = write(self.folder, "bad.txt", "好\t1\n" + bad)
                self.assertFailsAt("bad.txt:2", lambda: read_essay(path))
            path = write(self.folder, "hk.txt", "爲\t為\n只\t只 衹\n")
            self.assertEqual(read_opencc_text(path, "HK.ocd2"), {"爲": ["為"], "只": ["只", "衹"]})
            path = write(self.folder, "hk.txt", "爲\t為\n只\n")
            self.assertFailsAt("HK.ocd2:2", lambda: read_opencc_text(path, "HK.ocd2"))

        def test_unihan_bad_lines(self):
            for name in UNIHAN_FIELDS:
                write(self.folder, name, "# header\n")
            write(self.folder, "Unihan_Readings.txt", "U+4F60\tkCantonese\tnei5\n")
            self.assertEqual(read_unihan(self.folder)["你"], {"kCantonese": "nei5"})
            for line in ("U+4F60\tkCantonese\tnei", "U+4F60 kCantonese nei5", "junk"):
                write(self.folder, "Unihan_Readings.txt", "#\n" + line + "\n")
                self.assertFailsAt("Unihan_Readings.txt:2", lambda: read_unihan(self.folder))

    class Frequencies(unittest.TestCase):
        def test_unlisted_texts_are_estimated_from_their_parts(self):
            corpus = Corpus({"我": 40, "哋": 10, "去": 50, "你好": 20, "好": 0})
            self.assertEqual(corpus.frequency("你好"), 20)
            self.assertAlmostEqual(corpus.frequency("我哋"), 40 * 10 / 120)
            self.assertAlmostEqual(corpus.frequency("我哋去"), 40 * 10 * 50 / 120 / 120)
            self.assertEqual(corpus.frequency("好人"), 0)

        def test_single_characters_by_frequency_times_share(self):
            weights = {"行": {"haang4": 100.0, "hong4": 100.0}, "航": {"hong4": 100.0},
                       "了": {"liu5": 100.0, "liu1": 3.0}}
            corpus = Corpus({"行": 10, "航": 6, "了": 103})
            entries = char_entries(weights, corpus)
            self.assertEqual(entries["行"].readings["hong4"][0], 5)
            self.assertEqual(entries["了"].ordered(), ["liu5", "liu1"])
            self.assertAlmostEqual(entries["了"].readings["liu1"][0], 3)
            big5 = {c: 0xA440 for c in "行航了"}
            ranks = rank_chars(entries, {}, big5)
            self.assertLess(ranks["航", "hong4"], ranks["行", "hong4"])
            self.assertLess(ranks["行", "hong4"], ranks["了", "liu1"])

        def test_readings_of_words_share_by_their_characters(self):
            weights = {"吖": {"aa1": 100.0}, "嗱": {"naa4": 100.0, "laa4": 5.0}}
            self.assertEqual([round(s, 3) for s in reading_shares(
                "吖嗱", [["aa1", "laa4"], ["aa1", "naa4"]], weights)], [0.048, 0.952])

        def test_phrases_take_known_words_then_usual_readings(self):
            weights = {"你": {"nei5": 100.0}, "好": {"hou3": 100.0, "hou2": 100.0},
                       "人": {"jan4": 100.0}}
            usage = collections.Counter({("好", "hou2"): 9, ("好", "hou3"): 1})
            self.assertEqual(derive_reading("你好人", {}, weights, usage), ["nei5", "hou2", "jan4"])
            self.assertEqual(derive_reading("你好人", {"好人": [["hou3", "jan4"]]}, weights, usage),
                             ["nei5", "hou3", "jan4"])
            self.assertIsNone(derive_reading("你𠀀", {}, weights, usage))

    class HongKongForms(unittest.TestCase):
        big5 = {"爲": 0x8000, "為": 0xACB0, "麪": 0x91AF, "麵": 0xC4D1, "裏": 0xF9D8,
                "裡": 0xB8CC, "污": 0xA6C3, "汙": 0xA6BE, "說": 0xBBA1, "温": 0x8DE0,
                "溫": 0xB7C5, "包": 0xA55D}

        def test_which_form_hong_kong_writes(self):
            big5 = dict(self.big5)
            del big5["爲"]
            forms = hong_kong_forms({"爲": ["為"], "說": ["説"], "溫": ["温"], "只": ["只", "衹"]},
                                    {"爲": ["為"], "麪": ["麵"], "裏": ["裡"], "污": ["汙"]}, big5)
            # 説 is not in Big5-HKSCS; 污 is already in Big5's frequent set.
            self.assertEqual(forms, {"爲": "為", "溫": "温", "麪": "麵", "裏": "裡"})

        def test_the_other_form_stays_after_it(self):
            entry = Entry()
            entry.add("min6 baau1", 100.0, 1.0)
            entry.listed = True
            summary = Summary()
            converted = to_hong_kong({"麪包": entry, "爲x": entry}, {"麪": "麵", "爲": "為"},
                                     self.big5, summary, "word")
            self.assertEqual(converted["麵包"].readings["min6 baau1"][0], 100.0)
            self.assertEqual(converted["麪包"].readings["min6 baau1"][0], 100.0 * KEPT_FORM_SHARE)
            self.assertTrue(converted["麪包"].listed)
            self.assertNotIn("為x", converted)
            self.assertEqual(summary.counts["word: a character not in Big5-HKSCS"], 1)

    class Examples(unittest.TestCase):
        def test_only_listed_decent_words_explain(self):
            listed, made = Entry(), Entry()
            listed.listed = True
            self.assertEqual(example_class("你哋", listed), 1)
            self.assertEqual(example_class("噉你", listed), 2)
            self.assertEqual(example_class("你講", made), 0)
            for vulgar in ("你老母", "仆街", "屌你"):
                self.assertEqual(example_class(vulgar, listed), 0, vulgar)

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
            for text, reading in (r[:2] for r in rows):
                syllables = reading.split(" ")
                self.assertIn(len(text), lengths, text)
                self.assertEqual(len(syllables), len(text), text)
                self.assertTrue(all(syllable_fits(s) for s in syllables), (text, reading))

        def test_chars_words_descriptions(self):
            self.check_readings(self.rows("chars.tsv", 3), (1,))
            words = self.rows("words.tsv", 4)
            self.check_readings(words, range(2, MAX_WORD_CHARS + 1))
            for word, _, _, example in words:
                self.assertIn(example, ("0", "1", "2"))
                if example != "0":
                    self.assertFalse(any(item in word for item in VULGAR), word)
            pattern = re.compile(r"^\(.部([一二三四五六七八九十零]+畫)?\)$")
            for char, text in self.rows("descriptions.tsv", 2):
                if char not in OUTSIDE_UNIHAN:
                    self.assertRegex(text, pattern, char)

        def test_hong_kong_forms_come_first(self):
            ranks = {(w, r): int(k) for w, r, k, _ in self.rows("words.tsv", 4)}
            self.assertLess(ranks["麵包", "min6 baau1"], ranks["麪包", "min6 baau1"])
            self.assertLess(ranks["因為", "jan1 wai6"], ranks["恩惠", "jan1 wai6"])
            self.assertLess(ranks["鍾意", "zung1 ji3"], ranks["中意", "zung1 ji3"])
            self.assertNotIn(("因爲", "jan1 wai6"), ranks)  # 爲 is not in Big5-HKSCS

    suite = unittest.TestSuite(unittest.defaultTestLoader.loadTestsFromTestCase(case) for case in (
        Syllables, Descriptions, Sources, Frequencies, HongKongForms, Examples, CommittedLexicon))
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
