#pragma once
// A set of hexes of the 80 by 80 grid: the selected hexes, a brush's
// footprint, a fill's region. Positions outside the grid are never members.

#include "map/HexMap.h"

#include <bitset>
#include <vector>

namespace zem {

class HexSet {
  public:
    HexSet() = default;
    // Every hex of the rectangle between two corners, in any order.
    static HexSet Rectangle(HexPos a, HexPos b);
    // Every hex at most `radius` steps from `centre`.
    static HexSet Disc(HexPos centre, int radius);
    // The hexes whose centres lie in the ellipse that fills the rectangle of
    // hex centres between two corners, reaching half a hex beyond them.
    static HexSet Ellipse(HexPos a, HexPos b);

    bool Empty() const { return bits_.none(); }
    int Count() const { return int(bits_.count()); }
    bool Has(HexPos p) const { return HexMap::InGrid(p.x, p.y) && bits_[Index(p)]; }
    void Add(HexPos p) {
        if (HexMap::InGrid(p.x, p.y)) bits_.set(Index(p));
    }
    void Remove(HexPos p) {
        if (HexMap::InGrid(p.x, p.y)) bits_.reset(Index(p));
    }
    void Clear() { bits_.reset(); }
    // The members, row by row from the top, each row from the left.
    std::vector<HexPos> Hexes() const;
    // The smallest rectangle holding every member: {left, top}, {right, bottom};
    // false when the set is empty.
    bool Bounds(HexPos& topLeft, HexPos& bottomRight) const;
    // Only the members that lie on the map.
    HexSet OnMap(const HexMap& map) const;

    bool operator==(const HexSet&) const = default;

  private:
    static std::size_t Index(HexPos p) { return std::size_t(p.y * MaxMapSize + p.x); }
    std::bitset<MaxMapSize * MaxMapSize> bits_;
};

} // namespace zem
