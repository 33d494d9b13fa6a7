// The drawing state a metafile's records change: the selected objects, the
// colours and modes, the current position, the clip, and the mapping from
// the records' logical units to the reference device. Saving the state is a
// copy of this struct.
#pragma once

#include "platform/MetafileObjects.h"

#include <QPointF>
#include <QRegion>
#include <QSizeF>
#include <QTransform>
#include <cstdint>
#include <optional>

namespace platform {

// The mapping modes: how a logical unit becomes reference-device pixels.
enum class MapMode : std::uint32_t {
    Text = 1,        // one unit, one pixel, y down
    LoMetric = 2,    // 0.1 mm, y up
    HiMetric = 3,    // 0.01 mm, y up
    LoEnglish = 4,   // 0.01 inch, y up
    HiEnglish = 5,   // 0.001 inch, y up
    Twips = 6,       // 1/1440 inch, y up
    Isotropic = 7,   // window to viewport, the same scale on both axes
    Anisotropic = 8, // window to viewport, each axis its own scale
};

// Text alignment bits.
inline constexpr std::uint32_t kAlignUpdatePosition = 0x0001;
inline constexpr std::uint32_t kAlignRight = 0x0002;
inline constexpr std::uint32_t kAlignCenter = 0x0006;
inline constexpr std::uint32_t kAlignBottom = 0x0008;
inline constexpr std::uint32_t kAlignBaseline = 0x0018;

struct DeviceContext {
    MetafilePen pen;           // the selected pen
    MetafileBrush brush;       // the selected brush
    MetafileFont font;         // the selected font
    QColor textColor = Qt::black;
    QColor backgroundColor = Qt::white; // behind text, hatches and dashes when opaque
    bool opaqueBackground = true;
    std::uint32_t textAlign = 0;        // the alignment bits above
    Qt::FillRule fillRule = Qt::OddEvenFill;
    bool clockwiseArcs = false;         // arcs run counter-clockwise unless set
    QPointF position;                   // the current position, logical units

    MapMode mapMode = MapMode::Text;
    QPointF windowOrigin;               // logical units
    QSizeF windowExtent{1, 1};          // logical units, isotropic and anisotropic modes
    QPointF viewportOrigin;             // device pixels
    QSizeF viewportExtent{1, 1};        // device pixels, isotropic and anisotropic modes
    QTransform world;                   // EMF's world transform, before the mapping
    std::optional<QRegion> clip;        // in output pixels; none is the whole picture

    // Logical units to reference-device pixels (world transform excluded);
    // pixelsPerMillimetre serves the metric and English modes.
    QTransform PageTransform(QSizeF pixelsPerMillimetre) const;
};

} // namespace platform
