#pragma once
// Reading back a Panzer General 2 map, "Map%d.map" and its twelve pieces,
// as the map whose export gives them: the terrain and road bytes from the
// map file, every hex's tile from the pieces.

#include "files/Result.h"
#include "interop/PG2Match.h"
#include "map/HexMap.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace zem {

enum class HexFit : std::uint8_t {
    Exact,   // the tile gives the pieces' pixels of the hex exactly
    Nearest, // the nearest tile, ahead of any other by more than the map's noise
    Unsure,  // another tile comes close, or none looks like the hex; or, without
             // pieces, no tile has the terrain byte
    Terrain, // chosen from the terrain byte alone
};

struct PG2ImportOptions {
    QString piecesDir; // empty: the map file's folder
    bool noPieces = false;
    QString catalogueName = QStringLiteral("Mapset.txt"); // for messages
    PG2MatchControl control; // progress, and a cancel that leaves no result
};

struct PG2Import {
    QString name;        // the map file's name, for the summary
    HexMap map;          // 44x39; column 44 holds the 45th record of each row
    int mapNumber = 0;   // the header's number
    int pieceNumber = 0; // the number the pieces' names carry
    bool withPieces = true;
    std::vector<PG2HexMatch> matches; // per hex, index y * 44 + x
    std::vector<HexFit> fits;
    std::array<QPoint, 12> shifts{}; // per piece, how far it had moved
    bool calibrated = false;         // the pieces' colours were taken back
    // The pieces drawn again from the map against the ones read.
    qint64 differingPixels = 0;
    std::vector<HexPos> differingHexes;
    int unkeptBytes = 0; // map file bytes the map does not carry

    int Count(HexFit f) const;
    std::vector<HexPos> Unsure() const;
    // "Map67.map: 1716 hexes, 1716 exact, 0 nearest, 0 unsure; ..."
    QString Summary() const;
    // The unsure hexes, one line each: column, row, tile, next best, margin.
    QByteArray Report() const;
};

// Reads the map file at `path` and, unless told not to, its twelve pieces.
// A map file that is not 14561 bytes or not 44x39, a missing, unreadable or
// wrongly sized piece and a catalogue without tiles are refused with one
// line naming the file; a cancelled import gives PG2Cancelled().
Result<PG2Import> ImportPG2(const QString& path, const TileCatalogue& cat, const TileImages& images,
                            const PG2ImportOptions& opt = {});
// The same from the map file's bytes and the pieces in the export's order
// (none: the tiles from the terrain byte); `name` is the map file's.
Result<PG2Import> ImportPG2(const QString& name, const QByteArray& mapFile,
                            const std::vector<QImage>& pieces, const TileCatalogue& cat,
                            const TileImages& images, const PG2ImportOptions& opt = {});

// The failure of an import cancelled through its options.
bool PG2Cancelled(const Failure& f);

// The first piece of the map file's set that is not there; empty when all
// twelve are.
QString MissingPG2Piece(const QString& path, const PG2ImportOptions& opt = {});
// The files an import reads: the map file and its twelve pieces.
QStringList PG2ImportInputs(const QString& path, const PG2ImportOptions& opt = {});

// Makes the map 44x39 with the imported cells (column 44 included) and the
// view at the top-left.
void ApplyPG2Import(const PG2Import& imp, HexMap& map);

} // namespace zem
