#include "zemtool/Commands.h"
#include "convert/SketchConvert.h"
#include "convert/TerrainFix.h"
#include "edit/EditorState.h"
#include "edit/ZemState.h"
#include "export/PG2Export.h"
#include "files/SafeFile.h"
#include "interop/PG2Import.h"
#include "interop/TmxExport.h"
#include "interop/TmxImport.h"
#include "map/MapFile.h"
#include "render/DrawMap.h"
#include "render/StratDraw.h"
#include "render/WholeMapPicture.h"
#include "runtime/Errors.h"
#include "tools/Roads.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <array>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <unistd.h>

namespace zem::tool {

namespace {

const char* const Overview =
    "usage: zemtool [--workspace DIR] COMMAND [ARGS]\n"
    "\n"
    "commands:\n"
    "  info MAP.zep                                  size and counts of a map\n"
    "  new WxH --tile T -o OUT.zep                   a new map filled with tile T\n"
    "  convert SKETCH.bmp -o OUT.zep [--scale N] [--seed S]\n"
    "                                                draft a map from a sketch\n"
    "  fix MAP.zep TEMPLATE.txt -o OUT.zep [--seed S] [--region X0,Y0,X1,Y1]\n"
    "                                                one terrain-fixing pass\n"
    "  roads MAP.zep -o OUT.zep [--clear]            make road connections\n"
    "  export-pg2 MAP.zep --number N [--out DIR]     Panzer General 2 export\n"
    "  render MAP.zep -o OUT.png [--roads]           the whole map as a picture\n"
    "  strat MAP.zep -o OUT.png                      the strategic overview\n"
    "  export-tmx MAP.zep -o OUT.tmx                 a map for Tiled, pictures beside it\n"
    "  import-tmx IN.tmx -o OUT.zep                  a map file from such a Tiled map\n"
    "  import-pg2 MAPN.map -o OUT.zep [--pieces DIR] [--no-pieces] [--report FILE]\n"
    "                                                a Panzer General 2 map back\n"
    "\n"
    "--workspace DIR holds Mapset.txt, tilbmp/, Gmap.txt and the strategic tiles\n"
    "(default: the current directory). 'zemtool COMMAND --help' tells more;\n"
    "'zemtool --version' prints the version.\n";

// A failure that ends the command: exit code and one line, then the
// command's usage for a usage error unless `alone`.
struct Stop {
    int code;
    QString message;
    bool alone = false;
};

[[noreturn]] void Bad(const QString& message) {
    throw Stop{Failed, message};
}
[[noreturn]] void Wrong(const QString& message) {
    throw Stop{Usage, message};
}

// The command's words: positionals, and options with or without a value.
struct Words {
    QStringList positional;
    std::map<QString, QString> options;
    bool help = false;

    Words(const QStringList& args, const QStringList& valued, const QStringList& flags) {
        for (int i = 0; i < args.size(); ++i) {
            const QString& a = args[i];
            if (a == "--help" || a == "-h") {
                help = true;
            } else if (valued.contains(a)) {
                if (i + 1 >= args.size()) Wrong(a + " needs a value");
                options[a] = args[++i];
            } else if (flags.contains(a)) {
                options[a] = QString();
            } else if (a.startsWith('-') && a.size() > 1) {
                Wrong("unknown option " + a);
            } else {
                positional << a;
            }
        }
    }
    bool Has(const QString& o) const { return options.count(o) > 0; }
    QString Value(const QString& o) const { return Has(o) ? options.at(o) : QString(); }
    int Number(const QString& o, int fallback) const {
        if (!Has(o)) return fallback;
        bool ok = false;
        const int v = options.at(o).toInt(&ok);
        if (!ok) Wrong(o + " takes a whole number, not '" + options.at(o) + "'");
        return v;
    }
    void Expect(int count, const QString& names) const {
        if (positional.size() != count) Wrong("expected " + names);
    }
    QString Output() const {
        if (!Has("-o")) Wrong("-o OUT is required");
        return Value("-o");
    }
};

struct Context {
    QDir workspace;
    QTextStream& out;
    TileCatalogue cat;
    TileImages images;
    bool catalogueRead = false;

