// The metafile drawing surface; see MetafileCanvas.h. Shapes are built as
// paths in logical units and drawn through the full transform (world, then
// page, then frame to image), aliased as the records' author saw them; text
// and bitmaps are placed by that transform but keep their own pixel grid.
#include "platform/MetafileCanvas.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace platform {
namespace {

constexpr std::uint32_t kPenStyleMask = 0x000F;
constexpr std::uint32_t kPenCapMask = 0x0F00;
constexpr std::uint32_t kPenJoinMask = 0xF000;
constexpr std::uint32_t kBrushSolid = 0;
constexpr std::uint32_t kBrushNull = 1;
constexpr std::uint32_t kBrushHatched = 2;

// A transform whose factors leave this range draws nothing: it has come from
// extents that mean nothing, and its coordinates would overflow the painter's.
constexpr double kMaxTransformFactor = 1e7;
// Dashed paths larger than this many times the picture are drawn solid.
constexpr double kMaxDashedReach = 16;
// Text placed further than this many pixels from the picture cannot reach it
// (the widest line is kMaxTextCharacters letters of kMaxFontPixels).
constexpr double kFarOff = 1e7;
// Fonts whose height is left to us.
constexpr double kDefaultFontPixels = 12;
// A positive font height is the whole line; the letters take about this part.
constexpr double kLetterPartOfLine = 0.87;

Qt::PenStyle LineStyle(std::uint32_t style) {
    switch (style & kPenStyleMask) {
    case 1:
        return Qt::DashLine;
    case 2:
    case 8: // every other pixel
        return Qt::DotLine;
    case 3:
        return Qt::DashDotLine;
    case 4:
        return Qt::DashDotDotLine;
    case 5:
        return Qt::NoPen;
    case 7: // a pattern of the file's own; drawn dashed
        return Qt::DashLine;
    default: // solid, inside the frame
        return Qt::SolidLine;
    }
}

Qt::BrushStyle HatchStyle(std::uint32_t hatch) {
    switch (hatch) {
    case 0:
        return Qt::HorPattern;
    case 1:
        return Qt::VerPattern;
    case 2:
        return Qt::FDiagPattern;
    case 3:
        return Qt::BDiagPattern;
    case 4:
        return Qt::CrossPattern;
    default:
        return Qt::DiagCrossPattern;
    }
}

double AxisScale(double a, double b) {
    return std::sqrt(a * a + b * b);
}

} // namespace

MetafileCanvas::MetafileCanvas(QSize size, QRectF frame, QSizeF pixelsPerMillimetre,
                               std::size_t objectCapacity)
    : image_(size, QImage::Format_RGB32), pixelsPerMillimetre_(pixelsPerMillimetre),
      objects_(objectCapacity) {
    // The paper the picture is drawn on.
    image_.fill(Qt::white);
    frame = frame.normalized();
    const double sx = size.width() / frame.width();
    const double sy = size.height() / frame.height();
    frameToImage_ = QTransform(sx, 0, 0, sy, -frame.left() * sx, -frame.top() * sy);
    painter_.begin(&image_);
}

// ---- Transforms and state --------------------------------------------------

QTransform MetafileCanvas::FullTransform() const {
    return dc_.world * dc_.PageTransform(pixelsPerMillimetre_) * frameToImage_;
}

bool MetafileCanvas::Usable(const QTransform& full) const {
    const double factors[] = {full.m11(), full.m12(), full.m21(), full.m22(), full.dx(), full.dy()};
    for (double factor : factors)
        if (!std::isfinite(factor) || std::abs(factor) > kMaxTransformFactor)
            return false;
    const double determinant = full.determinant();
    return std::isfinite(determinant) && determinant != 0;
}

void MetafileCanvas::SaveState() {
    if (saved_.size() < kMaxSavedStates)
        saved_.push_back(dc_);
}

void MetafileCanvas::RestoreState(int which) {
    const long long size = static_cast<long long>(saved_.size());
    const long long index = which < 0 ? size + which : static_cast<long long>(which) - 1;
    if (which == 0 || index < 0 || index >= size)
        return;
    dc_ = saved_[static_cast<std::size_t>(index)];
    saved_.resize(static_cast<std::size_t>(index));
}

void MetafileCanvas::Select(const MetafileObject& object) {
    if (const auto* pen = std::get_if<MetafilePen>(&object))
        dc_.pen = *pen;
    else if (const auto* brush = std::get_if<MetafileBrush>(&object))
        dc_.brush = *brush;
    else if (const auto* font = std::get_if<MetafileFont>(&object))
        dc_.font = *font;
}

