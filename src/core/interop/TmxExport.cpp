#include "interop/TmxExport.h"
#include "files/SafeFile.h"
#include "interop/TmxFormat.h"
#include "interop/TmxTilesets.h"
#include "map/MapFile.h"
#include "pictures/Bitmap.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamWriter>
#include <functional>

namespace zem {

using namespace tmx;

namespace {

QByteArray EncodePng(const QImage& image) {
    return EncodeImage(image, "PNG", true);
}

// One number per hex, a line per row.
QString HexValues(const HexMap& map, const std::function<int(const MapCell&)>& value,
                  bool& anyNonZero) {
    QString text;
    anyNonZero = false;
    for (int y = 0; y < map.MapHeight; ++y) {
        for (int x = 0; x < map.MapWidth; ++x) {
            const int v = value(map.Cell(x, y));
            anyNonZero |= v != 0;
            if (x) text += ' ';
            text += QString::number(v);
        }
        text += '\n';
    }
    return text;
}

class Writer {
  public:
    Writer(const HexMap& map, QByteArray& out) : map_(map), buf_(&out) {
        buf_.open(QIODevice::WriteOnly);
        xml_.setDevice(&buf_);
        xml_.setAutoFormatting(true);
        xml_.setAutoFormattingIndent(1);
    }

    QXmlStreamWriter& Xml() { return xml_; }

    void Property(const QString& name, const QString& value, bool multiLine) {
        xml_.writeStartElement("property");
        xml_.writeAttribute("name", name);
        // Tiled writes a text of several lines as the element's content.
        if (multiLine) {
            xml_.writeCharacters(value);
        } else {
            xml_.writeAttribute("value", value);
        }
        xml_.writeEndElement();
    }

    void Tileset(const Sheet& s, int firstGid, const QString& imageName) {
        xml_.writeStartElement("tileset");
        xml_.writeAttribute("firstgid", QString::number(firstGid));
        xml_.writeAttribute("name", s.name);
        xml_.writeAttribute("tilewidth", QString::number(s.tileWidth));
        xml_.writeAttribute("tileheight", QString::number(s.tileHeight));
        xml_.writeAttribute("tilecount", QString::number(s.Count()));
        xml_.writeAttribute("columns", QString::number(s.columns));
        if (s.offsetX || s.offsetY) {
            xml_.writeStartElement("tileoffset");
            xml_.writeAttribute("x", QString::number(s.offsetX));
            xml_.writeAttribute("y", QString::number(s.offsetY));
            xml_.writeEndElement();
        }
        xml_.writeStartElement("image");
        xml_.writeAttribute("source", imageName);
        xml_.writeAttribute("width", QString::number(s.image.width()));
        xml_.writeAttribute("height", QString::number(s.image.height()));
        xml_.writeEndElement();
        if (!s.property.isEmpty())
            for (int id = 0; id < s.Count(); ++id) {
                xml_.writeStartElement("tile");
                xml_.writeAttribute("id", QString::number(id));
                xml_.writeStartElement("properties");
                xml_.writeStartElement("property");
                xml_.writeAttribute("name", s.property);
                xml_.writeAttribute("type", "int");
                xml_.writeAttribute("value", QString::number(s.values[size_t(id)]));
                xml_.writeEndElement();
                xml_.writeEndElement();
                xml_.writeEndElement();
            }
        xml_.writeEndElement();
    }

    void Layer(int id, const QString& name, bool visible, const std::function<int(int, int)>& gid) {
        xml_.writeStartElement("layer");
        xml_.writeAttribute("id", QString::number(id));
        xml_.writeAttribute("name", name);
        xml_.writeAttribute("width", QString::number(map_.MapWidth));
        xml_.writeAttribute("height", QString::number(map_.MapHeight));
        if (!visible) xml_.writeAttribute("visible", "0");
        xml_.writeStartElement("data");
        xml_.writeAttribute("encoding", "csv");
        QString csv = "\n";
        for (int y = 0; y < map_.MapHeight; ++y) {
            for (int x = 0; x < map_.MapWidth; ++x) {
                csv += QString::number(gid(x, y));
                if (x + 1 < map_.MapWidth || y + 1 < map_.MapHeight) csv += ',';
            }
            csv += '\n';
        }
        xml_.writeCharacters(csv);
        xml_.writeEndElement();
        xml_.writeEndElement();
    }

