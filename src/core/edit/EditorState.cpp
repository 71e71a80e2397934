#include "edit/EditorState.h"

namespace zem {

int CurrentTile(const EditorState& ed, const TileCatalogue& cat) {
    return cat.TileAt(ed.CurrentSet, ed.CurrentImage);
}

int TileToPlace(const EditorState& ed, const TileCatalogue& cat, Random& rng) {
    if (ed.Mix.size() < 2) return CurrentTile(ed, cat);
    return ed.Mix[std::size_t(rng.Next()) % ed.Mix.size()];
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

QString HexInfoText(const HexMap& map, const TileCatalogue& cat, HexPos hex) {
    if (!map.OnMap(hex.x, hex.y) || !HexMap::InGrid(hex.x, hex.y))
        return QStringLiteral("%1,%2 off the map").arg(hex.x).arg(hex.y);
    const MapCell& c = map.Cell(hex.x, hex.y);
    return QStringLiteral("%1,%2  tile %3 (set %4)  %5 / %6")
        .arg(hex.x)
        .arg(hex.y)
        .arg(c.bmp)
        .arg(cat.Record(c.bmp).set)
        .arg(cat.TT1Name(c.TT1), cat.TT2Name(c.TT2));
}

} // namespace zem
