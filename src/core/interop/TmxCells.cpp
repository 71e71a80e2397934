#include "interop/TmxFormat.h"
#include "interop/TmxParts.h"
#include "interop/TmxXml.h"

#include <QSet>

namespace zem::tmx {

const QString& TilePropertyName(int kind) {
    static const QString names[TilePropertyCount] = {TileNumber, TerrainCode, RoadBits};
    return names[kind];
}

int PropertyCapacity(const QString& name, int cells) {
    if (name == PropPL || name == PropE2 || name == PropE3 || name == PropRCRest) return cells;
    if (name.startsWith(QLatin1String("extra ")))
        for (int i = 0; i < 24; ++i)
            if (name == PropExtra(i)) return cells;
    if (name == PropUnpictured) return 3 * cells;
    if (name == PropExported) return 4 * cells;
    if (name == PropOutside) return 34 * (MaxMapSize * MaxMapSize - cells);
    return -1;
}

namespace {

class Builder {
  public:
    explicit Builder(const TmxParts& p) : p_(p) {}

    // The number the tile at hex (x, y) of a layer stands for, or nothing
    // for an empty cell.
    std::optional<int> Value(const QString& layer, TileProperty kind, int x, int y) const {
        const std::uint32_t gid = p_.layers.at(layer)[size_t(y * p_.width + x)];
        if (gid == 0) return std::nullopt;
        if (gid & 0xF0000000u)
            Fail(QStringLiteral("the layer \"%1\" holds a flipped or rotated tile at hex %2,%3")
                     .arg(layer)
                     .arg(x)
                     .arg(y));
        auto it = p_.tilesets.upper_bound(int(gid));
        const TmxTileset* ts = it == p_.tilesets.begin() ? nullptr : &std::prev(it)->second;
        const int id = ts ? int(gid) - ts->firstGid : -1;
        if (!ts || id >= ts->tileCount)
            Fail(QStringLiteral("the layer \"%1\" holds the tile id %2 at hex %3,%4, which "
                                "belongs to no tileset")
                     .arg(layer)
                     .arg(gid)
                     .arg(x)
                     .arg(y));
        const auto values = ts->tiles.value(id);
        if (!values[kind])
            Fail(QStringLiteral("the layer \"%1\" holds a tile of \"%2\" at hex %3,%4 that has no "
                                "\"%5\" property")
                     .arg(layer, ts->name)
                     .arg(x)
                     .arg(y)
                     .arg(TilePropertyName(kind)));
        return values[kind];
    }

    const std::vector<int>* Numbers(const QString& name) const {
        const auto it = p_.numbers.find(name);
        return it == p_.numbers.end() ? nullptr : &it->second;
    }

    // A property of one number per hex (or `per` numbers); `set` takes each.
    template <class Set>
    void HexValues(MapFileData& d, const QString& name, Set set, size_t per = 1) const {
        const std::vector<int>* v = Numbers(name);
        if (!v) return;
        if (v->size() != d.cells.size() * per)
            Fail(QStringLiteral("the property \"%1\" holds %2 numbers, not %3")
                     .arg(name)
                     .arg(v->size())
                     .arg(d.cells.size() * per));
        for (size_t i = 0; i < d.cells.size(); ++i)
            set(d.cells[i], &(*v)[i * per]);
    }

    // A property of groups of `count` numbers, the first two a hex of the
    // grid, each hex at most once.
    std::vector<const int*> Groups(const QString& name, size_t count) const {
        std::vector<const int*> groups;
        const std::vector<int>* v = Numbers(name);
        if (!v) return groups;
        if (v->size() % count)
            Fail(QStringLiteral("the property \"%1\" holds %2 numbers, not a multiple of %3")
                     .arg(name)
                     .arg(v->size())
                     .arg(count));
        QSet<int> hexes;
        for (size_t i = 0; i < v->size(); i += count) {
            const int* g = &(*v)[i];
            if (!HexMap::InGrid(g[0], g[1]))
                Fail(QStringLiteral("the property \"%1\" holds hex %2,%3, outside the grid")
                         .arg(name)
                         .arg(g[0])
                         .arg(g[1]));
            if (hexes.contains(g[1] * MaxMapSize + g[0]))
                Fail(QStringLiteral("the property \"%1\" holds hex %2,%3 twice")
                         .arg(name)
                         .arg(g[0])
                         .arg(g[1]));
            hexes.insert(g[1] * MaxMapSize + g[0]);
            groups.push_back(g);
        }
        return groups;
    }

