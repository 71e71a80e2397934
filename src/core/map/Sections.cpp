#include "map/Sections.h"

namespace zem {

static HexPos ClipToGrid(HexPos p) {
    return {std::clamp(p.x, 0, MaxMapSize - 1), std::clamp(p.y, 0, MaxMapSize - 1)};
}

bool SectionText(const HexMap& map, HexPos c1, HexPos c2, QByteArray& text) {
    c1 = ClipToGrid(c1);
    c2 = ClipToGrid(c2);
    const int w = c2.x - c1.x + 1, h = c2.y - c1.y + 1;
    if (w <= 1 || h <= 1) return false;
    text = MapFileText(map, c1.x, c1.y, c2.x, c2.y);
    return true;
}

void PasteCells(const MapFileData& section, HexPos at, HexMap& map) {
    PasteCellsHere(section, at, map);
    map.ViewOrigin = {0, 0};
}

void PasteCellsHere(const MapFileData& section, HexPos at, HexMap& map) {
    for (int i = 0; i < section.height; ++i)
        for (int j = 0; j < section.width; ++j) {
            const int x = at.x + j, y = at.y + i;
            if (x >= 0 && y >= 0 && x < map.MapWidth && y < map.MapHeight && HexMap::InGrid(x, y))
                map.Cell(x, y) = section.At(j, i);
        }
}

} // namespace zem