void MetafileCanvas::SetWindowExtent(QSizeF extent) {
    if (extent.width() != 0 && extent.height() != 0)
        dc_.windowExtent = extent;
}

void MetafileCanvas::SetViewportExtent(QSizeF extent) {
    if (extent.width() != 0 && extent.height() != 0)
        dc_.viewportExtent = extent;
}

void MetafileCanvas::ScaleExtent(bool window, double xNumerator, double xDenominator,
                                 double yNumerator, double yDenominator) {
    if (xDenominator == 0 || yDenominator == 0)
        return;
    const QSizeF old = window ? dc_.windowExtent : dc_.viewportExtent;
    const QSizeF scaled(old.width() * xNumerator / xDenominator,
                        old.height() * yNumerator / yDenominator);
    if (window)
        SetWindowExtent(scaled);
    else
        SetViewportExtent(scaled);
}

void MetafileCanvas::SetWorldTransform(const QTransform& world) {
    const double factors[] = {world.m11(), world.m12(), world.m21(),
                              world.m22(), world.dx(),  world.dy()};
    for (double factor : factors)
        if (!std::isfinite(factor))
            return;
    dc_.world = world;
}

// ---- Clipping --------------------------------------------------------------

namespace {

// Image pixels a logical rectangle covers, its right and bottom edges
// outside; what lies beyond the image's edges is cut off, so that the
// numbers stay small.
QRect DeviceRect(const QTransform& full, QRectF logical, QRect image) {
    const QRectF mapped =
        full.mapRect(logical.normalized()).intersected(QRectF(image).adjusted(-1, -1, 1, 1));
    if (mapped.isEmpty())
        return {};
    const QPoint topLeft(static_cast<int>(std::lround(mapped.left())),
                         static_cast<int>(std::lround(mapped.top())));
    const QPoint bottomRight(static_cast<int>(std::lround(mapped.right())) - 1,
                             static_cast<int>(std::lround(mapped.bottom())) - 1);
    return QRect(topLeft, bottomRight);
}

} // namespace

void MetafileCanvas::IntersectClip(QRectF logical) {
    const QTransform full = FullTransform();
    if (!Usable(full))
        return;
    const QRegion rect(DeviceRect(full, logical, image_.rect()));
    dc_.clip = dc_.clip ? *dc_.clip & rect : rect;
}

void MetafileCanvas::ExcludeClip(QRectF logical) {
    const QTransform full = FullTransform();
    if (!Usable(full))
        return;
    const QRegion base = dc_.clip ? *dc_.clip : QRegion(image_.rect());
    if (base.rectCount() > kMaxClipRectangles)
        return;
    dc_.clip = base - QRegion(DeviceRect(full, logical, image_.rect()));
}

void MetafileCanvas::ResetClip() {
    dc_.clip.reset();
}

void MetafileCanvas::OffsetClip(QPointF logical) {
    const QTransform full = FullTransform();
    if (!dc_.clip || !Usable(full))
        return;
    // A clip moved further than the picture is wide is off it anyway.
    const double limit = 2.0 * (image_.width() + image_.height());
    const QPointF offset = full.map(logical) - full.map(QPointF(0, 0));
    dc_.clip->translate(static_cast<int>(std::lround(std::clamp(offset.x(), -limit, limit))),
                        static_cast<int>(std::lround(std::clamp(offset.y(), -limit, limit))));
}

void MetafileCanvas::ApplyClip() {
    painter_.resetTransform();
    if (dc_.clip)
        painter_.setClipRegion(*dc_.clip);
    else
        painter_.setClipping(false);
}

// ---- Pens and brushes ------------------------------------------------------