    void NeedCatalogue() {
        if (catalogueRead) return;
        if (Status read = LoadMapset(workspace, cat); !read) Bad(read.Message());
        catalogueRead = true;
    }
    void NeedPictures() {
        NeedCatalogue();
        if (Status read = LoadTileBitmaps(cat, images, workspace); !read) Bad(read.Message());
    }
};

HexMap ReadMap(const QString& path) {
    Result<MapFileData> data = ReadMapFile(path);
    if (!data) Bad(data.Message());
    HexMap map;
    ApplyMapFile(data.Value(), map);
    return map;
}

void Save(const QString& path, const QByteArray& bytes) {
    if (Status saved = SaveFileSafely(path, bytes); !saved) Bad(saved.Message());
}

void SaveImage(const QString& path, const QImage& img) {
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext != "png" && ext != "bmp") Wrong(path + ": the picture must end in .png or .bmp");
    const QByteArray bytes = EncodeImage(img, ext == "png" ? "PNG" : "BMP");
    if (bytes.isEmpty()) Bad(path + ": cannot encode the picture");
    Save(path, bytes);
}

std::unique_ptr<Random> MakeRandom(const Words& w) {
    if (!w.Has("--seed")) return std::make_unique<Random>();
    return std::make_unique<Random>(std::uint32_t(w.Number("--seed", 0)));
}

int Info(Context& c, const Words& w) {
    w.Expect(1, "MAP.zep");
    c.NeedCatalogue();
    const HexMap map = ReadMap(w.positional[0]);
    std::map<int, int> tiles, tt1;
    int roadHexes = 0, roadBits = 0;
    for (int y = 0; y < map.MapHeight; ++y)
        for (int x = 0; x < map.MapWidth; ++x) {
            const MapCell& cell = map.Cell(x, y);
            ++tiles[cell.bmp];
            ++tt1[cell.TT1];
            roadHexes += IsRoadHex(map, x, y);
            roadBits += (cell.RC & 0xFF) != 0;
        }
    c.out << "size " << map.MapWidth << "x" << map.MapHeight << "\n";
    c.out << "tiles:\n";
    for (auto [t, n] : tiles)
        c.out << "  " << t << " " << n << "\n";
    c.out << "terrain type 1:\n";
    for (auto [t, n] : tt1)
        c.out << "  " << c.cat.TT1Name(t) << " " << n << "\n";
    c.out << "road hexes " << roadHexes << "\n";
    c.out << "hexes with road connections " << roadBits << "\n";
    return Ok;
}

int New(Context& c, const Words& w) {
    w.Expect(1, "WxH");
    const QStringList wh = w.positional[0].toLower().split('x');
    bool okW = false, okH = false;
    const int width = wh.size() == 2 ? wh[0].toInt(&okW) : 0;
    const int height = wh.size() == 2 ? wh[1].toInt(&okH) : 0;
    if (!okW || !okH) Wrong("the size is written WxH, as 44x39");
    if (!w.Has("--tile")) Wrong("--tile T is required");
    const int tile = w.Number("--tile", 0);
    if (!TileCatalogue::IsTileNumber(tile))
        Bad(QString("tile %1 is not a tile number (0..647)").arg(tile));
    const QString out = w.Output();
    c.NeedCatalogue();
    HexMap map;
    map.MapWidth = std::clamp(width, 5, MaxMapSize);
    map.MapHeight = std::clamp(height, 5, MaxMapSize);
    for (int k = 0; k < map.MapWidth * map.MapHeight; ++k)
        PlaceTile(map, c.cat, k % map.MapWidth, k / map.MapWidth, tile);
    Save(out, MapFileText(map));
    return Ok;
}

int Convert(Context& c, const Words& w) {
    w.Expect(1, "SKETCH.bmp");
    const int scale = w.Number("--scale", 5);
    if (scale < 3 || scale > 10) Wrong("--scale lies from 3 to 10");
    const QString out = w.Output();
    c.NeedCatalogue();
    Result<Bitmap> loaded = Bitmap::Load(w.positional[0]);
    if (!loaded) Bad(loaded.Message());
    const Bitmap& sketch = loaded.Value();
    Result<ColourTable> colours = LoadColourTable(c.workspace);
    if (!colours) Bad(colours.Message());
    const ColourTable& table = colours.Value();
    HexMap map;
    const QSize size = SketchMapSize(sketch.Image().size(), scale);
    if (size.width() < 1 || size.height() < 1)
        Bad(w.positional[0] + QString(": smaller than one hex at %1 pixels per hex").arg(scale));
    map.MapWidth = size.width();
    map.MapHeight = size.height();
    auto rng = MakeRandom(w);
    ConvertSketch(map, c.cat, *rng, table, sketch.Image(), scale);
    Save(out, MapFileText(map));
    return Ok;
}

// "X0,Y0,X1,Y1": four whole numbers, or the command is refused in one line.
FixRegion Region(const QString& text) {
    static const QRegularExpression whole(QStringLiteral("^-?[0-9]+$"));
    const QStringList parts = text.split(',');
    std::array<int, 4> v{};
    bool ok = parts.size() == 4;
    for (size_t i = 0; ok && i < 4; ++i) {
        ok = whole.match(parts[qsizetype(i)]).hasMatch();
        if (ok) v[i] = parts[qsizetype(i)].toInt(&ok); // beyond an int is no whole number here
    }
    if (!ok)
        throw Stop{Usage, "--region takes four whole numbers X0,Y0,X1,Y1, not '" + text + "'",
                   true};
    return {v[0], v[1], v[2], v[3]};
}

int Fix(Context& c, const Words& w) {
    w.Expect(2, "MAP.zep TEMPLATE.txt");
    const QString out = w.Output();
    // The whole map's examined hexes, or those of the region only.
    const FixRegion region = w.Has("--region") ? Region(w.Value("--region"))
                                               : FixRegion{0, 0, MaxMapSize - 1, MaxMapSize - 1};
    c.NeedCatalogue();
    HexMap map = ReadMap(w.positional[0]);
    Result<TerrainTemplate> read = LoadTerrainTemplate(w.positional[1]);
    if (!read) Bad(read.Message());
    const TerrainTemplate& tmpl = read.Value();
    auto rng = MakeRandom(w);
    FixTerrain(map, c.cat, tmpl, *rng, region);
    Save(out, MapFileText(map));
    return Ok;
}

int Roads(Context&, const Words& w) {
    w.Expect(1, "MAP.zep");
    const QString out = w.Output();
    HexMap map = ReadMap(w.positional[0]);
    if (w.Has("--clear")) ClearRoadConnections(map);
    MakeRoadConnections(map);
    Save(out, MapFileText(map));
    return Ok;
}

int ExportPg2(Context& c, const Words& w) {
    w.Expect(1, "MAP.zep");
    if (!w.Has("--number")) Wrong("--number N is required");
    const int number = w.Number("--number", 0);
    const QDir dir(w.Has("--out") ? w.Value("--out") : QString("."));
    const HexMap map = ReadMap(w.positional[0]);
    if (map.MapWidth != PG2Width || map.MapHeight != PG2Height)
        Bad(w.positional[0] + ": Map must be 44x39");
    c.NeedPictures();
    if (Status done = ExportPG2(map, c.cat, c.images, number, dir); !done) Bad(done.Message());
    for (const QString& name : PG2FileNames(number))
        c.out << dir.filePath(name) << "\n";
    return Ok;
}

int Render(Context& c, const Words& w) {
    w.Expect(1, "MAP.zep");
    const QString out = w.Output();
    const QString ext = QFileInfo(out).suffix().toLower();
    if (ext != "png" && ext != "bmp") Wrong(out + ": the picture must end in .png or .bmp");
    const HexMap map = ReadMap(w.positional[0]);
    c.NeedPictures();
    // Band by band into the file: an 80x80 picture never lies whole in memory.
    if (Status saved = SaveWholeMap(out, ext == "png" ? PictureFormat::Png : PictureFormat::Bmp,
                                    map, c.cat, c.images, w.Has("--roads"));
        !saved)
        Bad(saved.Message());
    return Ok;
}

int Strat(Context& c, const Words& w) {
    w.Expect(1, "MAP.zep");
    const QString out = w.Output();
    const HexMap map = ReadMap(w.positional[0]);
    c.NeedCatalogue();
    ImageList tiles;
    if (Status read = LoadStratTiles(tiles, c.cat.TT1Count, c.workspace); !read)
        Bad(read.Message());
    SaveImage(out, RenderStratMap(map, tiles));
    return Ok;
}

int ExportTmxCommand(Context& c, const Words& w) {
    w.Expect(1, "MAP.zep");
    const QString out = w.Output();
    const HexMap map = ReadMap(w.positional[0]);
    c.NeedPictures();
    if (Status done = ExportTmx(map, c.cat, c.images, out); !done) Bad(done.Message());
    return Ok;
}

int ImportTmxCommand(Context& c, const Words& w) {
    w.Expect(1, "IN.tmx");
    const QString out = w.Output();
    c.NeedCatalogue();
    const Result<TmxMap> tmx = ImportTmx(w.positional[0], c.cat);
    if (!tmx) Bad(tmx.Message());
    HexMap map;
    ApplyTmxMap(tmx.Value(), map);
    Save(out, MapFileText(map));
    return Ok;
}

// How far the match has come, on a terminal's standard error once it has
// taken longer than a second; the line goes again when it is done. A pass
// the matcher adds makes the total grow: the share shown waits for it
// rather than going back.
class Progress {
  public:
    void Show(int done, int total) {
        if (!shown_ && (timer_.elapsed() < 1000 || !::isatty(2))) return;
        const int percent = total > 0 ? int(std::min<qint64>(100, qint64(done) * 100 / total)) : 0;
        if (shown_ && percent <= percent_) return;
        shown_ = true;
        percent_ = percent;
        std::fprintf(stderr, "\rimport-pg2: matching the hexes, %d%%", percent);
        std::fflush(stderr);
    }
    void Clear() {
        if (shown_) std::fputs("\r\033[K", stderr);
    }

