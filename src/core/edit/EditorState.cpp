#include "edit/EditorState.h"

namespace zem {

int CurrentTile(const EditorState& ed, const TileCatalogue& cat) {
    return cat.TileAt(ed.CurrentSet, ed.CurrentImage);
}

void PlaceTile(HexMap& map, const TileCatalogue& cat, int x, int y, int t) {
    if (!HexMap::InGrid(x, y) || !TileCatalogue::IsTileNumber(t)) return;
    const TileRecord& r = cat.records[size_t(t)];
    MapCell& c = map.Cell(x, y);
    SetCellTile(c, t, r);
    c.PL = std::int16_t(r.PL);
    c.E2 = std::int16_t(r.E2);
    c.E3 = std::int16_t(r.E3);
}

QString TerrainText(const MapCell& cell, const TileCatalogue& cat) {
    return cat.TT1Name(cell.TT1) + QLatin1Char('(') + cat.TT2Name(cell.TT2) + QLatin1Char(')');
}

} // namespace zem
