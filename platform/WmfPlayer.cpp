// The WMF player: each record of a WMF turned into a call on the canvas.
// The picture's frame is the placeable header's box, or else the window the
// records set first; it is the reference device, so a file in the text
// mapping mode fills the image too. Parameters are 16-bit words, points
// mostly y before x, as the records store them.
#include "platform/Metafile.h"

#include "platform/MetafileCanvas.h"
#include "platform/MetafileSupport.h"
#include "platform/Text.h"

#include <string>

namespace platform {
namespace {

// Record functions.
enum : std::uint16_t {
    kSaveDc = 0x001E,
    kSetBkMode = 0x0102,
    kSetMapMode = 0x0103,
    kSetPolyFillMode = 0x0106,
    kRestoreDc = 0x0127,
    kSelectClipRegion = 0x012C,
    kSelectObject = 0x012D,
    kSetTextAlign = 0x012E,
    kDibCreatePatternBrush = 0x0142,
    kDeleteObject = 0x01F0,
    kCreatePatternBrush = 0x01F9,
    kSetBkColor = 0x0201,
    kSetTextColor = 0x0209,
    kSetWindowOrg = 0x020B,
    kSetWindowExt = 0x020C,
    kSetViewportOrg = 0x020D,
    kSetViewportExt = 0x020E,
    kOffsetWindowOrg = 0x020F,
    kOffsetViewportOrg = 0x0211,
    kLineTo = 0x0213,
    kMoveTo = 0x0214,
    kOffsetClipRgn = 0x0220,
    kCreatePalette = 0x00F7,
    kCreatePenIndirect = 0x02FA,
    kCreateFontIndirect = 0x02FB,
    kCreateBrushIndirect = 0x02FC,
    kPolygon = 0x0324,
    kPolyline = 0x0325,
    kScaleWindowExt = 0x0410,
    kScaleViewportExt = 0x0412,
    kExcludeClipRect = 0x0415,
    kIntersectClipRect = 0x0416,
    kEllipse = 0x0418,
    kRectangle = 0x041B,
    kSetPixel = 0x041F,
    kTextOut = 0x0521,
    kPolyPolygon = 0x0538,
    kRoundRect = 0x061C,
    kPatBlt = 0x061D,
    kCreateRegion = 0x06FF,
    kArc = 0x0817,
    kPie = 0x081A,
    kChord = 0x0830,
    kDibBitBlt = 0x0940,
    kExtTextOut = 0x0A32,
    kDibStretchBlt = 0x0B41,
    kSetDibToDev = 0x0D33,
    kStretchDib = 0x0F43,
};

// The parameter bytes of the bitmap records when they carry no bitmap.
constexpr std::size_t kDibBitBltWithoutBitmap = 18;
constexpr std::size_t kDibStretchBltWithoutBitmap = 22;
// Font face names are at most this many bytes, the last one a zero.
constexpr std::size_t kFaceNameBytes = 32;
constexpr std::uint16_t kTextOptionsWithRectangle = kTextOpaque | kTextClipped;

// Default resolution of a file without a placeable header: nothing in it
// says how large its units are.
constexpr double kDefaultUnitsPerInch = 96;

std::string Cp1251(std::span<const unsigned char> bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// y and x, in that order.
QPointF PointYX(const RecordView& p, std::size_t at) {
    return QPointF(p.I16(at + 2), p.I16(at));
}

// bottom, right, top, left, in that order.
QRectF BoxBRTL(const RecordView& p, std::size_t at) {
    return QRectF(QPointF(p.I16(at + 6), p.I16(at + 4)), QPointF(p.I16(at + 2), p.I16(at)));
}

// count points of x and y from at.
QPolygonF Points(const RecordView& p, std::size_t at, std::size_t count) {
    p.Bytes(at, count * 4); // all of them inside the record
    QPolygonF points;
    points.reserve(static_cast<qsizetype>(count));
    for (std::size_t i = 0; i < count; ++i)
        points << QPointF(p.I16(at + i * 4), p.I16(at + i * 4 + 2));
    return points;
}

class WmfPlayer {
public:
    WmfPlayer(MetafileCanvas& canvas) : canvas_(canvas) {}
    void Play(const WmfRecord& record);

private:
    void CreateObject(MetafileObject object) { canvas_.objects().AddToLowestFree(std::move(object)); }
    void CreatePen(const RecordView& p);
    void CreateBrush(const RecordView& p);
    void CreateFont(const RecordView& p);
    void CreateDibBrush(const RecordView& p);
    void PolyPolygon(const RecordView& p);
    void TextOut(const RecordView& p);
    void ExtTextOut(const RecordView& p);
    void DibBitBlt(const RecordView& p, bool stretch);
    void StretchDib(const RecordView& p);
    void SetDibToDevice(const RecordView& p);
    void DrawDib(QRectF destination, std::span<const unsigned char> dib, QRectF source,
                 bool fromBottom, std::uint32_t rop);

    MetafileCanvas& canvas_;
};

void WmfPlayer::Play(const WmfRecord& record) {
    const RecordView& p = record.params;
    DeviceContext& dc = canvas_.dc();
    switch (record.function) {
    case kSaveDc:
        canvas_.SaveState();
        break;
    case kRestoreDc:
        canvas_.RestoreState(p.I16(0));
        break;
    case kSetBkMode:
        dc.opaqueBackground = p.U16(0) == 2;
        break;
    case kSetMapMode:
        if (const std::uint16_t mode = p.U16(0); mode >= 1 && mode <= 8)
            dc.mapMode = static_cast<MapMode>(mode);
        break;
    case kSetPolyFillMode:
        dc.fillRule = p.U16(0) == 2 ? Qt::WindingFill : Qt::OddEvenFill;
        break;
    case kSetTextAlign:
        dc.textAlign = p.U16(0);
        break;
    case kSetBkColor:
        dc.backgroundColor = ColorFromRef(p.U32(0));
        break;
    case kSetTextColor:
        dc.textColor = ColorFromRef(p.U32(0));
        break;
    case kSetWindowOrg:
        dc.windowOrigin = PointYX(p, 0);
        break;
    case kSetWindowExt: {
        const QPointF extent = PointYX(p, 0);
        canvas_.SetWindowExtent(QSizeF(extent.x(), extent.y()));
        break;
    }
    case kSetViewportOrg:
        dc.viewportOrigin = PointYX(p, 0);
        break;
    case kSetViewportExt: {
        const QPointF extent = PointYX(p, 0);
        canvas_.SetViewportExtent(QSizeF(extent.x(), extent.y()));
        break;
    }
    case kOffsetWindowOrg:
        dc.windowOrigin += PointYX(p, 0);
        break;
    case kOffsetViewportOrg:
        dc.viewportOrigin += PointYX(p, 0);
        break;
    case kScaleWindowExt:
    case kScaleViewportExt:
        // The record holds y's denominator, y's numerator, x's denominator, x's numerator.
        canvas_.ScaleExtent(record.function == kScaleWindowExt, p.I16(6), p.I16(4), p.I16(2),
                            p.I16(0));
        break;
    case kSelectObject:
        if (const MetafileObject* object = canvas_.objects().Get(p.U16(0)))
            canvas_.Select(*object);
        break;
    case kDeleteObject:
        canvas_.objects().Remove(p.U16(0));
        break;
    case kCreatePenIndirect:
        CreatePen(p);
        break;
    case kCreateBrushIndirect:
        CreateBrush(p);
        break;
    case kCreateFontIndirect:
        CreateFont(p);
        break;
    case kDibCreatePatternBrush:
        CreateDibBrush(p);
        break;
    case kCreatePatternBrush:
    case kCreatePalette:
    case kCreateRegion:
        // Drawn without, but each takes its slot in the table.
        CreateObject(MetafileInert{});
        break;
    case kSelectClipRegion:
        // Regions are not kept; selecting one (or none) ends the clip.
        canvas_.ResetClip();
        break;
    case kIntersectClipRect:
        canvas_.IntersectClip(BoxBRTL(p, 0));
        break;
    case kExcludeClipRect:
        canvas_.ExcludeClip(BoxBRTL(p, 0));
        break;
    case kOffsetClipRgn:
        canvas_.OffsetClip(PointYX(p, 0));
        break;
    case kMoveTo:
        canvas_.MoveTo(PointYX(p, 0));
        break;
    case kLineTo:
        canvas_.LineTo(PointYX(p, 0));
        break;
    case kPolygon:
    case kPolyline: {
        const int count = p.I16(0);
        if (count <= 0)
            break;
        const QPolygonF points = Points(p, 2, static_cast<std::size_t>(count));
        if (record.function == kPolygon)
            canvas_.Polygon(points);
        else
            canvas_.Polyline(points);
        break;
    }
    case kPolyPolygon:
        PolyPolygon(p);
        break;
    case kRectangle:
        canvas_.Rectangle(BoxBRTL(p, 0));
        break;
    case kEllipse:
        canvas_.Ellipse(BoxBRTL(p, 0));
        break;
    case kRoundRect:
        canvas_.RoundRectangle(BoxBRTL(p, 4), QSizeF(p.I16(2), p.I16(0)));
        break;
    case kArc:
    case kPie:
    case kChord: {
        const ArcKind kind = record.function == kArc   ? ArcKind::Arc
                             : record.function == kPie ? ArcKind::Pie
                                                       : ArcKind::Chord;
        canvas_.ArcShape(kind, BoxBRTL(p, 8), PointYX(p, 4), PointYX(p, 0));
        break;
    }
    case kSetPixel:
        canvas_.SetPixel(PointYX(p, 4), ColorFromRef(p.U32(0)));
        break;
    case kTextOut:
        TextOut(p);
        break;
    case kExtTextOut:
        ExtTextOut(p);
        break;
    case kPatBlt:
        canvas_.PatternFill(QRectF(p.I16(10), p.I16(8), p.I16(6), p.I16(4)), p.U32(0));
        break;
    case kDibBitBlt:
        DibBitBlt(p, false);
        break;
    case kDibStretchBlt:
        DibBitBlt(p, true);
        break;
    case kStretchDib:
        StretchDib(p);
        break;
    case kSetDibToDev:
        SetDibToDevice(p);
        break;
    default: // records that change nothing we draw, and records we do not know
        break;
    }
}

void WmfPlayer::CreatePen(const RecordView& p) {
    MetafilePen pen;
    pen.style = p.U16(0);
    pen.width = p.I16(2);
    pen.color = ColorFromRef(p.U32(6));
    CreateObject(pen);
}

void WmfPlayer::CreateBrush(const RecordView& p) {
    MetafileBrush brush;
    brush.style = p.U16(0);
    brush.color = ColorFromRef(p.U32(2));
    brush.hatch = p.U16(6);
    CreateObject(brush);
}

void WmfPlayer::CreateFont(const RecordView& p) {
    MetafileFont font;
    font.height = p.I16(0);
    font.escapement = p.I16(4);
    font.weight = p.I16(8);
    font.italic = p.Bytes(10, 1)[0] != 0;
    font.underline = p.Bytes(11, 1)[0] != 0;
    font.strikeOut = p.Bytes(12, 1)[0] != 0;
    const auto name = p.Rest(18).first(std::min(p.Rest(18).size(), kFaceNameBytes));
    std::string face = Cp1251(name);
    face.resize(std::min(face.size(), face.find('\0')));
    font.face = ToQString(face);
    CreateObject(font);
}

void WmfPlayer::CreateDibBrush(const RecordView& p) {
    const auto bitmap = DecodeEmbeddedBitmap(p.Rest(4));
    if (!bitmap) {
        CreateObject(MetafileInert{});
        return;
    }
    MetafileBrush brush;
    brush.style = 5; // a pattern from a bitmap
    brush.pattern = bitmap->image;
    CreateObject(brush);
}

void WmfPlayer::PolyPolygon(const RecordView& p) {
    const std::size_t polygons = p.U16(0);
    p.Bytes(2, polygons * 2);
    std::size_t at = 2 + polygons * 2;
    std::vector<QPolygonF> shapes;
    for (std::size_t i = 0; i < polygons; ++i) {
        const std::size_t count = p.U16(2 + i * 2);
        shapes.push_back(Points(p, at, count));
        at += count * 4;
    }
    canvas_.PolyPolygon(shapes);
}

void WmfPlayer::TextOut(const RecordView& p) {
    const int length = p.I16(0);
    if (length <= 0)
        return;
    const std::size_t padded = (static_cast<std::size_t>(length) + 1) / 2 * 2;
    const std::string text = Cp1251(p.Bytes(2, static_cast<std::size_t>(length)));
    canvas_.Text(PointYX(p, 2 + padded), ToQString(text), 0, std::nullopt, {});
}

void WmfPlayer::ExtTextOut(const RecordView& p) {
    const QPointF at = PointYX(p, 0);
    const int length = std::max<int>(p.I16(4), 0);
    const std::uint16_t options = p.U16(6);
    std::size_t next = 8;
    std::optional<QRectF> rectangle;
    if (options & kTextOptionsWithRectangle) {
        rectangle = QRectF(QPointF(p.I16(8), p.I16(10)), QPointF(p.I16(12), p.I16(14)));
        next += 8;
    }
    const std::string text = Cp1251(p.Bytes(next, static_cast<std::size_t>(length)));
    next += (static_cast<std::size_t>(length) + 1) / 2 * 2;
    std::vector<double> advances;
    if (p.Rest(next).size() >= static_cast<std::size_t>(length) * 2)
        for (int i = 0; i < length; ++i)
            advances.push_back(p.I16(next + static_cast<std::size_t>(i) * 2));
    canvas_.Text(at, ToQString(text), options, rectangle, advances);
}

void WmfPlayer::DrawDib(QRectF destination, std::span<const unsigned char> dib, QRectF source,
                        bool fromBottom, std::uint32_t rop) {
    const auto bitmap = DecodeEmbeddedBitmap(dib);
    if (!bitmap)
        return;
    // Device-independent bitmaps count source rows from their bottom row.
    if (fromBottom && bitmap->bottomUp)
        source.moveTop(bitmap->image.height() - source.top() - source.height());
    canvas_.Bitmap(destination, bitmap->image, source, rop);
}

void WmfPlayer::DibBitBlt(const RecordView& p, bool stretch) {
    const std::uint32_t rop = p.U32(0);
    if (p.size() == (stretch ? kDibStretchBltWithoutBitmap : kDibBitBltWithoutBitmap)) {
        // No bitmap: the brush paints the destination.
        const std::size_t at = stretch ? 14 : 10;
        canvas_.PatternFill(QRectF(p.I16(at + 6), p.I16(at + 4), p.I16(at + 2), p.I16(at)), rop);
        return;
    }
    if (stretch) {
        const QRectF source(p.I16(10), p.I16(8), p.I16(6), p.I16(4));
        const QRectF destination(p.I16(18), p.I16(16), p.I16(14), p.I16(12));
        DrawDib(destination, p.Rest(20), source, false, rop);
    } else {
        const QRectF source(p.I16(6), p.I16(4), p.I16(10), p.I16(8));
        const QRectF destination(p.I16(14), p.I16(12), p.I16(10), p.I16(8));
        DrawDib(destination, p.Rest(16), source, false, rop);
    }
}

void WmfPlayer::StretchDib(const RecordView& p) {
    const QRectF source(p.I16(12), p.I16(10), p.I16(8), p.I16(6));
    const QRectF destination(p.I16(20), p.I16(18), p.I16(16), p.I16(14));
    DrawDib(destination, p.Rest(22), source, true, p.U32(0));
}

void WmfPlayer::SetDibToDevice(const RecordView& p) {
    const QRectF source(p.I16(8), p.I16(6), p.I16(12), p.I16(10));
    const QRectF destination(p.I16(16), p.I16(14), p.I16(12), p.I16(10));
    DrawDib(destination, p.Rest(18), source, true, kRopSourceCopy);
}

// A file without the placeable header says its frame by the window its
// records set first.
QRectF WindowOfRecords(std::span<const unsigned char> file, const WmfHeader& header) {
    std::optional<QPointF> origin;
    std::optional<QPointF> extent;
    WmfRecords records(file, header);
    while (auto record = records.Next()) {
        if (record->function == kSetWindowOrg && !origin)
            origin = PointYX(record->params, 0);
        else if (record->function == kSetWindowExt && !extent)
            extent = PointYX(record->params, 0);
        if (origin && extent)
            break;
    }
    if (!extent)
        return {};
    const QPointF topLeft = origin.value_or(QPointF());
    return QRectF(topLeft, QSizeF(extent->x(), extent->y())).normalized();
}

} // namespace

QImage RenderWmf(std::span<const unsigned char> file, QSize size) {
    CheckImageSize(size);
    const WmfHeader header = ReadWmfHeader(file);
    QRectF frame;
    double unitsPerInch = kDefaultUnitsPerInch;
    if (header.placeable) {
        frame = QRectF(QPointF(header.left, header.top), QPointF(header.right, header.bottom))
                    .normalized();
        if (header.unitsPerInch != 0)
            unitsPerInch = header.unitsPerInch;
    } else {
        frame = WindowOfRecords(file, header);
        if (frame.isEmpty())
            frame = QRectF(0, 0, size.width(), size.height());
    }
    if (frame.isEmpty())
        throw MetafileError("the picture's frame is empty");

    const double pixelsPerMillimetre = unitsPerInch / 25.4;
    MetafileCanvas canvas(size, frame, QSizeF(pixelsPerMillimetre, pixelsPerMillimetre),
                          header.objectCount);
    // The window starts as the frame, mapped onto itself: records that set
    // only a window, as most do, draw that window over the whole picture.
    DeviceContext& dc = canvas.dc();
    dc.windowOrigin = dc.viewportOrigin = frame.topLeft();
    dc.windowExtent = dc.viewportExtent = frame.size();
    WmfPlayer player(canvas);
    WmfRecords records(file, header);
    while (auto record = records.Next())
        player.Play(*record);
    return canvas.Finish();
}

} // namespace platform