  private:
    QElapsedTimer timer_ = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    bool shown_ = false;
    int percent_ = 0;
};

int ImportPg2Command(Context& c, const Words& w) {
    w.Expect(1, "MAPN.map");
    const QString out = w.Output();
    PG2ImportOptions opt;
    opt.piecesDir = w.Value("--pieces");
    opt.noPieces = w.Has("--no-pieces");
    opt.catalogueName = c.workspace.filePath("Mapset.txt");
    // The game files are read, never written over by a slip of -o, also
    // not through a link or another spelling of the path.
    const QStringList inputs = PG2ImportInputs(w.positional[0], opt);
    for (const QString& input : inputs)
        for (const QString& output : {out, w.Value("--report")})
            if (!output.isEmpty() && SameFile(output, input))
                Bad(output == input ? output + " is a file the import reads"
                                    : output + ": is " + input + ", a file the import reads");
    opt.pieces = inputs.mid(1);
    c.NeedPictures();
    Progress progress;
    opt.control.progress = [&progress](int done, int total) { progress.Show(done, total); };
    const Result<PG2Import> imp = ImportPG2(w.positional[0], c.cat, c.images, opt);
    progress.Clear();
    if (!imp) Bad(imp.Message());
    HexMap map;
    ApplyPG2Import(imp.Value(), map);
    // The report and the map arrive together or not at all.
    FileSet files;
    if (w.Has("--report"))
        if (Status st = files.Stage(w.Value("--report"), imp->Report()); !st) Bad(st.Message());
    if (Status st = files.Stage(out, MapFileText(map)); !st) Bad(st.Message());
    if (Status st = files.Commit(); !st) Bad(st.Message());
    c.out << imp->Summary() << "\n";
    int beyond = 0;
    for (int y = 0; y < PG2Height; ++y)
        beyond += !(map.Cell(PG2Width, y) == MapCell{});
    if (beyond > 0)
        c.out << out << " holds 44 columns: the 45th record of " << beyond
              << " rows (column 44) is not kept\n";
    return Ok;
}

struct Command {
    int (*run)(Context&, const Words&);
    QStringList valued, flags;
    const char* usage;
};

const std::map<QString, Command>& Commands() {
    static const std::map<QString, Command> commands = {
        {"info",
         {Info,
          {},
          {},
          "zemtool info MAP.zep\n  Prints the size, the hexes per tile number and per terrain type "
          "1,\n  the road hexes and the hexes with road connections.\n"}},
        {"new",
         {New,
          {"--tile", "-o"},
          {},
          "zemtool new WxH --tile T -o OUT.zep\n  A new map of W by H hexes (each 5..80) filled "
          "with tile T.\n"}},
        {"convert",
         {Convert,
          {"-o", "--scale", "--seed"},
          {},
          "zemtool convert SKETCH.bmp -o OUT.zep [--scale N] [--seed S]\n  Drafts a map from a "
          "sketch through the workspace's Gmap.txt;\n  N sketch pixels per hex (3..10, default "
          "5).\n"}},
        {"fix",
         {Fix,
          {"-o", "--seed", "--region"},
          {},
          "zemtool fix MAP.zep TEMPLATE.txt -o OUT.zep [--seed S] [--region X0,Y0,X1,Y1]\n"
          "  One terrain-fixing pass with the template. With --region only the hexes\n"
          "  with X0 <= x <= X1 and Y0 <= y <= Y1 are examined (never the outer ring),\n"
          "  rows from the top, each from the left.\n"}},
        {"roads",
         {Roads,
          {"-o"},
          {"--clear"},
          "zemtool roads MAP.zep -o OUT.zep [--clear]\n  Makes road connections between road "
          "hexes; --clear removes the old ones first.\n"}},
        {"export-pg2",
         {ExportPg2,
          {"--number", "--out"},
          {},
          "zemtool export-pg2 MAP.zep --number N [--out DIR]\n  Writes the twelve bitmap pieces "
          "and MapN.map of a 44x39 map into DIR.\n"}},
        {"render",
         {Render,
          {"-o"},
          {"--roads"},
          "zemtool render MAP.zep -o OUT.png [--roads]\n  The whole map as one picture (.png or "
          ".bmp), with road lines on request.\n"}},
        {"strat",
         {Strat,
          {"-o"},
          {},
          "zemtool strat MAP.zep -o OUT.png\n  The strategic overview picture (.png or .bmp).\n"}},
        {"export-tmx",
         {ExportTmxCommand,
          {"-o"},
          {},
          "zemtool export-tmx MAP.zep -o OUT.tmx\n  A Tiled map of the map, with its pictures "
          "beside it (OUT-tiles.png,\n  OUT-frame.png, OUT-terrain.png, OUT-roads.png).\n"}},
        {"import-tmx",
         {ImportTmxCommand,
          {"-o"},
          {},
          "zemtool import-tmx IN.tmx -o OUT.zep\n  The map file of a Tiled map written by "
          "export-tmx, also after Tiled\n  has saved it again. A hex painted with another tile "
          "in Tiled gets that\n  tile's terrain codes and values from the workspace's "
          "Mapset.txt.\n"}},
        {"import-pg2",
         {ImportPg2Command,
          {"-o", "--pieces", "--report"},
          {"--no-pieces"},
          "zemtool import-pg2 MAPN.map -o OUT.zep [--pieces DIR] [--no-pieces] [--report FILE]\n"
          "  The map whose Panzer General 2 export gives MAPN.map and its twelve pieces\n"
          "  mapNNsb.bmp (from DIR, else beside the map file), each hex's tile matched\n"
          "  against the workspace's tile pictures; a change of every colour and a piece\n"
          "  moved by up to 2 pixels are taken back first. Prints one line: the hexes\n"
          "  whose tile gives the pieces' pixels exactly, the nearest, the unsure ones\n"
          "  (another tile within the map's noise, or none alike), the pieces moved.\n"
          "  On a terminal a match over a second shows its progress on stderr.\n"
          "  --report FILE lists the unsure hexes; --no-pieces takes each hex's tile\n"
          "  from its terrain byte alone.\n"}},
    };
    return commands;
}

} // namespace

