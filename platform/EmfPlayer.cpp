// The EMF player: each record of an EMF turned into a call on the canvas.
// The picture's frame is the header's, in hundredths of a millimetre,
// converted to reference-device pixels by the header's device size. Offsets
// count from the start of each record.
#include "platform/Metafile.h"

#include "platform/MetafileCanvas.h"
#include "platform/MetafileSupport.h"
#include "platform/Text.h"

#include <cmath>
#include <string>

namespace platform {
namespace {

// Record types.
enum : std::uint32_t {
    kPolyBezier = 2,
    kPolygon = 3,
    kPolyline = 4,
    kPolyBezierTo = 5,
    kPolylineTo = 6,
    kPolyPolyline = 7,
    kPolyPolygon = 8,
    kSetWindowExtEx = 9,
    kSetWindowOrgEx = 10,
    kSetViewportExtEx = 11,
    kSetViewportOrgEx = 12,
    kSetPixelV = 15,
    kSetMapMode = 17,
    kSetBkMode = 18,
    kSetPolyFillMode = 19,
    kSetTextAlign = 22,
    kSetTextColor = 24,
    kSetBkColor = 25,
    kOffsetClipRgn = 26,
    kMoveToEx = 27,
    kExcludeClipRect = 29,
    kIntersectClipRect = 30,
    kScaleViewportExtEx = 31,
    kScaleWindowExtEx = 32,
    kSaveDc = 33,
    kRestoreDc = 34,
    kSetWorldTransform = 35,
    kModifyWorldTransform = 36,
    kSelectObject = 37,
    kCreatePen = 38,
    kCreateBrushIndirect = 39,
    kDeleteObject = 40,
    kAngleArc = 41,
    kEllipse = 42,
    kRectangle = 43,
    kRoundRect = 44,
    kArc = 45,
    kChord = 46,
    kPie = 47,
    kCreatePalette = 49,
    kLineTo = 54,
    kArcTo = 55,
    kSetArcDirection = 57,
    kBeginPath = 59,
    kEndPath = 60,
    kCloseFigure = 61,
    kFillPath = 62,
    kStrokeAndFillPath = 63,
    kStrokePath = 64,
    kSelectClipPath = 67,
    kAbortPath = 68,
    kExtSelectClipRgn = 75,
    kBitBlt = 76,
    kStretchBlt = 77,
    kSetDiBitsToDevice = 80,
    kStretchDiBits = 81,
    kExtCreateFontIndirectW = 82,
    kExtTextOutA = 83,
    kExtTextOutW = 84,
    kPolyBezier16 = 85,
    kPolygon16 = 86,
    kPolyline16 = 87,
    kPolyBezierTo16 = 88,
    kPolylineTo16 = 89,
    kPolyPolyline16 = 90,
    kPolyPolygon16 = 91,
    kCreateMonoBrush = 93,
    kCreateDibPatternBrushPt = 94,
    kExtCreatePen = 95,
};

constexpr std::uint32_t kStockObject = 0x80000000;
constexpr std::uint32_t kRegionCopy = 5;
constexpr std::uint32_t kPenNull = 5;
constexpr std::uint32_t kPenGeometric = 0x00010000;
constexpr std::uint32_t kBrushNullStyle = 1;
constexpr std::uint32_t kTextDxAndDy = 0x2000; // advances come in x and y pairs
// Face names are at most this many UTF-16 characters, the last one a zero.
constexpr std::size_t kFaceNameCharacters = 32;
// The reference device when the header gives none: a 96 dpi screen.
constexpr double kDefaultPixelsPerMillimetre = 96 / 25.4;

QPointF PointL(const RecordView& r, std::size_t at) {
    return QPointF(r.I32(at), r.I32(at + 4));
}

QRectF RectL(const RecordView& r, std::size_t at) {
    return QRectF(QPointF(r.I32(at), r.I32(at + 4)), QPointF(r.I32(at + 8), r.I32(at + 12)));
}

QTransform XForm(const RecordView& r, std::size_t at) {
    return QTransform(r.F32(at), r.F32(at + 4), r.F32(at + 8), r.F32(at + 12), r.F32(at + 16),
                      r.F32(at + 20));
}

// count points from at, of 32-bit coordinates or of 16-bit ones.
QPolygonF Points(const RecordView& r, std::size_t at, std::size_t count, bool small) {
    const std::size_t step = small ? 4 : 8;
    r.Bytes(at, count * step); // all of them inside the record
    QPolygonF points;
    points.reserve(static_cast<qsizetype>(count));
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t p = at + i * step;
        points << (small ? QPointF(r.I16(p), r.I16(p + 2)) : PointL(r, p));
    }
    return points;
}

QString Utf16(std::span<const unsigned char> bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size() / 2));
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        text.append(QChar(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8))));
    return text;
}

