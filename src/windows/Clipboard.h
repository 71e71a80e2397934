#pragma once
// Hexes through the clipboard: the text of a section file (for another
// editor or a text editor) and a picture (for drawing programs).

#include "edit/ZemState.h"
#include "map/HexSet.h"
#include "map/MapFile.h"

#include <optional>

namespace zem {

// Copies the rectangle around the selected hexes that lies on the map; the
// status bar's news of it.
QString CopyHexes(const ZemState& st, const HexSet& selection);
// The section the clipboard holds, if its text is one, and the column it was
// copied from (-1: not known).
std::optional<MapFileData> ClipboardSection(int* column);

} // namespace zem