  private:
    const TmxParts& p_;
};

} // namespace

void BuildTmxMap(const TmxParts& p, const TileCatalogue& cat, TmxMap& out) {
    for (const QString& name :
         {LayerTiles, LayerTerrain[0], LayerTerrain[1], LayerTerrain[2], LayerRoads})
        if (!p.layers.count(name)) Fail(QStringLiteral("the map has no layer \"%1\"").arg(name));
    const Builder b(p);
    TmxMap m;
    MapFileData& d = m.data;
    d.width = p.width;
    d.height = p.height;
    d.cells.resize(size_t(p.width * p.height));
    b.HexValues(d, PropPL, [](MapCell& c, const int* v) { c.PL = std::int16_t(*v); });
    b.HexValues(d, PropE2, [](MapCell& c, const int* v) { c.E2 = std::int16_t(*v); });
    b.HexValues(d, PropE3, [](MapCell& c, const int* v) { c.E3 = std::int16_t(*v); });
    b.HexValues(d, PropRCRest,
                [](MapCell& c, const int* v) { c.RC = std::int16_t(*v & ~RoadMask); });
    for (int i = 0; i < 24; ++i)
        b.HexValues(d, PropExtra(i),
                    [i](MapCell& c, const int* v) { c.extra[size_t(i)] = std::int16_t(*v); });
    for (const int* g : b.Groups(PropUnpictured, 3))
        if (g[0] < p.width && g[1] < p.height)
            d.cells[size_t(g[1] * p.width + g[0])].bmp = std::int16_t(g[2]);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            MapCell& c = d.cells[size_t(y * p.width + x)];
            // A tile painted in Tiled over a number without a picture wins.
            if (auto t = b.Value(LayerTiles, PropTile, x, y)) {
                if (!TileCatalogue::IsTileNumber(*t))
                    Fail(QStringLiteral("the layer \"%1\" holds at hex %2,%3 a tile standing for "
                                        "%4, not a tile number (0..%5)")
                             .arg(LayerTiles)
                             .arg(x)
                             .arg(y)
                             .arg(*t)
                             .arg(MaxTiles - 1));
                c.bmp = std::int16_t(*t);
            }
            std::uint8_t* tt[3] = {&c.TT1, &c.TT2, &c.TT3};
            for (int k = 0; k < 3; ++k) {
                const int code = b.Value(LayerTerrain[k], PropCode, x, y).value_or(0);
                if (code < 0 || code > 255)
                    Fail(QStringLiteral("the terrain code %1 at hex %2,%3 lies outside 0..255")
                             .arg(code)
                             .arg(x)
                             .arg(y));
                *tt[k] = std::uint8_t(code);
            }
            const int roads = b.Value(LayerRoads, PropRoads, x, y).value_or(0);
            if (roads & ~RoadMask)
                Fail(QStringLiteral("the road bits %1 at hex %2,%3 are not the six neighbour bits")
                         .arg(roads)
                         .arg(x)
                         .arg(y));
            c.RC = std::int16_t(c.RC | roads);
        }
    // A hex whose tile differs from the one it was exported with was painted
    // over in Tiled: it gets what placing that tile in the editor gives,
    // but for the terrain codes that were painted in Tiled too.
    b.HexValues(
        d, PropExported,
        [&cat](MapCell& c, const int* was) {
            if (c.bmp == std::int16_t(was[0]) || !TileCatalogue::IsTileNumber(c.bmp)) return;
            const TileRecord& r = cat.Record(c.bmp);
            const int defaults[3] = {r.TT1, r.TT2, r.TT3};
            std::uint8_t* tt[3] = {&c.TT1, &c.TT2, &c.TT3};
            for (int k = 0; k < 3; ++k)
                if (*tt[k] == was[k + 1]) *tt[k] = std::uint8_t(defaults[k]);
            c.PL = std::int16_t(r.PL);
            c.E2 = std::int16_t(r.E2);
            c.E3 = std::int16_t(r.E3);
        },
        4);
    for (const int* g : b.Groups(PropOutside, 34)) {
        if (g[0] < p.width && g[1] < p.height)
            Fail(QStringLiteral("the property \"%1\" holds hex %2,%3, which lies on the map")
                     .arg(PropOutside)
                     .arg(g[0])
                     .arg(g[1]));
        QByteArray line;
        for (size_t i = 2; i < 34; ++i)
            line += QByteArray::number(g[i]) + ' ';
        MapCell cell;
        ParseCellLine(line, cell);
        m.outside.push_back({{g[0], g[1]}, cell});
    }
    out = std::move(m);
}

} // namespace zem::tmx