class EmfPlayer {
public:
    explicit EmfPlayer(MetafileCanvas& canvas) : canvas_(canvas) {}
    void Play(const EmfRecord& record);

private:
    void Select(std::uint32_t index);
    void Put(std::uint32_t index, MetafileObject object) {
        canvas_.objects().Put(index, std::move(object));
    }
    void CreatePen(const RecordView& r);
    void ExtCreatePen(const RecordView& r);
    void CreateBrush(const RecordView& r);
    void CreateDibBrush(const RecordView& r);
    void CreateFont(const RecordView& r);
    void Poly(std::uint32_t type, const RecordView& r, bool small);
    void PolyPoly(bool polygon, const RecordView& r, bool small);
    void TextOut(const RecordView& r, bool wide);
    void Blt(const RecordView& r, bool stretch);
    void DibBits(const RecordView& r, bool stretch);
    std::optional<EmbeddedBitmap> Bitmap(const RecordView& r, std::size_t fieldsAt);

    MetafileCanvas& canvas_;
};

void EmfPlayer::Play(const EmfRecord& record) {
    const RecordView& r = record.record;
    DeviceContext& dc = canvas_.dc();
    switch (record.type) {
    case kPolyBezier:
    case kPolygon:
    case kPolyline:
    case kPolyBezierTo:
    case kPolylineTo:
        Poly(record.type, r, false);
        break;
    case kPolyBezier16:
    case kPolygon16:
    case kPolyline16:
    case kPolyBezierTo16:
    case kPolylineTo16:
        Poly(record.type - kPolyBezier16 + kPolyBezier, r, true);
        break;
    case kPolyPolyline:
    case kPolyPolygon:
        PolyPoly(record.type == kPolyPolygon, r, false);
        break;
    case kPolyPolyline16:
    case kPolyPolygon16:
        PolyPoly(record.type == kPolyPolygon16, r, true);
        break;
    case kSetWindowExtEx:
        canvas_.SetWindowExtent(QSizeF(r.I32(8), r.I32(12)));
        break;
    case kSetWindowOrgEx:
        dc.windowOrigin = PointL(r, 8);
        break;
    case kSetViewportExtEx:
        canvas_.SetViewportExtent(QSizeF(r.I32(8), r.I32(12)));
        break;
    case kSetViewportOrgEx:
        dc.viewportOrigin = PointL(r, 8);
        break;
    case kScaleViewportExtEx:
    case kScaleWindowExtEx:
        canvas_.ScaleExtent(record.type == kScaleWindowExtEx, r.I32(8), r.I32(12), r.I32(16),
                            r.I32(20));
        break;
    case kSetPixelV:
        canvas_.SetPixel(PointL(r, 8), ColorFromRef(r.U32(16)));
        break;
    case kSetMapMode:
        if (const std::uint32_t mode = r.U32(8); mode >= 1 && mode <= 8)
            dc.mapMode = static_cast<MapMode>(mode);
        break;
    case kSetBkMode:
        dc.opaqueBackground = r.U32(8) == 2;
        break;
    case kSetPolyFillMode:
        dc.fillRule = r.U32(8) == 2 ? Qt::WindingFill : Qt::OddEvenFill;
        break;
    case kSetTextAlign:
        dc.textAlign = r.U32(8);
        break;
    case kSetTextColor:
        dc.textColor = ColorFromRef(r.U32(8));
        break;
    case kSetBkColor:
        dc.backgroundColor = ColorFromRef(r.U32(8));
        break;
    case kOffsetClipRgn:
        canvas_.OffsetClip(PointL(r, 8));
        break;
    case kMoveToEx:
        canvas_.MoveTo(PointL(r, 8));
        break;
    case kLineTo:
        canvas_.LineTo(PointL(r, 8));
        break;
    case kExcludeClipRect:
        canvas_.ExcludeClip(RectL(r, 8));
        break;
    case kIntersectClipRect:
        canvas_.IntersectClip(RectL(r, 8));
        break;
    case kExtSelectClipRgn:
        // Regions are not kept; only the reset to no clip is honoured.
        if (r.U32(12) == kRegionCopy && r.U32(8) == 0)
            canvas_.ResetClip();
        break;
    case kSaveDc:
        canvas_.SaveState();
        break;
    case kRestoreDc:
        canvas_.RestoreState(r.I32(8));
        break;
    case kSetWorldTransform:
        canvas_.SetWorldTransform(XForm(r, 8));
        break;
    case kModifyWorldTransform: {
        const QTransform change = XForm(r, 8);
        switch (r.U32(32)) {
        case 1:
            canvas_.SetWorldTransform(QTransform());
            break;
        case 2: // the change first, then the old transform
            canvas_.SetWorldTransform(change * dc.world);
            break;
        case 3:
            canvas_.SetWorldTransform(dc.world * change);
            break;
        case 4:
            canvas_.SetWorldTransform(change);
            break;
        default:
            break;
        }
        break;
    }
    case kSelectObject:
        Select(r.U32(8));
        break;
    case kDeleteObject:
        canvas_.objects().Remove(r.U32(8));
        break;
    case kCreatePen:
        CreatePen(r);
        break;
    case kExtCreatePen:
        ExtCreatePen(r);
        break;
    case kCreateBrushIndirect:
        CreateBrush(r);
        break;
    case kCreateMonoBrush:
    case kCreateDibPatternBrushPt:
        CreateDibBrush(r);
        break;
    case kCreatePalette:
        Put(r.U32(8), MetafileInert{});
        break;
    case kExtCreateFontIndirectW:
        CreateFont(r);
        break;
    case kAngleArc:
        canvas_.AngleArc(PointL(r, 8), r.U32(16), r.F32(20), r.F32(24));
        break;
    case kEllipse:
        canvas_.Ellipse(RectL(r, 8));
        break;
    case kRectangle:
        canvas_.Rectangle(RectL(r, 8));
        break;
    case kRoundRect:
        canvas_.RoundRectangle(RectL(r, 8), QSizeF(r.I32(24), r.I32(28)));
        break;
    case kArc:
        canvas_.ArcShape(ArcKind::Arc, RectL(r, 8), PointL(r, 24), PointL(r, 32));
        break;
    case kChord:
        canvas_.ArcShape(ArcKind::Chord, RectL(r, 8), PointL(r, 24), PointL(r, 32));
        break;
    case kPie:
        canvas_.ArcShape(ArcKind::Pie, RectL(r, 8), PointL(r, 24), PointL(r, 32));
        break;
    case kArcTo:
        canvas_.ArcTo(RectL(r, 8), PointL(r, 24), PointL(r, 32));
        break;
    case kSetArcDirection:
        dc.clockwiseArcs = r.U32(8) == 2;
        break;
    case kBeginPath:
        canvas_.BeginPath();
        break;
    case kEndPath:
        canvas_.EndPath();
        break;
    case kCloseFigure:
        canvas_.CloseFigure();
        break;
    case kFillPath:
        canvas_.FillPath();
        break;
    case kStrokeAndFillPath:
        canvas_.StrokeAndFillPath();
        break;
    case kStrokePath:
        canvas_.StrokePath();
        break;
    case kSelectClipPath:
        canvas_.ClipToPath();
        break;
    case kAbortPath:
        canvas_.AbortPath();
        break;
    case kExtTextOutA:
    case kExtTextOutW:
        TextOut(r, record.type == kExtTextOutW);
        break;
    case kBitBlt:
    case kStretchBlt:
        Blt(r, record.type == kStretchBlt);
        break;
    case kSetDiBitsToDevice:
    case kStretchDiBits:
        DibBits(r, record.type == kStretchDiBits);
        break;
    default: // records that change nothing we draw, and records we do not know
        break;
    }
}

