#include "interop/TmxImport.h"
#include "interop/TmxFormat.h"
#include "interop/TmxLayerData.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <map>

namespace zem {

using namespace tmx;

namespace {

using Properties = QHash<QString, QString>;

struct Tileset {
    int firstGid = 0;
    QString name;
    int tileCount = 0;
    QHash<int, Properties> tiles; // the properties of each tile id that has any
};

struct Layer {
    int width = 0, height = 0;
    std::vector<std::uint32_t> gids;
};

// A fault found while reading; the reader stops at the first.
struct Fault {
    QString text;
};

[[noreturn]] void Fail(const QString& text) {
    throw Fault{text};
}

int IntAttribute(const QXmlStreamReader& xml, const char* name, int fallback) {
    const auto a = xml.attributes();
    if (!a.hasAttribute(name)) return fallback;
    bool ok = false;
    const int v = a.value(name).toInt(&ok);
    if (!ok)
        Fail(QStringLiteral("the attribute %1=\"%2\" of <%3> is not a whole number")
                 .arg(name, a.value(name).toString(), xml.name().toString()));
    return v;
}

// Tiled writes a property's text either as its value attribute or, when it
// runs over several lines, as the element's content.
void ReadProperties(QXmlStreamReader& xml, Properties& props) {
    while (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("property")) {
            xml.skipCurrentElement();
            continue;
        }
        const QString name = xml.attributes().value("name").toString();
        if (xml.attributes().hasAttribute("value")) {
            props.insert(name, xml.attributes().value("value").toString());
            xml.skipCurrentElement();
        } else {
            props.insert(name, xml.readElementText(QXmlStreamReader::SkipChildElements));
        }
    }
}

void CheckReader(const QXmlStreamReader& xml) {
    if (!xml.hasError()) return;
    if (xml.error() == QXmlStreamReader::PrematureEndOfDocumentError)
        Fail(QStringLiteral("the file ends early, at line %1").arg(xml.lineNumber()));
    Fail(QStringLiteral("not well-formed XML at line %1: %2")
             .arg(xml.lineNumber())
             .arg(xml.errorString()));
}

void ReadTilesetBody(QXmlStreamReader& xml, const QDir& dir, Tileset& ts) {
    ts.name = xml.attributes().value("name").toString();
    ts.tileCount = IntAttribute(xml, "tilecount", -1);
    if (ts.tileCount < 0)
        Fail(QStringLiteral("the tileset \"%1\" gives no tile count").arg(ts.name));
    bool image = false;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("image")) {
            const QString source = xml.attributes().value("source").toString();
            if (source.isEmpty() || !QFileInfo(dir.filePath(source)).isFile())
                Fail(QStringLiteral("the picture \"%1\" of the tileset \"%2\" is missing")
                         .arg(source, ts.name));
            image = true;
            xml.skipCurrentElement();
        } else if (xml.name() == QLatin1String("tile")) {
            const int id = IntAttribute(xml, "id", -1);
            while (xml.readNextStartElement()) {
                if (xml.name() == QLatin1String("properties")) {
                    ReadProperties(xml, ts.tiles[id]);
                } else {
                    xml.skipCurrentElement();
                }
            }
        } else {
            xml.skipCurrentElement();
        }
    }
    CheckReader(xml);
    if (!image) Fail(QStringLiteral("the tileset \"%1\" has no picture").arg(ts.name));
}

void ReadExternalTileset(const QString& path, Tileset& ts) {
    QFile f(path);
    if (QFileInfo(path).size() > MaxTmxFileSize)
        Fail(QStringLiteral("the tileset file \"%1\" is too large").arg(path));
    if (!f.open(QIODevice::ReadOnly))
        Fail(QStringLiteral("cannot open the tileset file \"%1\"").arg(path));
    QXmlStreamReader xml(&f);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("tileset")) {
        CheckReader(xml);
        Fail(QStringLiteral("\"%1\" is not a tileset file").arg(path));
    }
    ReadTilesetBody(xml, QFileInfo(path).dir(), ts);
}