int Run(const QStringList& argsIn, QTextStream& out, QTextStream& err) {
    QStringList args = argsIn;
    QDir workspace = QDir::current();
    if (!args.isEmpty() && args[0] == "--workspace") {
        if (args.size() < 2) {
            err << "zemtool: --workspace needs a folder\n" << Overview;
            return Usage;
        }
        workspace = QDir(args[1]);
        args = args.mid(2);
    }
    if (args.isEmpty() || args[0] == "--help" || args[0] == "-h") {
        (args.isEmpty() ? err : out) << Overview;
        return args.isEmpty() ? Usage : Ok;
    }
    const auto it = Commands().find(args[0]);
    if (it == Commands().end()) {
        err << "zemtool: unknown command '" << args[0] << "'\n" << Overview;
        return Usage;
    }
    const Command& cmd = it->second;
    try {
        const Words words(args.mid(1), cmd.valued, cmd.flags);
        if (words.help) {
            out << "usage: " << cmd.usage;
            return Ok;
        }
        Context c{workspace, out, {}, {}, false};
        return cmd.run(c, words);
    } catch (const Stop& s) {
        err << "zemtool: " << s.message << "\n";
        if (s.code == Usage && !s.alone) err << "usage: " << cmd.usage;
        return s.code;
    }
}

} // namespace zem::tool
