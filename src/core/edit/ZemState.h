#pragma once
// Everything the program keeps from start to end, in one place. main()
// creates it and hands it to every window; each test builds a fresh one.

#include "convert/SketchConvert.h"
#include "convert/TerrainFix.h"
#include "edit/EditorState.h"
#include "map/HexMap.h"
#include "map/TileCatalogue.h"
#include "pictures/ImageList.h"
#include "render/TileImages.h"
#include "runtime/Random.h"

#include <QDir>
#include <memory>

namespace zem {

struct ZemState {
    QDir workDir = QDir::current(); // where the data files lie
    HexMap map;
    TileCatalogue cat;
    TileImages images;
    EditorState ed;
    ColourTable colours;
    TerrainTemplate tmpl;
    int ExportMapNumber = 67;
    ImageList StratIL;
    bool StratTilesPending = true;
    std::unique_ptr<Random> rng = std::make_unique<Random>();

    Random& Rng() { return *rng; }
};

} // namespace zem