void CheckShape(const QXmlStreamReader& xml) {
    const auto a = xml.attributes();
    const QString orientation = a.value("orientation").toString();
    if (orientation != "hexagonal")
        Fail(QStringLiteral("the map is %1, not hexagonal")
                 .arg(orientation.isEmpty() ? QStringLiteral("of no orientation") : orientation));
    if (a.value("staggeraxis") != QLatin1String("x") ||
        a.value("staggerindex") != QLatin1String("odd"))
        Fail(QStringLiteral("the map staggers along %1 with index %2, not x with odd columns lower")
                 .arg(a.value("staggeraxis").toString(), a.value("staggerindex").toString()));
    const int w = IntAttribute(xml, "tilewidth", 0), h = IntAttribute(xml, "tileheight", 0),
              side = IntAttribute(xml, "hexsidelength", 0);
    if (w != CellWidth || h != CellHeight || side != HexSideLength)
        Fail(QStringLiteral("the hexes are %1x%2 with sides of %3, not %4x%5 with sides of %6")
                 .arg(w)
                 .arg(h)
                 .arg(side)
                 .arg(CellWidth)
                 .arg(CellHeight)
                 .arg(HexSideLength));
    if (IntAttribute(xml, "infinite", 0) != 0) Fail(QStringLiteral("the map is infinite"));
}

// Whitespace-separated whole numbers, keeping the low 16 bits as the map
// file does.
std::vector<int> Numbers(const QString& name, const QString& text) {
    std::vector<int> v;
    for (const QString& t :
         text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int n = t.toInt(&ok);
        if (!ok)
            Fail(QStringLiteral("the property \"%1\" holds \"%2\", which is not a whole number")
                     .arg(name, t.left(20)));
        v.push_back(n);
    }
    return v;
}

class Reader {
  public:
    explicit Reader(const QDir& dir) : dir_(dir) {}

    void Read(QIODevice& file, TmxMap& out) {
        QXmlStreamReader xml(&file);
        if (file.size() == 0) Fail(QStringLiteral("the file is empty"));
        if (!xml.readNextStartElement())
            Fail(QStringLiteral("not an XML file (%1)").arg(xml.errorString()));
        if (xml.name() != QLatin1String("map"))
            Fail(QStringLiteral("not a Tiled map: the document is a <%1>").arg(xml.name()));
        CheckShape(xml);
        width_ = IntAttribute(xml, "width", 0);
        height_ = IntAttribute(xml, "height", 0);
        if (width_ < 1 || height_ < 1 || width_ > MaxMapSize || height_ > MaxMapSize)
            Fail(QStringLiteral("the map size %1x%2 lies outside 1..80").arg(width_).arg(height_));
        while (xml.readNextStartElement()) {
            if (xml.name() == QLatin1String("properties")) {
                ReadProperties(xml, props_);
            } else if (xml.name() == QLatin1String("tileset")) {
                ReadTileset(xml);
            } else if (xml.name() == QLatin1String("layer")) {
                ReadLayer(xml);
            } else {
                xml.skipCurrentElement();
            }
        }
        CheckReader(xml);
        Build(out);
    }

  private:
    void ReadTileset(QXmlStreamReader& xml) {
        Tileset ts;
        ts.firstGid = IntAttribute(xml, "firstgid", 0);
        if (ts.firstGid < 1) Fail(QStringLiteral("a tileset has no firstgid of 1 or more"));
        const QString source = xml.attributes().value("source").toString();
        if (source.isEmpty()) {
            ReadTilesetBody(xml, dir_, ts);
        } else {
            xml.skipCurrentElement();
            ReadExternalTileset(dir_.filePath(source), ts);
        }
        tilesets_[ts.firstGid] = std::move(ts);
    }

