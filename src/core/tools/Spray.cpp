#include "tools/Spray.h"
#include "edit/EditorState.h"

namespace zem {

void SprayHex(HexMap& map, const TileCatalogue& cat, Random& rng, const SpraySettings& s, int x,
              int y) {
    if (rng.Next() % 100 >= s.density) return;
    const int p = s.picks[size_t(rng.Next() % 3)];
    PlaceTile(map, cat, x, y, p);
}

void SprayAround(HexMap& map, const TileCatalogue& cat, Random& rng, const SpraySettings& s, int x,
                 int y) {
    // Any size beyond the grid reaches as far as the grid does.
    const int size = std::clamp(s.size, -1, 2 * MaxMapSize);
    const int x0 = std::max(0, x - size), x1 = std::min(map.MapWidth - 1, x + size);
    const int y0 = std::max(0, y - size), y1 = std::min(map.MapHeight - 1, y + size);
    for (int c = x0; c <= x1; ++c)
        for (int r = y0; r <= y1; ++r)
            SprayHex(map, cat, rng, s, c, r);
}

void SprayWholeMap(HexMap& map, const TileCatalogue& cat, Random& rng, const SpraySettings& s) {
    for (int k = 0; k < map.MapWidth * map.MapHeight; ++k)
        SprayHex(map, cat, rng, s, k % map.MapWidth, k / map.MapWidth);
}

} // namespace zem
