// Tile pictures drawn in code: each looks like its terrain, on a 60 by 50
// hex with the key colour outside it.

#include "sample/TilePainter.h"

#include <QPainter>
#include <QPainterPath>
#include <array>

namespace zem::sample {

const QRgb TileKey = qRgb(255, 0, 255);

namespace {

const QPoint Centre(30, 25);
// Corners clockwise from the top-left; edge i runs from corner i to i + 1 in
// the order upper-left, above, upper-right, lower-right, below, lower-left.
const std::array<QPoint, 6> Corners = {QPoint(0, 25),  QPoint(15, 0),  QPoint(44, 0),
                                       QPoint(59, 25), QPoint(44, 49), QPoint(15, 49)};

QPolygon Hex() {
    return QPolygon(QList<QPoint>(Corners.begin(), Corners.end()));
}

QPoint EdgeMiddle(int i) {
    const QPoint a = Corners[size_t(i)], b = Corners[size_t((i + 1) % 6)];
    return (a + b) / 2;
}

// A small repeatable generator so every run draws the same pictures.
struct Lcg {
    unsigned s;
    int Next(int n) {
        s = s * 1103515245u + 12345u;
        return int((s >> 16) % unsigned(n));
    }
};

QImage Blank() {
    QImage img(60, 50, QImage::Format_RGB32);
    img.fill(TileKey);
    return img;
}

void Base(QPainter& p, QColor c) {
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPolygon(Hex());
}

void Speckle(QPainter& p, Lcg& r, QColor c, int count, int size) {
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    for (int i = 0; i < count; ++i) {
        const QPoint at(12 + r.Next(36), 6 + r.Next(38));
        p.drawRect(at.x(), at.y(), size, size);
    }
}

void Trees(QPainter& p, Lcg& r, int count) {
    for (int i = 0; i < count; ++i) {
        const QPoint at(14 + r.Next(30), 8 + r.Next(30));
        p.setPen(QColor(90, 60, 30));
        p.drawLine(at.x() + 3, at.y() + 6, at.x() + 3, at.y() + 9);
        p.setPen(QColor(10, 70, 10));
        p.setBrush(QColor(20, 110 + r.Next(30), 20));
        p.drawEllipse(at.x(), at.y(), 7, 7);
    }
}

void Lines(QPainter& p, int bits, QColor c, int width) {
    QPen pen(c, width, Qt::SolidLine, Qt::RoundCap);
    p.setPen(pen);
    for (int i = 0; i < 6; ++i)
        if (bits & (1 << i)) p.drawLine(Centre, EdgeMiddle(i));
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(Centre, width / 2 + 1, width / 2 + 1);
}

void Land(QPainter& p, int edge) {
    // The land part of a coast: the outer part of the triangle under the edge.
    const QPoint a = Corners[size_t(edge)], b = Corners[size_t((edge + 1) % 6)];
    const QPoint ia = a + (Centre - a) * 45 / 100, ib = b + (Centre - b) * 45 / 100;
    const QPoint m = EdgeMiddle(edge) + (Centre - EdgeMiddle(edge)) * 60 / 100;
    p.setPen(QPen(QColor(225, 205, 140), 2));
    p.setBrush(QColor(140, 195, 90));
    p.drawPolygon(QPolygon({a, b, ib, m, ia}));
}

} // namespace

QImage PaintTile(const SampleTile& t) {
    QImage img = Blank();
    QPainter p(&img);
    Lcg r{unsigned(t.number) * 7919u + 17u};
    switch (t.look) {
    case Look::Clear:
        Base(p, QColor(150, 205, 100));
        Speckle(p, r, QColor(120, 180, 80), 10 + t.variant * 3, 2);
        break;
    case Look::Rough:
        Base(p, QColor(140, 180, 95));
        Speckle(p, r, QColor(130, 110, 70), 14, 3);
        break;
    case Look::Fields:
        Base(p, QColor(190, 200, 90));
        p.setPen(QColor(150, 160, 60));
        for (int y = 8 + t.variant; y < 46; y += 6)
            p.drawLine(10, y, 50, y);
        break;
    case Look::Sea:
        Base(p, QColor(40, 90, 200));
        p.setPen(QColor(110, 150, 230));
        for (int i = 0; i < 6; ++i) {
            const int x = 10 + r.Next(34), y = 6 + r.Next(38);
            p.drawLine(x, y, x + 4, y - 1);
            p.drawLine(x + 4, y - 1, x + 8, y);
        }
        break;
    case Look::Coast:
        Base(p, QColor(40, 90, 200));
        for (int i = 0; i < 6; ++i)
            if (t.variant & (1 << i)) Land(p, i);
        break;
    case Look::Forest:
        Base(p, QColor(90, 160, 70));
        Trees(p, r, 7 + t.variant);
        break;
    case Look::Hills:
        Base(p, QColor(175, 170, 100));
        p.setPen(QPen(QColor(120, 95, 50), 2));
        p.setBrush(Qt::NoBrush);
        for (int i = 0; i < 3 + t.variant % 2; ++i)
            p.drawArc(8 + r.Next(30), 12 + r.Next(24), 16, 12, 0, 180 * 16);
        break;
    case Look::Mountains:
        Base(p, QColor(160, 145, 120));
        for (int i = 0; i < 3; ++i) {
            const int x = 8 + i * 14 + r.Next(4), y = 36 - r.Next(6);
            p.setPen(QColor(80, 70, 60));
            p.setBrush(QColor(110, 100, 90));
            p.drawPolygon(QPolygon({QPoint(x, y), QPoint(x + 8, y - 20), QPoint(x + 16, y)}));
            p.setBrush(Qt::white);
            p.drawPolygon(
                QPolygon({QPoint(x + 5, y - 13), QPoint(x + 8, y - 20), QPoint(x + 11, y - 13)}));
        }
        break;
    case Look::Swamp:
        Base(p, QColor(110, 140, 90));
        p.setPen(QColor(60, 110, 130));
        for (int i = 0; i < 8; ++i) {
            const int x = 10 + r.Next(36), y = 8 + r.Next(36);
            p.drawLine(x, y, x + 7, y);
        }
        p.setPen(QColor(60, 90, 40));
        for (int i = 0; i < 5; ++i) {
            const int x = 12 + r.Next(34), y = 10 + r.Next(30);
            p.drawLine(x, y, x - 2, y - 4);
            p.drawLine(x, y, x + 2, y - 4);
        }
        break;
    case Look::Desert:
        Base(p, QColor(230, 210, 140));
        Speckle(p, r, QColor(200, 175, 110), 12, 2);
        p.setPen(QColor(205, 180, 115));
        p.drawArc(10, 20 + t.variant, 40, 14, 20 * 16, 140 * 16);
        break;
    case Look::Town:
        Base(p, QColor(150, 205, 100));
        for (int i = 0; i < 4 + t.variant; ++i) {
            const int x = 12 + r.Next(30), y = 8 + r.Next(30);
            p.setPen(QColor(70, 40, 30));
            p.setBrush(i % 3 ? QColor(190, 60, 50) : QColor(150, 150, 150));
            p.drawRect(x, y, 7, 6);
        }
        break;
    case Look::River:
        Base(p, QColor(150, 205, 100));
        Lines(p, t.variant, QColor(50, 110, 220), 5);
        break;
    case Look::Road:
        Base(p, QColor(150, 205, 100));
        Lines(p, t.variant, QColor(120, 90, 60), 4);
        break;
    }
    return img;
}

QImage PaintFrame() {
    QImage img = Blank();
    QPainter p(&img);
    p.setPen(QColor(40, 60, 30));
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(Hex());
    return img;
}

QImage PaintMark() {
    QImage img = Blank();
    QPainter p(&img);
    p.setPen(QPen(QColor(230, 20, 20), 3));
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(QPolygon({QPoint(4, 25), QPoint(17, 3), QPoint(42, 3), QPoint(55, 25),
                            QPoint(42, 46), QPoint(17, 46)}));
    return img;
}

QImage PaintStratTile(int tt1) {
    static const QColor colours[] = {
        QColor(0, 0, 0),       QColor(150, 205, 100), QColor(40, 90, 200),  QColor(90, 150, 200),
        QColor(30, 120, 30),   QColor(175, 170, 100), QColor(130, 115, 95), QColor(110, 140, 90),
        QColor(230, 210, 140), QColor(190, 60, 50),   QColor(50, 110, 220), QColor(120, 90, 60),
        QColor(200, 200, 200), QColor(60, 60, 160),   QColor(140, 180, 95)};
    QImage img(8, 8, QImage::Format_RGB32);
    const QColor c = colours[size_t(tt1) % std::size(colours)];
    img.fill(c);
    QPainter p(&img);
    p.setPen(c.darker(130));
    p.drawPoint(2, 2);
    p.drawPoint(5, 5);
    return img;
}

} // namespace zem::sample
