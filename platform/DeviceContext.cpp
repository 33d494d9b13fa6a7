// The mapping modes; see DeviceContext.h.
#include "platform/DeviceContext.h"

#include <algorithm>
#include <cmath>

namespace platform {
namespace {

// Millimetres in one logical unit of each fixed mode.
double MillimetresPerUnit(MapMode mode) {
    switch (mode) {
    case MapMode::LoMetric:
        return 0.1;
    case MapMode::HiMetric:
        return 0.01;
    case MapMode::LoEnglish:
        return 0.254;
    case MapMode::HiEnglish:
        return 0.0254;
    case MapMode::Twips:
        return 25.4 / 1440;
    default:
        return 0;
    }
}

} // namespace

QTransform DeviceContext::PageTransform(QSizeF pixelsPerMillimetre) const {
    double sx = 1;
    double sy = 1;
    switch (mapMode) {
    case MapMode::Text:
        break;
    case MapMode::Isotropic:
    case MapMode::Anisotropic:
        sx = viewportExtent.width() / windowExtent.width();
        sy = viewportExtent.height() / windowExtent.height();
        if (mapMode == MapMode::Isotropic) {
            // Both axes take the smaller scale, each keeping its direction.
            const double scale = std::min(std::abs(sx), std::abs(sy));
            sx = std::copysign(scale, sx);
            sy = std::copysign(scale, sy);
        }
        break;
    default: {
        const double mm = MillimetresPerUnit(mapMode);
        sx = mm * pixelsPerMillimetre.width();
        sy = -mm * pixelsPerMillimetre.height(); // these modes count y upwards
        break;
    }
    }
    return QTransform(sx, 0, 0, sy, viewportOrigin.x() - windowOrigin.x() * sx,
                      viewportOrigin.y() - windowOrigin.y() * sy);
}

} // namespace platform
