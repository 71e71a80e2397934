#pragma once
// The part of the map the main view shows: from the origin hex on, at a
// zoom, in a picture of width x height pixels. At 100 % every pixel stands
// where the hex layout puts it; at another zoom every position is scaled and
// rounded, and clicks are reckoned back in pixels of the view at 100 %, so
// the editing rules never see the zoom.

#include "map/HexLayout.h"

#include <QPoint>
#include <array>

namespace zem {

struct MapView {
    static constexpr std::array<int, 7> Zooms = {25, 33, 50, 67, 100, 150, 200};

    HexPos origin;
    int zoom = 100; // percent
    int width = 0, height = 0;

    // A zoomed distance of `pixels` at 100 %, rounded.
    int Scaled(int pixels) const { return (pixels * zoom + 50) / 100; }
    // A pixel of the view as the view at 100 % has it.
    QPoint Unzoomed(int X, int Y) const { return {X * 100 / zoom, Y * 100 / zoom}; }
    HexPos HexAt(int X, int Y) const {
        const QPoint p = Unzoomed(X, Y);
        return HexLayout::PixelToHex(p.x(), p.y(), origin);
    }
    // The top-left pixel of hex (x, y) in the view.
    QPoint Corner(int x, int y) const {
        return {Scaled(HexLayout::Left(x)) - Scaled(HexLayout::Left(origin.x)),
                Scaled(HexLayout::Top(y, x)) - Scaled(HexLayout::Top(origin.y, 0))};
    }
    // The whole hexes that fit across and down.
    int Columns() const { return width * 100 / (HexLayout::ColumnStep * zoom); }
    int Rows() const { return height * 100 / (HexLayout::RowStep * zoom); }
};

} // namespace zem
