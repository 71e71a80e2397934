#include "interop/TmxImport.h"
#include "files/RegularFile.h"
#include "files/SetJournal.h"
#include "interop/TmxFormat.h"
#include "interop/TmxLayerData.h"
#include "interop/TmxParts.h"
#include "interop/TmxXml.h"

#include <QFileInfo>
#include <QSet>

namespace zem {

using namespace tmx;

namespace {

// Ours are four; each of Tiled's costs a look for its picture.
constexpr size_t MaxTilesets = 1000;

// The tile properties of ours, one value each.
void ReadTileProperties(XmlInput& in, const TmxTileset& ts, int id,
                        std::array<std::optional<int>, TilePropertyCount>& values) {
    QSet<int> seen;
    while (in.NextStartElement()) {
        if (in.Name() != QLatin1String("property")) {
            in.Skip();
            continue;
        }
        const QString name = in.Attribute("name");
        int kind = 0;
        while (kind < TilePropertyCount && TilePropertyName(kind) != name)
            ++kind;
        if (kind == TilePropertyCount) {
            in.Skip();
            continue;
        }
        if (seen.contains(kind))
            Fail(QStringLiteral("the tile %1 of the tileset \"%2\" has the property \"%3\" twice")
                     .arg(id)
                     .arg(ts.name, name));
        seen.insert(kind);
        int tokens = 0;
        Tokens t(false, [&](QStringView token) {
            bool ok = false;
            const int v = token.toInt(&ok);
            if (ok && ++tokens == 1) {
                values[size_t(kind)] = v;
            } else {
                values[size_t(kind)].reset();
                tokens = 2; // one number or none
            }
        });
        ElementTokens(in, t);
    }
}

class Reader {
  public:
    Reader(const QDir& dir, qint64 budget) : dir_(dir), budget_(budget) {}

    void Read(QIODevice& file, const TileCatalogue& cat, TmxMap& out) {
        if (file.size() == 0) Fail(QStringLiteral("the file is empty"));
        XmlInput in(file, tokens_);
        bool root = false;
        try {
            root = in.NextStartElement();
        } catch (const Fault&) {
            if (!in.Xml().hasError()) throw;
        }
        if (!root)
            Fail(QStringLiteral("not an XML file (%1)")
                     .arg(in.Xml().hasError() ? in.Xml().errorString()
                                              : QStringLiteral("it holds no element")));
        if (in.Name() != QLatin1String("map"))
            Fail(QStringLiteral("not a Tiled map: the document is a <%1>").arg(in.Name()));
        CheckShape(in);
        const int w = in.IntAttribute("width", 0), h = in.IntAttribute("height", 0);
        if (w < 1 || h < 1 || w > MaxMapSize || h > MaxMapSize)
            Fail(QStringLiteral("the map size %1x%2 lies outside 1..80").arg(w).arg(h));
        parts_.width = w;
        parts_.height = h;
        while (in.NextStartElement()) {
            if (in.Name() == QLatin1String("properties")) {
                ReadMapProperties(in);
            } else if (in.Name() == QLatin1String("tileset")) {
                ReadTileset(in);
            } else if (in.Name() == QLatin1String("layer")) {
                ReadLayer(in);
            } else {
                in.Skip();
            }
        }
        BuildTmxMap(parts_, cat, out);
    }