void EmfPlayer::Select(std::uint32_t index) {
    if (!(index & kStockObject)) {
        if (const MetafileObject* object = canvas_.objects().Get(index))
            canvas_.Select(*object);
        return;
    }
    MetafileBrush brush;
    MetafilePen pen;
    switch (index & ~kStockObject) {
    case 0: // white brush
        brush.color = Qt::white;
        canvas_.Select(brush);
        break;
    case 1: // light grey brush
        brush.color = QColor(192, 192, 192);
        canvas_.Select(brush);
        break;
    case 2: // grey brush
        brush.color = QColor(128, 128, 128);
        canvas_.Select(brush);
        break;
    case 3: // dark grey brush
        brush.color = QColor(64, 64, 64);
        canvas_.Select(brush);
        break;
    case 4: // black brush
        brush.color = Qt::black;
        canvas_.Select(brush);
        break;
    case 5: // no brush
        brush.style = kBrushNullStyle;
        canvas_.Select(brush);
        break;
    case 6: // white pen
        pen.color = Qt::white;
        canvas_.Select(pen);
        break;
    case 7: // black pen
        canvas_.Select(pen);
        break;
    case 8: // no pen
        pen.style = kPenNull;
        canvas_.Select(pen);
        break;
    case 10: case 11: case 12: case 13: case 14: case 16: case 17: // the system's fonts
        canvas_.Select(MetafileFont{});
        break;
    default:
        break;
    }
}

