// Filling areas of a device context with a brush.
#include "platform/posix/errors.h"
#include "platform/posix/gdi_raster.h"

int WINAPI FillRect(HDC dc, const RECT *rect, HBRUSH brushHandle) {
    auto context = posix::findDC(dc);
    auto brush = posix::findObjectAs<posix::Brush>(brushHandle);
    if (!context || !brush)
        return 0;
    if (!rect)
        return posix::failWith(ERROR_INVALID_PARAMETER);
    if (brush->paints()) {
        posix::fillRect(context->canvas(), *rect, brush->colour);
        posix::coverMarks(context->canvas(), *rect);
    }
    return 1;
}
