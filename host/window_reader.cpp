// Reading a window's lines from the marks of what was drawn into it: text
// outputs joined by line, and braille cells rebuilt from their dots.
#include "host/window_reader.h"

#include "host/text.h"
#include "platform/posix/screen.h"

#include <algorithm>
#include <map>

namespace host {

namespace {

// A dot position: the centre of a raised dot's circle, or of the small
// mark of a dot that is not raised.
struct Dot {
    LONG x, y;
    bool raised;
    LONG diameter; // of a raised dot's circle
};

Dot dotOf(const posix::Mark &mark) {
    LONG size = mark.box.right - mark.box.left;
    if (mark.kind == posix::Mark::Ellipse)
        return {mark.box.left + size / 2, mark.box.top + size / 2, true, size};
    return {mark.box.left, mark.box.top, false, 0};
}

RECT unite(RECT a, const RECT &b) {
    if (a.right <= a.left)
        return b;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

std::vector<ShownLine> textLines(const std::vector<posix::Mark> &marks) {
    std::map<LONG, std::vector<const posix::Mark *>> byTop;
    for (const posix::Mark &mark : marks)
        if (mark.kind == posix::Mark::Text)
            byTop[mark.box.top].push_back(&mark);
    std::vector<ShownLine> lines;
    for (auto &[top, row] : byTop) {
        std::sort(row.begin(), row.end(), [](const posix::Mark *a, const posix::Mark *b) {
            return a->box.left < b->box.left;
        });
        ShownLine line{"", RECT{}, false};
        for (const posix::Mark *mark : row) {
            line.text += toUtf8(mark->text);
            line.box = unite(line.box, mark->box);
        }
        lines.push_back(line);
    }
    return lines;
}

// The distance between neighbouring dots of a cell: the smallest step down
// between dot positions of one column.
LONG pitchOf(const std::vector<Dot> &dots) {
    LONG pitch = 0;
    for (const Dot &a : dots)
        for (const Dot &b : dots)
            if (a.x == b.x && b.y > a.y && (pitch == 0 || b.y - a.y < pitch))
                pitch = b.y - a.y;
    return pitch;
}

// A cell's width: two thirds of the line height H, where the pitch is H / 4
// and a raised dot's diameter 2H / 9 - 1; of the heights that fit, the one
// that puts every cell on the grid of the first.
LONG cellWidthOf(LONG pitch, LONG diameter, const std::vector<LONG> &lefts) {
    LONG fallback = 0;
    for (LONG height = 4 * pitch; height < 4 * pitch + 4; height++) {
        if (diameter != 0 && 2 * height / 9 - 1 != diameter)
            continue;
        LONG width = 2 * height / 3;
        if (fallback == 0)
            fallback = width;
        bool fits = width > 0 && std::all_of(lefts.begin(), lefts.end(), [&](LONG left) {
                        return (left - lefts.front()) % width == 0;
                    });
        if (fits)
            return width;
    }
    return fallback != 0 ? fallback : std::max<LONG>(1, 8 * pitch / 3);
}

void appendBraille(std::string &text, int dots) {
    char32_t point = 0x2800 + char32_t(dots);
    text += char(0xE0 | (point >> 12));
    text += char(0x80 | ((point >> 6) & 0x3F));
    text += char(0x80 | (point & 0x3F));
}

// One line of cells: the dots of each pair of columns, with a blank cell
// for each cell's width between them.
struct CellLine {
    std::vector<Dot> dots;
    RECT box{};
};

std::vector<CellLine> cellLines(const std::vector<posix::Mark> &marks, LONG pitch) {
    std::vector<std::pair<Dot, RECT>> dots;
    for (const posix::Mark &mark : marks)
        if (mark.kind != posix::Mark::Text)
            dots.push_back({dotOf(mark), mark.box});
    std::sort(dots.begin(), dots.end(),
              [](const auto &a, const auto &b) { return a.first.y < b.first.y; });
    std::vector<CellLine> lines;
    for (const auto &[dot, box] : dots) {
        if (lines.empty() || dot.y - lines.back().dots.front().y > 3 * pitch)
            lines.emplace_back();
        lines.back().dots.push_back(dot);
        lines.back().box = unite(lines.back().box, box);
    }
    return lines;
}

// The lefts of the cells of a line: the first column of each pair.
std::vector<LONG> cellLefts(const std::vector<Dot> &dots, LONG pitch) {
    std::vector<LONG> xs;
    for (const Dot &dot : dots)
        xs.push_back(dot.x);
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    std::vector<LONG> lefts;
    for (size_t i = 0; i < xs.size(); i++) {
        lefts.push_back(xs[i]);
        if (i + 1 < xs.size() && xs[i + 1] - xs[i] == pitch)
            i++;
    }
    return lefts;
}

std::vector<ShownLine> brailleLines(const std::vector<posix::Mark> &marks) {
    std::vector<Dot> all;
    for (const posix::Mark &mark : marks)
        if (mark.kind != posix::Mark::Text)
            all.push_back(dotOf(mark));
    LONG pitch = pitchOf(all);
    if (pitch <= 0)
        return {};
    LONG diameter = 0;
    for (const Dot &dot : all)
        diameter = std::max(diameter, dot.diameter);
    std::vector<CellLine> lines = cellLines(marks, pitch);
    // Every line starts at the same place: the leftmost cell of all.
    LONG start = 0;
    bool first = true;
    std::vector<std::vector<LONG>> lefts;
    for (const CellLine &line : lines) {
        lefts.push_back(cellLefts(line.dots, pitch));
        start = first ? lefts.back().front() : std::min(start, lefts.back().front());
        first = false;
    }
    std::vector<ShownLine> shown;
    for (size_t l = 0; l < lines.size(); l++) {
        std::vector<LONG> grid = lefts[l];
        grid.insert(grid.begin(), start);
        LONG width = cellWidthOf(pitch, diameter, grid);
        LONG top = lines[l].dots.front().y;
        std::map<LONG, int> cells; // by cell number from the start
        for (const Dot &dot : lines[l].dots) {
            auto left = std::upper_bound(lefts[l].begin(), lefts[l].end(), dot.x) - 1;
            LONG column = dot.x == *left ? 0 : 1, row = (top == dot.y) ? 0 : (dot.y - top) / pitch;
            static const int bits[2][4] = {{0x01, 0x02, 0x04, 0x40}, {0x08, 0x10, 0x20, 0x80}};
            int &cell = cells[(*left - start + width / 2) / width];
            if (dot.raised && row >= 0 && row < 4)
                cell |= bits[column][row];
        }
        ShownLine line{"", lines[l].box, true};
        LONG next = 0;
        for (const auto &[number, dots] : cells) {
            for (; next < number; next++)
                appendBraille(line.text, 0);
            appendBraille(line.text, dots);
            next = number + 1;
        }
        shown.push_back(line);
    }
    return shown;
}

} // namespace

std::vector<ShownLine> readWindow(HWND window) {
    if (window == nullptr || !IsWindowVisible(window))
        return {};
    posix::Surface surface = posix::snapshotWindow(window);
    std::vector<ShownLine> lines = textLines(surface.marks);
    std::vector<ShownLine> cells = brailleLines(surface.marks);
    lines.insert(lines.end(), cells.begin(), cells.end());
    std::sort(lines.begin(), lines.end(),
              [](const ShownLine &a, const ShownLine &b) { return a.box.top < b.box.top; });
    return lines;
}

} // namespace host
