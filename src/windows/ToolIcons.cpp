#include "windows/ToolIcons.h"

#include <QPainter>
#include <QPixmap>

namespace zem {

namespace {
// A flat-topped hex like the map's, in a 24 by 24 icon.
QPolygonF Hex(QPointF c, double r) {
    return QPolygonF({{c.x() - r / 2, c.y() - r * 0.85},
                      {c.x() + r / 2, c.y() - r * 0.85},
                      {c.x() + r, c.y()},
                      {c.x() + r / 2, c.y() + r * 0.85},
                      {c.x() - r / 2, c.y() + r * 0.85},
                      {c.x() - r, c.y()}});
}

const QColor Ink(40, 40, 40), Grass(0, 128, 0), Sea(40, 90, 200), Sand(230, 200, 120);
} // namespace

QIcon ToolIcon(ToolPicture which) {
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Ink, 1.4));
    switch (which) {
    case ToolPicture::Place: // a hex being set down
        p.setBrush(Grass);
        p.drawPolygon(Hex({12, 14}, 8));
        p.drawLine(QPointF(12, 1), QPointF(12, 8));
        p.drawLine(QPointF(9, 5), QPointF(12, 8));
        p.drawLine(QPointF(15, 5), QPointF(12, 8));
        break;
    case ToolPicture::Pick: { // a dropper over a hex
        p.setBrush(Sand);
        p.drawPolygon(Hex({9, 15}, 7));
        p.setBrush(Ink);
        p.drawPolygon(QPolygonF({{13, 11}, {20, 4}, {22, 6}, {15, 13}})); // the dropper
        break;
    }
    case ToolPicture::Select:
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Ink, 1.4, Qt::DashLine));
        p.drawRect(QRectF(3, 4, 18, 16));
        break;
    case ToolPicture::Fill: { // a bucket pouring
        p.setBrush(Sea);
        p.drawPolygon(QPolygonF({{4, 9}, {14, 9}, {12, 21}, {6, 21}})); // the bucket
        p.drawEllipse(QPointF(19, 17), 2.5, 3.5);
        break;
    }
    case ToolPicture::Spray:
        p.setBrush(Ink);
        p.drawRect(QRectF(4, 10, 7, 11));
        p.drawRect(QRectF(6, 6, 3, 4));
        for (QPointF d : {QPointF(15, 5), QPointF(19, 8), QPointF(16, 11), QPointF(21, 13),
                          QPointF(18, 16), QPointF(14, 14)})
            p.drawEllipse(d, 1, 1);
        break;
    case ToolPicture::Roads:
        p.setBrush(Grass);
        p.drawPolygon(Hex({7, 8}, 5.5));
        p.drawPolygon(Hex({17, 16}, 5.5));
        p.setPen(QPen(QColor(230, 200, 0), 3));
        p.drawLine(QPointF(7, 8), QPointF(17, 16));
        break;
    case ToolPicture::Road: // a road drawn through three hexes
        p.setBrush(Grass);
        for (QPointF c : {QPointF(5, 18), QPointF(12, 12), QPointF(19, 6)})
            p.drawPolygon(Hex(c, 4.5));
        p.setPen(QPen(QColor(230, 200, 0), 3));
        p.drawPolyline(QPolygonF({{5, 18}, {12, 12}, {19, 6}}));
        break;
    case ToolPicture::Shape: // a filled rectangle and ellipse
        p.setBrush(Sand);
        p.drawRect(QRectF(3, 3, 11, 9));
        p.setBrush(Grass);
        p.drawEllipse(QRectF(8, 10, 13, 11));
        break;
    case ToolPicture::Terrain1:
    case ToolPicture::Terrain2: {
        p.setBrush(which == ToolPicture::Terrain1 ? QColor(255, 255, 160) : QColor(160, 220, 255));
        p.drawPolygon(Hex({12, 12}, 10));
        QFont f = p.font();
        f.setPixelSize(10);
        f.setBold(true);
        p.setFont(f);
        p.drawText(QRectF(0, 0, 24, 24), Qt::AlignCenter,
                   which == ToolPicture::Terrain1 ? QStringLiteral("T1") : QStringLiteral("T2"));
        break;
    }
    }
    return QIcon(pm);
}

} // namespace zem