  private:
    const HexMap& map_;
    QBuffer buf_;
    QXmlStreamWriter xml_;
};

} // namespace

TmxFiles MakeTmx(const HexMap& map, const TileCatalogue& cat, const TileImages& images,
                 const QString& baseName) {
    std::vector<int> frameIds;
    const Sheet sheets[] = {TileSheet(cat, images), FrameSheet(map, cat, images, frameIds),
                            TerrainSheet(), RoadSheet()};
    const Sheet& tiles = sheets[0];
    int firstGid[4];
    TmxFiles files;
    for (int i = 0, gid = 1; i < 4; ++i) {
        firstGid[i] = gid;
        gid += sheets[i].Count();
        files.pictures.emplace_back(baseName + '-' + sheets[i].name + ".png",
                                    EncodePng(sheets[i].image));
    }
    std::vector<int> tileId(MaxTiles, -1);
    for (int id = 0; id < tiles.Count(); ++id)
        tileId[size_t(tiles.values[size_t(id)])] = id;

    Writer w(map, files.tmx);
    QXmlStreamWriter& xml = w.Xml();
    xml.writeStartDocument();
    xml.writeStartElement("map");
    xml.writeAttribute("version", "1.8");
    xml.writeAttribute("orientation", "hexagonal");
    xml.writeAttribute("renderorder", "right-down");
    xml.writeAttribute("width", QString::number(map.MapWidth));
    xml.writeAttribute("height", QString::number(map.MapHeight));
    xml.writeAttribute("tilewidth", QString::number(CellWidth));
    xml.writeAttribute("tileheight", QString::number(CellHeight));
    xml.writeAttribute("infinite", "0");
    xml.writeAttribute("hexsidelength", QString::number(HexSideLength));
    xml.writeAttribute("staggeraxis", "x");
    xml.writeAttribute("staggerindex", "odd");
    xml.writeAttribute("backgroundcolor", "#008000");
    xml.writeAttribute("nextlayerid", "7");
    xml.writeAttribute("nextobjectid", "1");

    // The values no layer shows; a property left out means all zero.
    QList<std::pair<QString, QString>> props;
    auto addValues = [&](const QString& name, const std::function<int(const MapCell&)>& f) {
        bool any = false;
        const QString text = HexValues(map, f, any);
        if (any) props.append({name, text});
    };
    addValues(PropPL, [](const MapCell& c) { return int(c.PL); });
    addValues(PropE2, [](const MapCell& c) { return int(c.E2); });
    addValues(PropE3, [](const MapCell& c) { return int(c.E3); });
    addValues(PropRCRest,
              [](const MapCell& c) { return int(std::int16_t(std::uint16_t(c.RC) & ~RoadMask)); });
    for (int i = 0; i < 24; ++i)
        addValues(PropExtra(i), [i](const MapCell& c) { return int(c.extra[size_t(i)]); });
    QString unpictured, outside;
    for (int y = 0; y < map.MapHeight; ++y)
        for (int x = 0; x < map.MapWidth; ++x) {
            const int t = map.Cell(x, y).bmp;
            if (t != 0 && (!TileCatalogue::IsTileNumber(t) || tileId[size_t(t)] < 0))
                unpictured += QStringLiteral("%1 %2 %3\n").arg(x).arg(y).arg(t);
        }
    for (int y = 0; y < MaxMapSize; ++y)
        for (int x = 0; x < MaxMapSize; ++x)
            if (!map.OnMap(x, y) && map.Cell(x, y) != MapCell{})
                outside += QStringLiteral("%1 %2 ").arg(x).arg(y) +
                           QString::fromLatin1(CellLine(map.Cell(x, y)).simplified()) + '\n';
    if (!unpictured.isEmpty()) props.append({PropUnpictured, unpictured});
    if (!outside.isEmpty()) props.append({PropOutside, outside});
    QString exported;
    for (int y = 0; y < map.MapHeight; ++y) {
        for (int x = 0; x < map.MapWidth; ++x) {
            const MapCell& c = map.Cell(x, y);
            if (x) exported += ' ';
            exported += QStringLiteral("%1 %2 %3 %4").arg(c.bmp).arg(c.TT1).arg(c.TT2).arg(c.TT3);
        }
        exported += '\n';
    }
    props.append({PropExported, exported});
    if (!props.isEmpty()) {
        xml.writeStartElement("properties");
        for (const auto& [name, value] : props)
            w.Property(name, value, true);
        xml.writeEndElement();
    }

    for (int i = 0; i < 4; ++i)
        w.Tileset(sheets[i], firstGid[i], files.pictures[size_t(i)].first);

    w.Layer(1, LayerTiles, true, [&](int x, int y) {
        const int t = map.Cell(x, y).bmp;
        if (!TileCatalogue::IsTileNumber(t) || tileId[size_t(t)] < 0) return 0;
        return firstGid[0] + tileId[size_t(t)];
    });
    w.Layer(2, LayerFrame, true,
            [&](int x, int y) { return firstGid[1] + frameIds[size_t(y * map.MapWidth + x)]; });
    for (int k = 0; k < 3; ++k)
        w.Layer(3 + k, LayerTerrain[k], false, [&](int x, int y) {
            const MapCell& c = map.Cell(x, y);
            const int code = k == 0 ? c.TT1 : k == 1 ? c.TT2 : c.TT3;
            return code ? firstGid[2] + code : 0;
        });
    w.Layer(6, LayerRoads, false, [&](int x, int y) {
        const int rc = map.Cell(x, y).RC;
        int id = 0;
        for (int b = 0; b < 6; ++b)
            if (rc & RoadTileBits[b]) id |= 1 << b;
        return id ? firstGid[3] + id : 0;
    });
    xml.writeEndElement();
    xml.writeEndDocument();
    return files;
}

Status ExportTmx(const HexMap& map, const TileCatalogue& cat, const TileImages& images,
                 const QString& path) {
    if (map.MapWidth < 1 || map.MapHeight < 1 || map.MapWidth > MaxMapSize ||
        map.MapHeight > MaxMapSize)
        return FileFault(path, QStringLiteral("the map has no hexes to export"));
    // Through a link the map goes to the file the link names: its pictures
    // go beside that file, where the map looks for them.
    QString real;
    if (const int err = ResolveLinks(path, real)) return FileFault(path, SystemText(err), true);
    const TmxFiles files = MakeTmx(map, cat, images, QFileInfo(path).completeBaseName());
    // The map and its pictures replace an earlier export together or not at
    // all: a map never points at pictures of another export, or at none.
    FileSet set;
    for (const auto& [name, bytes] : files.pictures) {
        const QString file = QFileInfo(real).dir().filePath(name);
        if (bytes.isEmpty()) return FileFault(file, QStringLiteral("cannot encode the picture"));
        if (Status staged = set.Stage(file, bytes); !staged) return staged;
    }
    if (Status staged = set.Stage(path, files.tmx); !staged) return staged;
    return set.Commit();
}

} // namespace zem
