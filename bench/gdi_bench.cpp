// Drawing a line of a candidate page in the composition window's bold
// Chinese font at 24 and 48 points: the first paint after the font is made
// (its face opened and every glyph rendered) and the paints after it,
// which only copy glyphs from the cache.
#include <benchmark/benchmark.h>

#include "platform/platform.h"
#include "platform/posix/gdi_faces.h"
#include "platform/posix/surface.h"

#include <string>

namespace {

const std::u16string kLine = u"1.詩 2.思 3.師 4.絲 5.司 6.私 7.施 8.斯 9.撕";

HFONT boldFont(int points) {
    return CreateFontW(MulDiv(-points, 96, 72), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                       CHINESEBIG5_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, nullptr);
}

struct Window {
    Window() {
        surface.resize(1400, 80, RGB(223, 223, 223));
        dc = posix::openSurfaceDC(&surface, POINT{0, 0}, RECT{0, 0, 1400, 80});
        background = CreateSolidBrush(RGB(223, 223, 223));
        SetBkMode(dc, TRANSPARENT);
        SetTextAlign(dc, TA_UPDATECP);
    }
    ~Window() {
        posix::closeSurfaceDC(dc);
        DeleteObject(background);
    }

    // What the composition window does for a line: clear, measure, draw.
    void paint(HFONT font) {
        HGDIOBJ old = SelectObject(dc, font);
        RECT all{0, 0, surface.width, surface.height};
        FillRect(dc, &all, background);
        SIZE size{};
        GetTextExtentPoint32W(dc, kLine.c_str(), int(kLine.size()), &size);
        MoveToEx(dc, 4, 4, nullptr);
        TextOutW(dc, 0, 0, kLine.c_str(), int(kLine.size()));
        SelectObject(dc, old);
        benchmark::DoNotOptimize(size);
    }

    posix::Surface surface;
    HDC dc;
    HBRUSH background;
};

// Once per process: fontconfig reads its configuration and font list.
void BM_ProcessFirstPaint(benchmark::State &state) {
    Window window;
    for (auto _ : state) {
        HFONT font = boldFont(int(state.range(0)));
        window.paint(font);
        DeleteObject(font);
    }
}
BENCHMARK(BM_ProcessFirstPaint)->Arg(24)->Iterations(1)->Unit(benchmark::kMillisecond);

// A font made afresh (a new size in the option menu): the face opened and
// the line's glyphs rendered.
void BM_FirstPaint(benchmark::State &state) {
    Window window;
    for (auto _ : state) {
        posix::forgetFaces();
        HFONT font = boldFont(int(state.range(0)));
        window.paint(font);
        DeleteObject(font);
    }
}
BENCHMARK(BM_FirstPaint)->Arg(24)->Arg(48)->Unit(benchmark::kMillisecond);

// Every later repaint with the same font.
void BM_LaterPaint(benchmark::State &state) {
    Window window;
    HFONT font = boldFont(int(state.range(0)));
    window.paint(font);
    for (auto _ : state)
        window.paint(font);
    DeleteObject(font);
}
BENCHMARK(BM_LaterPaint)->Arg(24)->Arg(48)->Unit(benchmark::kMicrosecond);

} // namespace