    void ReadLayer(QXmlStreamReader& xml) {
        const QString name = xml.attributes().value("name").toString();
        const bool ours = name == LayerTiles || name == LayerRoads ||
                          std::find(std::begin(LayerTerrain), std::end(LayerTerrain), name) !=
                              std::end(LayerTerrain);
        if (!ours || layers_.count(name)) {
            xml.skipCurrentElement();
            return;
        }
        Layer& layer = layers_[name];
        layer.width = IntAttribute(xml, "width", 0);
        layer.height = IntAttribute(xml, "height", 0);
        if (layer.width != width_ || layer.height != height_)
            Fail(QStringLiteral("the layer \"%1\" is %2x%3, the map %4x%5")
                     .arg(name)
                     .arg(layer.width)
                     .arg(layer.height)
                     .arg(width_)
                     .arg(height_));
        bool data = false;
        while (xml.readNextStartElement()) {
            if (xml.name() != QLatin1String("data")) {
                xml.skipCurrentElement();
                continue;
            }
            const QString err = ReadLayerData(xml, width_ * height_, layer.gids);
            CheckReader(xml);
            if (!err.isEmpty()) Fail(QStringLiteral("the layer \"%1\" %2").arg(name, err));
            data = true;
        }
        if (!data) Fail(QStringLiteral("the layer \"%1\" has no data").arg(name));
    }

    // The number the tile at hex (x, y) of a layer stands for, or nothing
    // for an empty cell.
    std::optional<int> Value(const QString& layer, const QString& property, int x, int y) const {
        const std::uint32_t gid = layers_.at(layer).gids[size_t(y * width_ + x)];
        if (gid == 0) return std::nullopt;
        if (gid & 0xF0000000u)
            Fail(QStringLiteral("the layer \"%1\" holds a flipped or rotated tile at hex %2,%3")
                     .arg(layer)
                     .arg(x)
                     .arg(y));
        auto it = tilesets_.upper_bound(int(gid));
        const Tileset* ts = it == tilesets_.begin() ? nullptr : &std::prev(it)->second;
        const int id = ts ? int(gid) - ts->firstGid : -1;
        if (!ts || id >= ts->tileCount)
            Fail(QStringLiteral("the layer \"%1\" holds the tile id %2 at hex %3,%4, which "
                                "belongs to no tileset")
                     .arg(layer)
                     .arg(gid)
                     .arg(x)
                     .arg(y));
        bool ok = false;
        const int v = ts->tiles.value(id).value(property).toInt(&ok);
        if (!ok)
            Fail(QStringLiteral("the layer \"%1\" holds a tile of \"%2\" at hex %3,%4 that has no "
                                "\"%5\" property")
                     .arg(layer, ts->name)
                     .arg(x)
                     .arg(y)
                     .arg(property));
        return v;
    }

    // A property of one number per hex; `set` takes each.
    template <class Set> void HexValues(MapFileData& d, const QString& name, Set set) const {
        if (!props_.contains(name)) return;
        const std::vector<int> v = Numbers(name, props_.value(name));
        if (v.size() != d.cells.size())
            Fail(QStringLiteral("the property \"%1\" holds %2 numbers, not %3")
                     .arg(name)
                     .arg(v.size())
                     .arg(d.cells.size()));
        for (size_t i = 0; i < v.size(); ++i)
            set(d.cells[i], v[i]);
    }

    // A property of groups of `count` numbers, the first two a hex; written
    // a group to a line, read whatever the white space between them.
    std::vector<std::vector<int>> Groups(const QString& name, int count) const {
        const std::vector<int> v = Numbers(name, props_.value(name));
        if (v.size() % size_t(count))
            Fail(QStringLiteral("the property \"%1\" holds %2 numbers, not a multiple of %3")
                     .arg(name)
                     .arg(v.size())
                     .arg(count));
        std::vector<std::vector<int>> groups;
        for (auto it = v.begin(); it != v.end(); it += count) {
            if (!HexMap::InGrid(it[0], it[1]))
                Fail(QStringLiteral("the property \"%1\" holds hex %2,%3, outside the grid")
                         .arg(name)
                         .arg(it[0])
                         .arg(it[1]));
            groups.emplace_back(it, it + count);
        }
        return groups;
    }