QPen MetafileCanvas::MakePen(const QTransform& full) const {
    const MetafilePen& pen = dc_.pen;
    const Qt::PenStyle style = LineStyle(pen.style);
    if (style == Qt::NoPen)
        return Qt::NoPen;
    QPen result(pen.color);
    result.setStyle(style);
    const double scale = std::sqrt(std::abs(full.determinant()));
    const double pixels = std::abs(pen.width) * scale;
    // Thinner than a pixel is one pixel; wider than the picture fills it anyway.
    const double widest = 2.0 * (image_.width() + image_.height());
    const double width = std::min(pixels, widest) / scale;
    if (pixels < 1.5 || !std::isfinite(width))
        result.setWidth(0);
    else
        result.setWidthF(width);
    switch (pen.style & kPenCapMask) {
    case 0x0100:
        result.setCapStyle(Qt::SquareCap);
        break;
    case 0x0200:
        result.setCapStyle(Qt::FlatCap);
        break;
    default:
        result.setCapStyle(Qt::RoundCap);
        break;
    }
    switch (pen.style & kPenJoinMask) {
    case 0x1000:
        result.setJoinStyle(Qt::BevelJoin);
        break;
    case 0x2000:
        result.setJoinStyle(Qt::MiterJoin);
        break;
    default:
        result.setJoinStyle(Qt::RoundJoin);
        break;
    }
    return result;
}

QBrush MetafileCanvas::MakeBrush(const QTransform& full) const {
    const MetafileBrush& brush = dc_.brush;
    switch (brush.style) {
    case kBrushSolid:
        return QBrush(brush.color);
    case kBrushNull:
        return Qt::NoBrush;
    case kBrushHatched:
        return QBrush(brush.color, HatchStyle(brush.hatch));
    default:
        if (brush.pattern.isNull())
            return QBrush(brush.color);
        // Patterns lie on the image's pixel grid, whatever the mapping.
        QBrush pattern(brush.pattern);
        pattern.setTransform(full.inverted());
        return pattern;
    }
}

// ---- Shapes ----------------------------------------------------------------

void MetafileCanvas::StrokeAndFill(const QPainterPath& path, bool stroke, bool fill) {
    const QTransform full = FullTransform();
    if (!Usable(full))
        return;
    ApplyClip();
    painter_.setWorldTransform(full);
    QPainterPath shape = path;
    shape.setFillRule(dc_.fillRule);
    painter_.setBackgroundMode(dc_.opaqueBackground ? Qt::OpaqueMode : Qt::TransparentMode);
    painter_.setBackground(dc_.backgroundColor);
    QPen pen = stroke ? MakePen(full) : QPen(Qt::NoPen);
    if (pen.style() != Qt::SolidLine && pen.style() != Qt::NoPen) {
        // Dashes cost time each, and along a path far larger than the
        // picture nearly all of them are off it: such a path is drawn solid.
        const QRectF reach = full.mapRect(shape.controlPointRect());
        if (reach.width() + reach.height() > kMaxDashedReach * (image_.width() + image_.height()))
            pen.setStyle(Qt::SolidLine);
    }
    painter_.setPen(pen);
    painter_.setBrush(fill ? MakeBrush(full) : QBrush(Qt::NoBrush));
    painter_.drawPath(shape);
}

void MetafileCanvas::Emit(const QPainterPath& path, bool closed) {
    if (recording_)
        recording_->addPath(path);
    else
        StrokeAndFill(path, true, closed);
}

void MetafileCanvas::ContinueFigure(QPainterPath& path) const {
    if (path.elementCount() == 0 || path.currentPosition() != dc_.position)
        path.moveTo(dc_.position);
}

void MetafileCanvas::MoveTo(QPointF to) {
    dc_.position = to;
    if (recording_)
        recording_->moveTo(to);
}

void MetafileCanvas::LineTo(QPointF to) {
    QPolygonF line;
    line << to;
    PolylineTo(line);
}

void MetafileCanvas::PolylineTo(const QPolygonF& points) {
    if (points.isEmpty())
        return;
    QPainterPath local;
    QPainterPath& path = recording_ ? *recording_ : local;
    ContinueFigure(path);
    for (const QPointF& point : points)
        path.lineTo(point);
    dc_.position = points.back();
    if (!recording_)
        StrokeAndFill(path, true, false);
}

void MetafileCanvas::Polyline(const QPolygonF& points) {
    if (points.size() < 2)
        return;
    QPainterPath path(points.front());
    for (qsizetype i = 1; i < points.size(); ++i)
        path.lineTo(points[i]);
    Emit(path, false);
}

void MetafileCanvas::PolyPolyline(const std::vector<QPolygonF>& lines) {
    QPainterPath path;
    for (const QPolygonF& points : lines) {
        if (points.size() < 2)
            continue;
        path.moveTo(points.front());
        for (qsizetype i = 1; i < points.size(); ++i)
            path.lineTo(points[i]);
    }
    Emit(path, false);
}