void EmfPlayer::CreatePen(const RecordView& r) {
    MetafilePen pen;
    pen.style = r.U32(12);
    pen.width = r.I32(16);
    pen.color = ColorFromRef(r.U32(24));
    Put(r.U32(8), pen);
}

void EmfPlayer::ExtCreatePen(const RecordView& r) {
    MetafilePen pen;
    const std::uint32_t style = r.U32(28);
    pen.style = r.U32(36) == kBrushNullStyle ? kPenNull : style & 0xFFFF;
    // A cosmetic pen is one pixel wide whatever its width says.
    pen.width = (style & kPenGeometric) ? static_cast<double>(r.U32(32)) : 0;
    pen.color = ColorFromRef(r.U32(40));
    Put(r.U32(8), pen);
}

void EmfPlayer::CreateBrush(const RecordView& r) {
    MetafileBrush brush;
    brush.style = r.U32(12);
    brush.color = ColorFromRef(r.U32(16));
    brush.hatch = r.U32(20);
    Put(r.U32(8), brush);
}

// The bitmap whose four fields (header offset and size, rows offset and
// size) start at fieldsAt.
std::optional<EmbeddedBitmap> EmfPlayer::Bitmap(const RecordView& r, std::size_t fieldsAt) {
    const std::uint32_t infoAt = r.U32(fieldsAt), infoBytes = r.U32(fieldsAt + 4);
    const std::uint32_t rowsAt = r.U32(fieldsAt + 8), rowsBytes = r.U32(fieldsAt + 12);
    if (infoBytes == 0 || rowsBytes == 0)
        return std::nullopt;
    return DecodeEmbeddedBitmap(r.Bytes(infoAt, infoBytes), r.Bytes(rowsAt, rowsBytes));
}

void EmfPlayer::CreateDibBrush(const RecordView& r) {
    const auto bitmap = Bitmap(r, 16);
    if (!bitmap) {
        Put(r.U32(8), MetafileInert{});
        return;
    }
    MetafileBrush brush;
    brush.style = 5; // a pattern from a bitmap
    brush.pattern = bitmap->image;
    Put(r.U32(8), brush);
}

void EmfPlayer::CreateFont(const RecordView& r) {
    MetafileFont font;
    font.height = r.I32(12);
    font.escapement = r.I32(20);
    font.weight = r.I32(28);
    font.italic = r.Bytes(32, 1)[0] != 0;
    font.underline = r.Bytes(33, 1)[0] != 0;
    font.strikeOut = r.Bytes(34, 1)[0] != 0;
    QString face = Utf16(r.Bytes(40, kFaceNameCharacters * 2));
    face.truncate(face.indexOf(QChar(0)) < 0 ? face.size() : face.indexOf(QChar(0)));
    font.face = face;
    Put(r.U32(8), font);
}

void EmfPlayer::Poly(std::uint32_t type, const RecordView& r, bool small) {
    const QPolygonF points = Points(r, 28, r.U32(24), small);
    switch (type) {
    case kPolyBezier:
        canvas_.PolyBezier(points);
        break;
    case kPolygon:
        canvas_.Polygon(points);
        break;
    case kPolyline:
        canvas_.Polyline(points);
        break;
    case kPolyBezierTo:
        canvas_.PolyBezierTo(points);
        break;
    default:
        canvas_.PolylineTo(points);
        break;
    }
}

void EmfPlayer::PolyPoly(bool polygon, const RecordView& r, bool small) {
    const std::size_t figures = r.U32(24);
    const std::size_t total = r.U32(28);
    r.Bytes(32, figures * 4);
    std::size_t at = 32 + figures * 4;
    std::size_t used = 0;
    std::vector<QPolygonF> shapes;
    for (std::size_t i = 0; i < figures; ++i) {
        const std::size_t count = r.U32(32 + i * 4);
        if (count > total - used)
            throw MetafileError("a record's figures hold more points than it has");
        used += count;
        shapes.push_back(Points(r, at, count, small));
        at += count * (small ? 4 : 8);
    }
    if (polygon)
        canvas_.PolyPolygon(shapes);
    else
        canvas_.PolyPolyline(shapes);
}

