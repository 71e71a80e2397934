#pragma once
// Section files: a rectangle of hexes written as a map file of its own, and
// pasted into a map at any hex.

#include "map/MapFile.h"

namespace zem {

// The section between two corners, each clipped to the 80 by 80 grid.
// Returns false for a section narrower or lower than 2 hexes.
bool SectionText(const HexMap& map, HexPos c1, HexPos c2, QByteArray& text);

// Pastes the cells with their top-left at `at`; what falls beyond the map's
// right or bottom edge is dropped. The view goes back to the top-left.
void PasteCells(const MapFileData& section, HexPos at, HexMap& map);
// The same, the view left where it is.
void PasteCellsHere(const MapFileData& section, HexPos at, HexMap& map);

} // namespace zem