void MetafileCanvas::PolyBezier(const QPolygonF& points) {
    if (points.size() < 4)
        return;
    QPainterPath path(points.front());
    for (qsizetype i = 1; i + 2 < points.size(); i += 3)
        path.cubicTo(points[i], points[i + 1], points[i + 2]);
    Emit(path, false);
}

void MetafileCanvas::PolyBezierTo(const QPolygonF& points) {
    if (points.size() < 3)
        return;
    QPainterPath local;
    QPainterPath& path = recording_ ? *recording_ : local;
    ContinueFigure(path);
    qsizetype i = 0;
    for (; i + 2 < points.size(); i += 3)
        path.cubicTo(points[i], points[i + 1], points[i + 2]);
    dc_.position = points[i - 1];
    if (!recording_)
        StrokeAndFill(path, true, false);
}

void MetafileCanvas::Polygon(const QPolygonF& points) {
    PolyPolygon({points});
}

void MetafileCanvas::PolyPolygon(const std::vector<QPolygonF>& polygons) {
    QPainterPath path;
    for (const QPolygonF& points : polygons) {
        if (points.size() < 2)
            continue;
        path.addPolygon(points);
        path.closeSubpath();
    }
    Emit(path, true);
}

void MetafileCanvas::Rectangle(QRectF box) {
    QPainterPath path;
    path.addRect(box.normalized());
    Emit(path, true);
}

void MetafileCanvas::RoundRectangle(QRectF box, QSizeF corner) {
    box = box.normalized();
    const double rx = std::min(std::abs(corner.width()) / 2, box.width() / 2);
    const double ry = std::min(std::abs(corner.height()) / 2, box.height() / 2);
    QPainterPath path;
    path.addRoundedRect(box, rx, ry);
    Emit(path, true);
}

void MetafileCanvas::Ellipse(QRectF box) {
    QPainterPath path;
    path.addEllipse(box.normalized());
    Emit(path, true);
}

// The arc of the ellipse in box from the ray through start to the ray through
// end, in the direction the device context asks for as seen on the picture.
// Angles are the painter's (degrees, counter-clockwise, y pointing down);
// the ellipse is a scaled circle, so each ray's angle is taken on the circle.
QPainterPath MetafileCanvas::ArcPath(QRectF box, QPointF start, QPointF end, double* startAngle,
                                     double* sweep) const {
    box = box.normalized();
    const QPointF center = box.center();
    const double rx = box.width() / 2;
    const double ry = box.height() / 2;
    auto angle = [&](QPointF point) {
        return std::atan2(-(point.y() - center.y()) / ry, (point.x() - center.x()) / rx) * 180 /
               std::numbers::pi;
    };
    *startAngle = angle(start);
    double turn = angle(end) - *startAngle;
    // A mapping that mirrors the picture turns the logical direction round.
    const bool counterClockwise = (FullTransform().determinant() > 0) != dc_.clockwiseArcs;
    if (counterClockwise)
        while (turn <= 0)
            turn += 360;
    else
        while (turn >= 0)
            turn -= 360;
    *sweep = turn;
    QPainterPath path;
    path.arcMoveTo(box, *startAngle);
    return path;
}

void MetafileCanvas::ArcShape(ArcKind kind, QRectF box, QPointF start, QPointF end) {
    if (box.width() == 0 || box.height() == 0)
        return;
    double startAngle = 0;
    double sweep = 0;
    QPainterPath path = ArcPath(box, start, end, &startAngle, &sweep);
    box = box.normalized();
    if (kind == ArcKind::Pie) {
        path = QPainterPath(box.center());
        path.arcTo(box, startAngle, sweep);
    } else {
        path.arcTo(box, startAngle, sweep);
    }
    if (kind != ArcKind::Arc)
        path.closeSubpath();
    Emit(path, kind != ArcKind::Arc);
}

void MetafileCanvas::ArcTo(QRectF box, QPointF start, QPointF end) {
    if (box.width() == 0 || box.height() == 0)
        return;
    double startAngle = 0;
    double sweep = 0;
    ArcPath(box, start, end, &startAngle, &sweep);
    QPainterPath local;
    QPainterPath& path = recording_ ? *recording_ : local;
    ContinueFigure(path);
    path.arcTo(box.normalized(), startAngle, sweep); // a line to the arc's start first
    dc_.position = path.currentPosition();
    if (!recording_)
        StrokeAndFill(path, true, false);
}