    void Build(TmxMap& out) const {
        for (const QString& name :
             {LayerTiles, LayerTerrain[0], LayerTerrain[1], LayerTerrain[2], LayerRoads})
            if (!layers_.count(name)) Fail(QStringLiteral("the map has no layer \"%1\"").arg(name));
        TmxMap m;
        MapFileData& d = m.data;
        d.width = width_;
        d.height = height_;
        d.cells.resize(size_t(width_ * height_));
        HexValues(d, PropPL, [](MapCell& c, int v) { c.PL = std::int16_t(v); });
        HexValues(d, PropE2, [](MapCell& c, int v) { c.E2 = std::int16_t(v); });
        HexValues(d, PropE3, [](MapCell& c, int v) { c.E3 = std::int16_t(v); });
        HexValues(d, PropRCRest, [](MapCell& c, int v) { c.RC = std::int16_t(v & ~RoadMask); });
        for (int i = 0; i < 24; ++i)
            HexValues(d, PropExtra(i),
                      [i](MapCell& c, int v) { c.extra[size_t(i)] = std::int16_t(v); });
        for (const auto& v : Groups(PropUnpictured, 3))
            if (v[0] < width_ && v[1] < height_)
                d.cells[size_t(v[1] * width_ + v[0])].bmp = std::int16_t(v[2]);
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) {
                MapCell& c = d.cells[size_t(y * width_ + x)];
                // A tile painted in Tiled over a number without a picture wins.
                if (auto t = Value(LayerTiles, TileNumber, x, y)) c.bmp = std::int16_t(*t);
                std::uint8_t* tt[3] = {&c.TT1, &c.TT2, &c.TT3};
                for (int k = 0; k < 3; ++k) {
                    const int code = Value(LayerTerrain[k], TerrainCode, x, y).value_or(0);
                    if (code < 0 || code > 255)
                        Fail(QStringLiteral("the terrain code %1 at hex %2,%3 lies outside 0..255")
                                 .arg(code)
                                 .arg(x)
                                 .arg(y));
                    *tt[k] = std::uint8_t(code);
                }
                c.RC =
                    std::int16_t(c.RC | (Value(LayerRoads, RoadBits, x, y).value_or(0) & RoadMask));
            }
        for (const auto& v : Groups(PropOutside, 34)) {
            if (v[0] < width_ && v[1] < height_)
                Fail(QStringLiteral("the property \"%1\" holds hex %2,%3, which lies on the map")
                         .arg(PropOutside)
                         .arg(v[0])
                         .arg(v[1]));
            QByteArray line;
            for (size_t i = 2; i < v.size(); ++i)
                line += QByteArray::number(v[i]) + ' ';
            MapCell cell;
            ParseCellLine(line, cell);
            m.outside.push_back({{v[0], v[1]}, cell});
        }
        out = std::move(m);
    }

    QDir dir_;
    int width_ = 0, height_ = 0;
    Properties props_;
    std::map<int, Tileset> tilesets_; // by firstgid
    std::map<QString, Layer> layers_;
};

} // namespace

QString ReadTmx(QIODevice& file, const QDir& dir, TmxMap& out) {
    try {
        Reader(dir).Read(file, out);
    } catch (const Fault& f) {
        return f.text;
    }
    return {};
}

Result<TmxMap> ImportTmx(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile()) return FileFault(path, QStringLiteral("cannot open the file"), true);
    if (info.size() > MaxTmxFileSize)
        return FileFault(path, QStringLiteral("the file is larger than %1 MB, too large for a map")
                                   .arg(MaxTmxFileSize / (1024 * 1024)));
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return FileFault(path, QStringLiteral("cannot open the file"), true);
    TmxMap map;
    QString err = ReadTmx(f, info.dir(), map);
    if (err.isEmpty()) return map;
    // Names from the file may hold line breaks; the fault stays one line.
    err.replace('\n', ' ').replace('\r', ' ');
    return FileFault(path, err);
}

void ApplyTmxMap(const TmxMap& tmx, HexMap& map) {
    ApplyMapFile(tmx.data, map);
    for (const auto& [at, cell] : tmx.outside)
        map.Cell(at.x, at.y) = cell;
}

} // namespace zem
