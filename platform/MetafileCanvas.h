// The drawing surface both metafile players draw on: a QImage of the size
// asked for, a QPainter on it, the device context and its saved copies, and
// the object table. The players turn records into the calls below, in the
// records' logical units; the canvas maps them through the device context to
// the reference device and from the picture's frame to the image.
#pragma once

#include "platform/DeviceContext.h"
#include "platform/MetafileObjects.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>
#include <cstdint>
#include <optional>
#include <vector>

namespace platform {

// Raster operations of the bitmap and pattern records that we honour; any
// other is drawn as a plain copy.
inline constexpr std::uint32_t kRopSourceCopy = 0x00CC0020;
inline constexpr std::uint32_t kRopSourceAnd = 0x008800C6;
inline constexpr std::uint32_t kRopSourcePaint = 0x00EE0086;
inline constexpr std::uint32_t kRopSourceInvert = 0x00660046;
inline constexpr std::uint32_t kRopNotSourceCopy = 0x00330008;
inline constexpr std::uint32_t kRopPatternCopy = 0x00F00021;
inline constexpr std::uint32_t kRopPatternInvert = 0x005A0049;
inline constexpr std::uint32_t kRopDestinationInvert = 0x00550009;
inline constexpr std::uint32_t kRopBlackness = 0x00000042;
inline constexpr std::uint32_t kRopWhiteness = 0x00FF0062;

// Options of the text records.
inline constexpr std::uint32_t kTextOpaque = 0x0002;  // fill the rectangle first
inline constexpr std::uint32_t kTextClipped = 0x0004; // clip the text to the rectangle

enum class ArcKind { Arc, Chord, Pie };

class MetafileCanvas {
public:
    // Saved states beyond this are not kept: a file that saves without
    // restoring would otherwise grow the stack with every record.
    static constexpr std::size_t kMaxSavedStates = 1024;
    // Clips of more rectangles than this take no further exclusions: each
    // one costs time in proportion to the rectangles already there.
    static constexpr int kMaxClipRectangles = 4096;
    // Characters of one text record beyond this are not drawn: no line in a
    // picture holds more, and shaping costs time with every character.
    static constexpr int kMaxTextCharacters = 4096;
    // Fonts are drawn at most this many pixels high, so one record cannot
    // ask for glyphs of any size.
    static constexpr double kMaxFontPixels = 2048;

    // size: the image; frame: the part of the reference device that fills
    // it; pixelsPerMillimetre: the reference device's resolution.
    MetafileCanvas(QSize size, QRectF frame, QSizeF pixelsPerMillimetre,
                   std::size_t objectCapacity);

    DeviceContext& dc() { return dc_; }
    ObjectTable& objects() { return objects_; }

    // ---- State ----
    void SaveState();
    // which < 0: that many states back; which > 0: the state saved as number which.
    void RestoreState(int which);
    void Select(const MetafileObject& object);
    void SetWindowExtent(QSizeF extent);   // a zero extent is ignored
    void SetViewportExtent(QSizeF extent); // a zero extent is ignored
    // The window's (or the viewport's) extent scaled by xNumerator/xDenominator
    // and yNumerator/yDenominator; a zero denominator changes nothing.
    void ScaleExtent(bool window, double xNumerator, double xDenominator, double yNumerator,
                     double yDenominator);
    void SetWorldTransform(const QTransform& world); // a non-finite one is ignored
    void IntersectClip(QRectF logical);
    void ExcludeClip(QRectF logical);
    void ResetClip();
    void OffsetClip(QPointF logical);

    // ---- Paths: between BeginPath and EndPath shapes are recorded, not drawn ----
    void BeginPath();
    void EndPath();
    void CloseFigure();
    void AbortPath();
    void FillPath();
    void StrokePath();
    void StrokeAndFillPath();
    void ClipToPath();

    // ---- Drawing, in logical units ----
    void MoveTo(QPointF to);
    void LineTo(QPointF to);
    void Polyline(const QPolygonF& points);
    void PolylineTo(const QPolygonF& points);
    void PolyBezier(const QPolygonF& points);
    void PolyBezierTo(const QPolygonF& points);
    void Polygon(const QPolygonF& points);
    void PolyPolygon(const std::vector<QPolygonF>& polygons);
    void PolyPolyline(const std::vector<QPolygonF>& lines);
    void Rectangle(QRectF box);
    void RoundRectangle(QRectF box, QSizeF corner);
    void Ellipse(QRectF box);
    void ArcShape(ArcKind kind, QRectF box, QPointF start, QPointF end);
    void ArcTo(QRectF box, QPointF start, QPointF end);
    void AngleArc(QPointF center, double radius, double startDegrees, double sweepDegrees);
    void SetPixel(QPointF at, QColor color);
    // options: kTextOpaque, kTextClipped for rectangle; advances (logical
    // units per character) replace the font's own when there is one for
    // every character.
    void Text(QPointF at, const QString& text, std::uint32_t options,
              std::optional<QRectF> rectangle, const std::vector<double>& advances);
    // Fills a rectangle by a raster operation without a source bitmap.
    void PatternFill(QRectF box, std::uint32_t rop);
    // Draws the source rectangle of image (pixels, top row first) into the
    // destination (logical units; a negative extent mirrors).
    void Bitmap(QRectF destination, const QImage& image, QRectF source, std::uint32_t rop);

    // The finished picture.
    QImage Finish();

private:
    QTransform FullTransform() const;
    bool Usable(const QTransform& full) const;
    void ApplyClip();
    QPen MakePen(const QTransform& full) const;
    QBrush MakeBrush(const QTransform& full) const;
    // Draws or records a shape; a closed shape is filled with the brush.
    void Emit(const QPainterPath& path, bool closed);
    void StrokeAndFill(const QPainterPath& path, bool stroke, bool fill);
    void ContinueFigure(QPainterPath& path) const;
    QPainterPath ArcPath(QRectF box, QPointF start, QPointF end, double* startAngle,
                         double* sweep) const;

    QImage image_;
    QPainter painter_;
    QTransform frameToImage_;    // reference-device pixels to image pixels
    QSizeF pixelsPerMillimetre_; // of the reference device
    DeviceContext dc_;
    std::vector<DeviceContext> saved_;
    ObjectTable objects_;
    std::optional<QPainterPath> recording_; // the path being recorded
    QPainterPath path_;                     // the last path ended, for fill and stroke
};

} // namespace platform
