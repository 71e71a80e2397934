#include "map/HexMap.h"

#include <algorithm>
#include <cstdlib>

namespace zem {

std::array<Neighbour, 6> Neighbours(int x, int y) {
    const bool odd = x & 1;
    return {{
        {rbN, rbS, {x, y - 1}},
        {rbNE, rbSW, {x + 1, odd ? y : y - 1}},
        {rbSE, rbNW, {x + 1, odd ? y + 1 : y}},
        {rbS, rbN, {x, y + 1}},
        {rbSW, rbNE, {x - 1, odd ? y + 1 : y}},
        {rbNW, rbSE, {x - 1, odd ? y : y - 1}},
    }};
}

// In cube coordinates, where every neighbour is one step along an axis.
int HexDistance(HexPos a, HexPos b) {
    const auto cube = [](HexPos h) {
        const int q = h.x, r = h.y - (h.x - (h.x & 1)) / 2;
        return std::array<int, 3>{q, r, -q - r};
    };
    const auto p = cube(a), c = cube(b);
    return std::max({std::abs(p[0] - c[0]), std::abs(p[1] - c[1]), std::abs(p[2] - c[2])});
}

} // namespace zem
