// The editor's pictures, drawn with QPainter on a 24-unit grid and rendered
// once per size, so small sizes get crisp pixels rather than a scaled-down
// large one.
#include "editor/Icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>
#include <QtMath>
#include <initializer_list>

namespace editor {
namespace {

// The design grid: every picture is drawn in a 24 × 24 square.
constexpr qreal kGrid = 24.0;
// The pixel sizes an icon carries: menus, buttons, the picture buttons, and
// a large one for high-density screens.
constexpr int kSizes[] = {16, 24, 32, 48};

// One outline colour and a small palette keep the set consistent.
const QColor kInk(0x2f, 0x3b, 0x4c);
const QColor kPaper(0xfb, 0xfc, 0xfd);
const QColor kBlue(0x3b, 0x7d, 0xd8);
const QColor kGreen(0x2e, 0x9e, 0x4f);
const QColor kRed(0xd6, 0x45, 0x41);
const QColor kYellow(0xf2, 0xc9, 0x4c);
const QColor kAmber(0xdb, 0x9f, 0x2a);
const QColor kWood(0xb0, 0x7a, 0x45);
const QColor kGrey(0x8a, 0x96, 0xa3);

constexpr qreal kOutline = 1.5;

QPen Outline(qreal width = kOutline) {
    return QPen(kInk, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QPen Stroke(const QColor& colour, qreal width) {
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QPolygonF Polygon(std::initializer_list<QPointF> points) {
    return QPolygonF(QList<QPointF>(points));
}

// A sheet of paper with its top right corner folded, from x 5 to 19.
void Page(QPainter& p) {
    p.setPen(Outline());
    p.setBrush(kPaper);
    p.drawPolygon(Polygon({{5, 2}, {14.5, 2}, {19, 6.5}, {19, 22}, {5, 22}}));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(Polygon({{14.5, 2}, {14.5, 6.5}, {19, 6.5}}));
}

void Triangle(QPainter& p, QPointF top, QPointF bottom, QPointF tip) {
    p.setPen(Outline());
    p.setBrush(kGreen);
    p.drawPolygon(Polygon({top, bottom, tip}));
}

void Cross(QPainter& p, QPointF centre, qreal half, const QColor& colour, qreal width) {
    p.setPen(Stroke(colour, width));
    p.drawLine(centre + QPointF(-half, -half), centre + QPointF(half, half));
    p.drawLine(centre + QPointF(-half, half), centre + QPointF(half, -half));
}

void Plus(QPainter& p, QPointF centre, qreal half, const QColor& colour, qreal width) {
    p.setPen(Stroke(colour, width));
    p.drawLine(centre + QPointF(-half, 0), centre + QPointF(half, 0));
    p.drawLine(centre + QPointF(0, -half), centre + QPointF(0, half));
}

// A green tick with the outline colour around it, as the plus and the cross.
void Tick(QPainter& p, QPointF a, QPointF b, QPointF c) {
    p.setBrush(Qt::NoBrush);
    p.setPen(Stroke(kInk, 5.2));
    p.drawPolyline(Polygon({a, b, c}));
    p.setPen(Stroke(kGreen, 3.2));
    p.drawPolyline(Polygon({a, b, c}));
}

void Gear(QPainter& p, QPointF centre, qreal radius) {
    constexpr int kTeeth = 8;
    QPainterPath gear;
    for (int i = 0; i < kTeeth * 2; ++i) {
        const qreal r = (i % 2 == 0) ? radius : radius * 0.72;
        const qreal a0 = (i - 0.5) * M_PI / kTeeth;
        const qreal a1 = (i + 0.5) * M_PI / kTeeth;
        const QPointF from = centre + QPointF(r * qCos(a0), r * qSin(a0));
        const QPointF to = centre + QPointF(r * qCos(a1), r * qSin(a1));
        if (i == 0)
            gear.moveTo(from);
        else
            gear.lineTo(from);
        gear.lineTo(to);
    }
    gear.closeSubpath();
    p.setPen(Outline(1.2));
    p.setBrush(kGrey);
    p.drawPath(gear);
    p.setBrush(kPaper);
    p.drawEllipse(centre, radius * 0.3, radius * 0.3);
}

void Draw(QPainter& p, Picture picture) {
    switch (picture) {
    case Picture::NewQuest:
        Page(p);
        p.setPen(Outline());
        p.setBrush(kGreen);
        p.drawEllipse(QPointF(17, 18), 4.5, 4.5);
        Plus(p, {17, 18}, 2.2, kPaper, 1.6);
        break;
    case Picture::OpenQuest:
        p.setPen(Outline());
        p.setBrush(kAmber);
        p.drawPolygon(Polygon({{2, 5}, {9, 5}, {11, 7.5}, {20, 7.5}, {20, 20}, {2, 20}}));
        p.setBrush(kYellow);
        p.drawPolygon(Polygon({{5, 11}, {23, 11}, {20, 20}, {2, 20}}));
        break;
    case Picture::SaveQuest:
        p.setPen(Outline());
        p.setBrush(kBlue);
        p.drawRoundedRect(QRectF(3, 3, 18, 18), 2, 2);
        p.setBrush(kPaper);
        p.drawRect(QRectF(7, 3, 10, 6.5));
        p.drawRect(QRectF(6, 13.5, 12, 7.5));
        p.setBrush(kInk);
        p.drawRect(QRectF(13, 4.5, 2, 3.5));
        p.setPen(Stroke(kGrey, 1));
        p.drawLine(QPointF(8, 16), QPointF(16, 16));
        p.drawLine(QPointF(8, 18.5), QPointF(16, 18.5));
        break;
    case Picture::CompileRun:
        Gear(p, {9.5, 9.5}, 7.5);
        Triangle(p, {12, 11.5}, {12, 22.5}, {21.5, 17});
        break;
    case Picture::Compile:
        Gear(p, {12, 12}, 9.5);
        break;
    case Picture::Parameters:
        for (const auto& [y, knob] : {std::pair{6.0, 8.0}, {12.0, 16.0}, {18.0, 11.0}}) {
            p.setPen(Stroke(kInk, 1.6));
            p.drawLine(QPointF(3, y), QPointF(21, y));
            p.setPen(Outline());
            p.setBrush(kBlue);
            p.drawEllipse(QPointF(knob, y), 2.6, 2.6);
        }
        break;
    case Picture::Exit:
        p.setPen(Outline());
        p.setBrush(kWood);
        p.drawRect(QRectF(3.5, 2.5, 10, 19));
        p.setBrush(kInk);
        p.drawEllipse(QPointF(11, 12), 0.9, 0.9);
        p.setPen(Stroke(kRed, 2.4));
        p.drawLine(QPointF(10.5, 12), QPointF(20, 12));
        p.drawPolyline(Polygon({{16.5, 8.5}, {20.5, 12}, {16.5, 15.5}}));
        break;
    case Picture::AddLocation:
        Plus(p, {12, 12}, 7.5, kInk, 5.2);
        Plus(p, {12, 12}, 7.5, kGreen, 3.2);
        break;
    case Picture::DelLocation:
        Cross(p, {12, 12}, 6.5, kInk, 5.2);
        Cross(p, {12, 12}, 6.5, kRed, 3.2);
        break;
    case Picture::Ok:
        Tick(p, {4.5, 12.5}, {10, 18}, {19.5, 6});
        break;
    case Picture::Cancel:
        p.setPen(Outline());
        p.setBrush(kRed);
        p.drawEllipse(QPointF(12, 12), 9.5, 9.5);
        Cross(p, {12, 12}, 4, kPaper, 2.6);
        break;
    case Picture::Help: {
        p.setPen(Outline());
        p.setBrush(kBlue);
        p.drawEllipse(QPointF(12, 12), 9.5, 9.5);
        QPainterPath hook;
        hook.moveTo(8.8, 9.2);
        hook.cubicTo(8.8, 5.4, 15.2, 5.4, 15.2, 9.2);
        hook.cubicTo(15.2, 11.6, 12, 11.6, 12, 14.4);
        p.setPen(Stroke(kPaper, 2.4));
        p.setBrush(Qt::NoBrush);
        p.drawPath(hook);
        p.setPen(Qt::NoPen);
        p.setBrush(kPaper);
        p.drawEllipse(QPointF(12, 17.8), 1.5, 1.5);
        break;
    }
    case Picture::Credits: {
        QPolygonF star;
        for (int i = 0; i < 10; ++i) {
            const qreal r = (i % 2 == 0) ? 10 : 4.2;
            const qreal a = -M_PI / 2 + i * M_PI / 5;
            star << QPointF(12 + r * qCos(a), 12.8 + r * qSin(a));
        }
        p.setPen(Outline());
        p.setBrush(kYellow);
        p.drawPolygon(star);
        break;
    }
    case Picture::Play:
        Triangle(p, {6.5, 3.5}, {6.5, 20.5}, {20.5, 12});
        break;
    case Picture::CheckScripts:
        Page(p);
        p.setPen(Stroke(kGrey, 1.4));
        for (const qreal y : {9.0, 12.5, 16.0})
            p.drawLine(QPointF(8, y), QPointF(15, y));
        Tick(p, {12, 17.5}, {15, 20.5}, {21.5, 12.5});
        break;
    }
}

QPixmap Render(Picture picture, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / kGrid, size / kGrid);
    Draw(painter, picture);
    return pixmap;
}

} // namespace

QIcon EditorIcon(Picture picture) {
    QIcon icon;
    for (const int size : kSizes)
        icon.addPixmap(Render(picture, size));
    return icon;
}

} // namespace editor