void EmfPlayer::TextOut(const RecordView& r, bool wide) {
    const QPointF at = PointL(r, 36);
    const std::size_t characters = r.U32(44);
    const std::uint32_t textAt = r.U32(48);
    const std::uint32_t options = r.U32(52);
    const QRectF rectangle = RectL(r, 56);
    const std::uint32_t advancesAt = r.U32(72);
    QString text;
    if (characters > 0) {
        const auto bytes = r.Bytes(textAt, characters * (wide ? 2 : 1));
        text = wide ? Utf16(bytes)
                    : ToQString(std::string(reinterpret_cast<const char*>(bytes.data()),
                                            bytes.size()));
    }
    std::vector<double> advances;
    const std::size_t step = (options & kTextDxAndDy) ? 8 : 4;
    if (advancesAt != 0 && characters > 0 && advancesAt <= r.size() &&
        (r.size() - advancesAt) / step >= characters)
        for (std::size_t i = 0; i < characters; ++i)
            advances.push_back(r.I32(advancesAt + i * step));
    canvas_.Text(at, text, options, rectangle, advances);
}

void EmfPlayer::Blt(const RecordView& r, bool stretch) {
    const QRectF destination(r.I32(24), r.I32(28), r.I32(32), r.I32(36));
    const std::uint32_t rop = r.U32(40);
    const QPointF sourceAt = PointL(r, 44);
    const auto bitmap = r.U32(88) == 0 ? std::nullopt : Bitmap(r, 84);
    if (r.U32(88) == 0) {
        canvas_.PatternFill(destination, rop); // no bitmap: the brush paints
        return;
    }
    if (!bitmap)
        return;
    const QSizeF sourceSize = stretch ? QSizeF(r.I32(100), r.I32(104)) : destination.size();
    canvas_.Bitmap(destination, bitmap->image, QRectF(sourceAt, sourceSize), rop);
}

void EmfPlayer::DibBits(const RecordView& r, bool stretch) {
    const QPointF destinationAt = PointL(r, 24);
    QRectF source(r.I32(32), r.I32(36), r.I32(40), r.I32(44));
    const auto bitmap = Bitmap(r, 48);
    if (!bitmap)
        return;
    const QSizeF destinationSize = stretch ? QSizeF(r.I32(72), r.I32(76)) : source.size();
    // Device-independent bitmaps count source rows from their bottom row.
    if (bitmap->bottomUp)
        source.moveTop(bitmap->image.height() - source.top() - source.height());
    canvas_.Bitmap(QRectF(destinationAt, destinationSize), bitmap->image, source,
                   stretch ? r.U32(68) : kRopSourceCopy);
}

} // namespace

QImage RenderEmf(std::span<const unsigned char> file, QSize size) {
    CheckImageSize(size);
    const EmfHeader header = ReadEmfHeader(file);
    QSizeF pixelsPerMillimetre(kDefaultPixelsPerMillimetre, kDefaultPixelsPerMillimetre);
    if (header.deviceWidth > 0 && header.deviceHeight > 0 && header.millimetersWidth > 0 &&
        header.millimetersHeight > 0)
        pixelsPerMillimetre = QSizeF(double(header.deviceWidth) / header.millimetersWidth,
                                     double(header.deviceHeight) / header.millimetersHeight);
    // The frame is in hundredths of a millimetre and includes its far edges.
    QRectF frame(QPointF(header.frame.left * pixelsPerMillimetre.width() / 100,
                         header.frame.top * pixelsPerMillimetre.height() / 100),
                 QPointF(header.frame.right * pixelsPerMillimetre.width() / 100,
                         header.frame.bottom * pixelsPerMillimetre.height() / 100));
    frame = frame.normalized();
    if (frame.width() < 1 || frame.height() < 1 || !std::isfinite(frame.width()) ||
        !std::isfinite(frame.height()))
        frame = QRectF(QPointF(header.bounds.left, header.bounds.top),
                       QPointF(double(header.bounds.right) + 1, double(header.bounds.bottom) + 1))
                    .normalized();
    if (frame.width() < 1 || frame.height() < 1)
        throw MetafileError("the picture's frame is empty");

    MetafileCanvas canvas(size, frame, pixelsPerMillimetre, header.handles);
    EmfPlayer player(canvas);
    EmfRecords records(file);
    while (auto record = records.Next())
        player.Play(*record);
    return canvas.Finish();
}

} // namespace platform
