#include "tools/Roads.h"

namespace zem {

bool IsRoadHex(const HexMap& map, int x, int y) {
    return map.OnMap(x, y) && HexMap::InGrid(x, y) && map.Cell(x, y).TT2 == 1;
}

void MakeRoadConnections(HexMap& map) {
    for (int y = 0; y < map.MapHeight; ++y)
        for (int x = 0; x < map.MapWidth; ++x) {
            if (!IsRoadHex(map, x, y)) continue;
            for (const Neighbour& n : Neighbours(x, y))
                if (IsRoadHex(map, n.at.x, n.at.y)) map.Cell(x, y).RC |= std::int16_t(n.bit);
        }
}

void ClearRoadConnections(HexMap& map) {
    for (int y = 0; y < map.MapHeight && y < MaxMapSize; ++y)
        for (int x = 0; x < map.MapWidth && x < MaxMapSize; ++x)
            map.Cell(x, y).RC = 0;
}

void ToggleRoadPair(HexMap& map, HexPos a, HexPos b) {
    if (!HexMap::InGrid(a.x, a.y) || !HexMap::InGrid(b.x, b.y)) return;
    for (const Neighbour& n : Neighbours(a.x, a.y))
        if (n.at == b) {
            map.Cell(a.x, a.y).RC ^= std::int16_t(n.bit);
            map.Cell(b.x, b.y).RC ^= std::int16_t(n.opposite);
            return;
        }
}

int CountRoadConnections(const HexMap& map) {
    int count = 0;
    for (int y = 0; y < map.MapHeight && y < MaxMapSize; ++y)
        for (int x = 0; x < map.MapWidth && x < MaxMapSize; ++x)
            for (const Neighbour& n : Neighbours(x, y)) {
                if (!(map.Cell(x, y).RC & n.bit)) continue;
                const HexPos b = n.at;
                const bool both = map.OnMap(b.x, b.y) && HexMap::InGrid(b.x, b.y) &&
                                  (map.Cell(b.x, b.y).RC & n.opposite);
                if (!both || b.y * MaxMapSize + b.x > y * MaxMapSize + x) ++count;
            }
    return count;
}

} // namespace zem
