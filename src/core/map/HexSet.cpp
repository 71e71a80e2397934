#include "map/HexSet.h"
#include "map/HexLayout.h"

#include <QPointF>
#include <cmath>

#include <algorithm>

namespace zem {

HexSet HexSet::Rectangle(HexPos a, HexPos b) {
    HexSet s;
    const int x1 = std::max(0, std::min(a.x, b.x)),
              x2 = std::min(MaxMapSize - 1, std::max(a.x, b.x));
    const int y1 = std::max(0, std::min(a.y, b.y)),
              y2 = std::min(MaxMapSize - 1, std::max(a.y, b.y));
    for (int y = y1; y <= y2; ++y)
        for (int x = x1; x <= x2; ++x)
            s.bits_.set(Index({x, y}));
    return s;
}

HexSet HexSet::Disc(HexPos centre, int radius) {
    HexSet s;
    for (int x = centre.x - radius; x <= centre.x + radius; ++x)
        for (int y = centre.y - radius - 1; y <= centre.y + radius + 1; ++y)
            if (HexDistance(centre, {x, y}) <= radius) s.Add({x, y});
    return s;
}

HexSet HexSet::Ellipse(HexPos a, HexPos b) {
    // Hex centres in pixels of the map at 100 %; odd columns half a hex lower.
    const auto centre = [](HexPos h) {
        return QPointF(HexLayout::ColumnStep * h.x, HexLayout::RowStep * (h.y + (h.x & 1) * 0.5));
    };
    const QPointF p = centre(a), q = centre(b), mid = (p + q) / 2;
    const double rx = std::abs(q.x() - p.x()) / 2 + HexLayout::ColumnStep / 2.0,
                 ry = std::abs(q.y() - p.y()) / 2 + HexLayout::RowStep / 2.0;
    HexSet s;
    for (const HexPos h : Rectangle({std::min(a.x, b.x), std::min(a.y, b.y) - 1},
                                    {std::max(a.x, b.x), std::max(a.y, b.y) + 1})
                              .Hexes()) {
        const QPointF d = centre(h) - mid;
        if ((d.x() / rx) * (d.x() / rx) + (d.y() / ry) * (d.y() / ry) <= 1 + 1e-9) s.Add(h);
    }
    return s;
}

std::vector<HexPos> HexSet::Hexes() const {
    std::vector<HexPos> out;
    out.reserve(bits_.count());
    for (std::size_t i = bits_._Find_first(); i < bits_.size(); i = bits_._Find_next(i))
        out.push_back({int(i % MaxMapSize), int(i / MaxMapSize)});
    return out;
}

bool HexSet::Bounds(HexPos& topLeft, HexPos& bottomRight) const {
    if (bits_.none()) return false;
    topLeft = {MaxMapSize, MaxMapSize};
    bottomRight = {-1, -1};
    for (const HexPos p : Hexes()) {
        topLeft = {std::min(topLeft.x, p.x), std::min(topLeft.y, p.y)};
        bottomRight = {std::max(bottomRight.x, p.x), std::max(bottomRight.y, p.y)};
    }
    return true;
}

HexSet HexSet::OnMap(const HexMap& map) const {
    HexSet s;
    for (const HexPos p : Hexes())
        if (map.OnMap(p.x, p.y)) s.Add(p);
    return s;
}

} // namespace zem