  private:
    static void CheckShape(const XmlInput& in) {
        const QString orientation = in.Attribute("orientation");
        if (orientation != "hexagonal")
            Fail(QStringLiteral("the map is %1, not hexagonal")
                     .arg(orientation.isEmpty() ? QStringLiteral("of no orientation")
                                                : orientation.left(40)));
        if (in.Attribute("staggeraxis") != QLatin1String("x") ||
            in.Attribute("staggerindex") != QLatin1String("odd"))
            Fail(QStringLiteral("the map staggers along %1 with index %2, not x with odd columns "
                                "lower")
                     .arg(in.Attribute("staggeraxis").left(20),
                          in.Attribute("staggerindex").left(20)));
        const int w = in.IntAttribute("tilewidth", 0), h = in.IntAttribute("tileheight", 0),
                  side = in.IntAttribute("hexsidelength", 0);
        if (w != CellWidth || h != CellHeight || side != HexSideLength)
            Fail(QStringLiteral("the hexes are %1x%2 with sides of %3, not %4x%5 with sides of %6")
                     .arg(w)
                     .arg(h)
                     .arg(side)
                     .arg(CellWidth)
                     .arg(CellHeight)
                     .arg(HexSideLength));
        if (in.IntAttribute("infinite", 0) != 0) Fail(QStringLiteral("the map is infinite"));
    }

    // Tiled writes a property's text as its value attribute or, when it runs
    // over several lines, as the element's content. Only ours are read, a
    // number at a time, and never more than the map's size allows.
    void ReadMapProperties(XmlInput& in) {
        while (in.NextStartElement()) {
            if (in.Name() != QLatin1String("property")) {
                in.Skip();
                continue;
            }
            const QString name = in.Attribute("name");
            const int capacity = PropertyCapacity(name, parts_.width * parts_.height);
            if (capacity < 0) {
                in.Skip();
                continue;
            }
            if (parts_.numbers.count(name))
                Fail(QStringLiteral("the map property \"%1\" is there twice").arg(name));
            std::vector<int>& v = parts_.numbers[name];
            Tokens t(false, [&](QStringView token) {
                bool ok = false;
                const int n = token.toInt(&ok);
                if (!ok)
                    Fail(QStringLiteral("the property \"%1\" holds \"%2\", which is not a whole "
                                        "number")
                             .arg(name, token.left(20)));
                if (v.size() >= size_t(capacity))
                    Fail(QStringLiteral("the property \"%1\" holds more than %2 numbers")
                             .arg(name)
                             .arg(capacity));
                v.push_back(n);
            });
            ElementTokens(in, t);
        }
    }

    void ReadTileset(XmlInput& in) {
        if (parts_.tilesets.size() >= MaxTilesets)
            Fail(QStringLiteral("the map has over %1 tilesets").arg(MaxTilesets));
        TmxTileset ts;
        ts.firstGid = in.IntAttribute("firstgid", 0);
        if (ts.firstGid < 1) Fail(QStringLiteral("a tileset has no firstgid of 1 or more"));
        if (parts_.tilesets.count(ts.firstGid))
            Fail(QStringLiteral("two tilesets start at the tile id %1").arg(ts.firstGid));
        const QString source = in.Attribute("source");
        if (source.isEmpty()) {
            ReadTilesetBody(in, dir_, ts);
        } else {
            in.Skip();
            ReadExternalTileset(dir_.filePath(source), ts);
        }
        parts_.tilesets[ts.firstGid] = std::move(ts);
    }

    void ReadTilesetBody(XmlInput& in, const QDir& dir, TmxTileset& ts) {
        ts.name = in.Attribute("name").left(80);
        ts.tileCount = in.IntAttribute("tilecount", -1);
        if (ts.tileCount < 0)
            Fail(QStringLiteral("the tileset \"%1\" gives no tile count").arg(ts.name));
        bool image = false;
        while (in.NextStartElement()) {
            if (in.Name() == QLatin1String("image")) {
                const QString source = in.Attribute("source");
                if (source.isEmpty() || !QFileInfo(dir.filePath(source)).isFile())
                    Fail(QStringLiteral("the picture \"%1\" of the tileset \"%2\" is missing")
                             .arg(source.left(80), ts.name));
                image = true;
                in.Skip();
            } else if (in.Name() == QLatin1String("tile")) {
                const int id = in.IntAttribute("id", -1);
                if (ts.tiles.contains(id))
                    Fail(QStringLiteral("the tileset \"%1\" describes its tile %2 twice")
                             .arg(ts.name)
                             .arg(id));
                std::array<std::optional<int>, TilePropertyCount> values;
                while (in.NextStartElement()) {
                    if (in.Name() == QLatin1String("properties")) {
                        ReadTileProperties(in, ts, id, values);
                    } else {
                        in.Skip();
                    }
                }
                // A tile no layer can reach takes no room.
                if (id >= 0 && id < ts.tileCount) ts.tiles.insert(id, values);
            } else {
                in.Skip();
            }
        }
        if (!image) Fail(QStringLiteral("the tileset \"%1\" has no picture").arg(ts.name));
    }