void MetafileCanvas::AngleArc(QPointF center, double radius, double startDegrees,
                              double sweepDegrees) {
    if (!std::isfinite(startDegrees) || !std::isfinite(sweepDegrees) || radius <= 0)
        return;
    // Angles count counter-clockwise as seen on the picture.
    const double direction = FullTransform().determinant() > 0 ? 1 : -1;
    const QRectF box(center.x() - radius, center.y() - radius, 2 * radius, 2 * radius);
    QPainterPath local;
    QPainterPath& path = recording_ ? *recording_ : local;
    ContinueFigure(path);
    path.arcTo(box, std::fmod(startDegrees, 360) * direction,
               std::clamp(sweepDegrees, -360.0, 360.0) * direction);
    dc_.position = path.currentPosition();
    if (!recording_)
        StrokeAndFill(path, true, false);
}

// ---- Paths -----------------------------------------------------------------

void MetafileCanvas::BeginPath() {
    recording_.emplace();
}

void MetafileCanvas::EndPath() {
    if (!recording_)
        return;
    path_ = *recording_;
    recording_.reset();
}

void MetafileCanvas::CloseFigure() {
    if (recording_)
        recording_->closeSubpath();
}

void MetafileCanvas::AbortPath() {
    recording_.reset();
    path_ = QPainterPath();
}

void MetafileCanvas::FillPath() {
    StrokeAndFill(path_, false, true);
    path_ = QPainterPath();
}

void MetafileCanvas::StrokePath() {
    StrokeAndFill(path_, true, false);
    path_ = QPainterPath();
}

void MetafileCanvas::StrokeAndFillPath() {
    StrokeAndFill(path_, true, true);
    path_ = QPainterPath();
}

void MetafileCanvas::ClipToPath() {
    const QTransform full = FullTransform();
    if (!Usable(full))
        return;
    // Only the part on the picture counts; far-off points would also strain
    // the region's scan conversion.
    QPainterPath picture;
    picture.addRect(QRectF(image_.rect()).adjusted(-1, -1, 1, 1));
    QPainterPath shape = full.map(path_);
    shape.setFillRule(dc_.fillRule);
    const QRegion region(shape.intersected(picture).toFillPolygon().toPolygon(), dc_.fillRule);
    dc_.clip = dc_.clip ? *dc_.clip & region : region;
    path_ = QPainterPath();
}

// ---- Pixels, text and bitmaps ----------------------------------------------

void MetafileCanvas::SetPixel(QPointF at, QColor color) {
    const QTransform full = FullTransform();
    if (!Usable(full))
        return;
    const QPointF point = full.map(at);
    ApplyClip();
    painter_.fillRect(QRectF(std::floor(point.x()), std::floor(point.y()), 1, 1), color);
}

void MetafileCanvas::Text(QPointF at, const QString& text, std::uint32_t options,
                          std::optional<QRectF> rectangle, const std::vector<double>& advances) {
    // Fonts need the application's font database.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        return;
    const QTransform full = FullTransform();
    if (!Usable(full))
        return;
    ApplyClip();
    if (rectangle && (options & kTextOpaque)) {
        painter_.setWorldTransform(full);
        painter_.fillRect(rectangle->normalized(), dc_.backgroundColor);
    }
    if (rectangle && (options & kTextClipped)) {
        painter_.setWorldTransform(full);
        painter_.setClipRect(rectangle->normalized(), Qt::IntersectClip);
    }
    const QString shown = text.left(kMaxTextCharacters);
    if (shown.isEmpty())
        return;
    const bool fromPosition = dc_.textAlign & kAlignUpdatePosition;
    if (fromPosition)
        at = dc_.position;

    const MetafileFont& style = dc_.font;
    const double xScale = AxisScale(full.m11(), full.m12());
    const double yScale = AxisScale(full.m21(), full.m22());
    double pixels = style.height == 0   ? kDefaultFontPixels
                    : style.height < 0  ? -style.height * yScale
                                        : style.height * yScale * kLetterPartOfLine;
    QFont font;
    if (!style.face.isEmpty())
        font.setFamily(style.face);
    font.setPixelSize(static_cast<int>(std::lround(std::clamp(pixels, 1.0, kMaxFontPixels))));
    font.setWeight(static_cast<QFont::Weight>(style.weight == 0 ? 400 : std::clamp(style.weight, 100, 900)));
    font.setItalic(style.italic);
    font.setUnderline(style.underline);
    font.setStrikeOut(style.strikeOut);
    const QFontMetricsF metrics(font);

    const bool ownAdvances = advances.size() >= static_cast<std::size_t>(shown.size());
    double width = 0;
    if (ownAdvances)
        for (qsizetype i = 0; i < shown.size(); ++i)
            width += advances[static_cast<std::size_t>(i)] * xScale;
    else
        width = metrics.horizontalAdvance(shown);
    double x = 0;
    if ((dc_.textAlign & kAlignCenter) == kAlignCenter)
        x = -width / 2;
    else if (dc_.textAlign & kAlignRight)
        x = -width;
    double baseline = metrics.ascent();
    if ((dc_.textAlign & kAlignBaseline) == kAlignBaseline)
        baseline = 0;
    else if (dc_.textAlign & kAlignBottom)
        baseline = -metrics.descent();

    // The text stands upright on the picture, turned by the font's angle only.
    const QPointF origin = full.map(at);
    if (std::abs(origin.x()) > kFarOff || std::abs(origin.y()) > kFarOff)
        return;
    QTransform place;
    place.translate(origin.x(), origin.y());
    place.rotate(-(style.escapement / 10.0));
    painter_.setWorldTransform(place);
    if (dc_.opaqueBackground)
        painter_.fillRect(QRectF(x, baseline - metrics.ascent(), width, metrics.height()),
                          dc_.backgroundColor);
    painter_.setFont(font);
    painter_.setPen(dc_.textColor);
    if (ownAdvances) {
        double along = x;
        for (qsizetype i = 0; i < shown.size(); ++i) {
            painter_.drawText(QPointF(along, baseline), shown.mid(i, 1));
            along += advances[static_cast<std::size_t>(i)] * xScale;
        }
    } else {
        painter_.drawText(QPointF(x, baseline), shown);
    }
    if (fromPosition && xScale > 0)
        dc_.position.rx() += width / xScale;
}

