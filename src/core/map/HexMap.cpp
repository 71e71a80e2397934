#include "map/HexMap.h"

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

} // namespace zem