    void ReadExternalTileset(const QString& path, TmxTileset& ts) {
        QFile f;
        if (Status opened = OpenRegularFile(f, path); !opened)
            Fail(QStringLiteral("cannot open the tileset file %1").arg(opened.Message()));
        // The map and every tileset file it reads count together.
        budget_ -= f.size();
        if (budget_ < 0)
            Fail(QStringLiteral("the tileset file \"%1\" takes the map and its tilesets over %2 "
                                "MB")
                     .arg(path)
                     .arg(MaxTmxFileSize / (1024 * 1024)));
        XmlInput in(f, tokens_);
        if (!in.NextStartElement() || in.Name() != QLatin1String("tileset"))
            Fail(QStringLiteral("\"%1\" is not a tileset file").arg(path));
        ReadTilesetBody(in, QFileInfo(path).dir(), ts);
    }

    void ReadLayer(XmlInput& in) {
        const QString name = in.Attribute("name");
        const bool ours = name == LayerTiles || name == LayerRoads ||
                          std::find(std::begin(LayerTerrain), std::end(LayerTerrain), name) !=
                              std::end(LayerTerrain);
        if (!ours) {
            in.Skip();
            return;
        }
        // Tiled draws a later layer of the same name over the first.
        if (parts_.layers.count(name))
            Fail(QStringLiteral("the layer \"%1\" is there twice").arg(name));
        const int w = in.IntAttribute("width", 0), h = in.IntAttribute("height", 0);
        if (w != parts_.width || h != parts_.height)
            Fail(QStringLiteral("the layer \"%1\" is %2x%3, the map %4x%5")
                     .arg(name)
                     .arg(w)
                     .arg(h)
                     .arg(parts_.width)
                     .arg(parts_.height));
        std::vector<std::uint32_t>& gids = parts_.layers[name];
        bool data = false;
        while (in.NextStartElement()) {
            if (in.Name() != QLatin1String("data")) {
                in.Skip();
                continue;
            }
            if (data) Fail(QStringLiteral("the layer \"%1\" holds a second <data>").arg(name));
            ReadLayerData(in, name, w * h, gids);
            data = true;
        }
        if (!data) Fail(QStringLiteral("the layer \"%1\" has no data").arg(name));
    }

    QDir dir_;
    qint64 budget_;
    qint64 tokens_ = 0;
    TmxParts parts_;
};

} // namespace

QString ReadTmx(QIODevice& file, const QDir& dir, const TileCatalogue& cat, TmxMap& out) {
    try {
        Reader(dir, MaxTmxFileSize - file.size()).Read(file, cat, out);
    } catch (const Fault& f) {
        return f.text;
    }
    return {};
}

Result<TmxMap> ImportTmx(const QString& path, const TileCatalogue& cat) {
    RecoverFileSetsBeside(path); // an export killed part-way beside it is put right
    QFile f;
    if (Status opened = OpenRegularFile(f, path); !opened) return opened.Fault();
    if (f.size() > MaxTmxFileSize)
        return FileFault(path, QStringLiteral("the file is larger than %1 MB, too large for a map")
                                   .arg(MaxTmxFileSize / (1024 * 1024)));
    TmxMap map;
    QString err = ReadTmx(f, QFileInfo(path).dir(), cat, map);
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
