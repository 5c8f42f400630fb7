// OverlayProjection: the overlay's projection from the drawable's size.
#include "render/OverlayProjection.h"

#include "shell/XWindow.h"

#include <GL/gl.h> // glOrtho, glMatrixMode, glLoadIdentity

namespace {

const double kOverlayHeight = 600.0;

double HalfWidth()
{
    const XPoint size = GetWindow()->GetDrawableSize();
    return size.y > 0 ? kOverlayHeight / 2.0 * size.x / size.y : kOverlayHeight / 2.0;
}

} // namespace

void SetOverlayProjection()
{
    const double halfHeight = kOverlayHeight / 2.0;
    const double halfWidth = HalfWidth();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-halfWidth, halfWidth, -halfHeight, halfHeight, -100.0, 100.0);
    glMatrixMode(GL_MODELVIEW);
}

void LoadOverlayProjection()
{
    SetOverlayProjection();
    glLoadIdentity();
}

float OverlayLeft()
{
    return static_cast<float>(-HalfWidth());
}

float OverlayPixelSize()
{
    const XPoint size = GetWindow()->GetDrawableSize();
    return size.y > 0 ? static_cast<float>(size.y / kOverlayHeight) : 1.0f;
}

XPoint WindowPointToOverlay(XPoint point)
{
    const XPoint window = GetWindow()->GetSize();
    if (window.y <= 0 || window.y == static_cast<int32_t>(kOverlayHeight)) {
        return point;
    }
    const double scale = kOverlayHeight / window.y;
    return {static_cast<int32_t>(point.x * scale), static_cast<int32_t>(point.y * scale)};
}
