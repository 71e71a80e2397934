#pragma once
// Game maps whose pieces a paint program changed: catalogues (the sample's,
// and 648 tiles where most are altered copies of the sample's), maps on
// them, the changes, and how an import of the changed pieces went against
// the map they were exported from.

#include "interop/PG2Import.h"

#include <QDir>
#include <QString>
#include <functional>
#include <map>
#include <memory>

namespace zem::cases {

struct Catalogue {
    QString name;
    TileCatalogue cat;
    TileImages images;
    QByteArray mapset;              // as Mapset.txt
    std::map<int, QImage> pictures; // by tile number, for tilbmp/
};

// The sample workspace's catalogue, or that catalogue with altered copies
// of its tiles up to 648 numbers (brighter, darker, other gamma or
// contrast, one channel moved, a few pixels repainted).
std::unique_ptr<Catalogue> SampleCatalogue(bool altered);

// The sample island, and random maps of all tiles of a catalogue.
HexMap Island(const Catalogue& c);
HexMap RandomMap(const TileCatalogue& cat, unsigned seed);

using Change = std::function<void(std::vector<QImage>& pieces)>;
struct Degradation {
    const char* name;
    Change change;
};
// Every change measured: JPEG, 216-colour palettes, brightness, gamma,
// contrast, moved pieces.
std::vector<Degradation> Degradations();
Degradation Find(const char* name);

struct Outcome {
    int exact = 0, nearest = 0, unsure = 0;
    int wrong = 0;         // hexes whose tile draws other pixels than the exported one
    int wrongUnlisted = 0; // of them, those not unsure
    qint64 differing = 0;  // pixels where the export of the import differs from the first
    double ms = 0;
    QString summary;
};
Outcome Measure(const Catalogue& c, const HexMap& map, const Degradation& d);

} // namespace zem::cases