void MetafileCanvas::PatternFill(QRectF box, std::uint32_t rop) {
    const QTransform full = FullTransform();
    if (!Usable(full))
        return;
    ApplyClip();
    painter_.setWorldTransform(full);
    box = box.normalized();
    switch (rop) {
    case kRopBlackness:
        painter_.fillRect(box, Qt::black);
        break;
    case kRopWhiteness:
        painter_.fillRect(box, Qt::white);
        break;
    case kRopDestinationInvert:
        painter_.setCompositionMode(QPainter::RasterOp_NotDestination);
        painter_.fillRect(box, Qt::black);
        break;
    case kRopPatternInvert:
        painter_.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter_.fillRect(box, MakeBrush(full));
        break;
    default:
        if (dc_.brush.style != kBrushNull)
            painter_.fillRect(box, MakeBrush(full));
        break;
    }
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void MetafileCanvas::Bitmap(QRectF destination, const QImage& image, QRectF source,
                            std::uint32_t rop) {
    if (image.isNull() || source.width() == 0 || source.height() == 0 ||
        destination.width() == 0 || destination.height() == 0)
        return;
    const double sx = destination.width() / source.width();
    const double sy = destination.height() / source.height();
    const QTransform place(sx, 0, 0, sy, destination.left() - source.left() * sx,
                           destination.top() - source.top() * sy);
    const QTransform full = place * FullTransform();
    const QRect shown = source.normalized().toAlignedRect().intersected(image.rect());
    if (!Usable(full) || shown.isEmpty())
        return;
    const QRectF target = full.mapRect(QRectF(shown));
    // A bitmap drawn smaller than a pixel shows nothing; the painter's
    // scaling is not safe below that.
    if (target.width() < 1 || target.height() < 1)
        return;
    ApplyClip();
    switch (rop) {
    case kRopSourceAnd:
        painter_.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        break;
    case kRopSourcePaint:
        painter_.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
        break;
    case kRopSourceInvert:
        painter_.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        break;
    case kRopNotSourceCopy:
        painter_.setCompositionMode(QPainter::RasterOp_NotSource);
        break;
    default:
        break;
    }
    if (full.m12() == 0 && full.m21() == 0) {
        // Axis-aligned, as nearly always: a mirrored extent mirrors the
        // pixels, and the painter only ever scales up or down.
        const QImage part = image.copy(shown).mirrored(full.m11() < 0, full.m22() < 0);
        painter_.drawImage(target, part);
    } else {
        painter_.setWorldTransform(full);
        painter_.drawImage(QRectF(shown), image, QRectF(shown));
    }
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

QImage MetafileCanvas::Finish() {
    painter_.end();
    return std::move(image_);
}

} // namespace platform
