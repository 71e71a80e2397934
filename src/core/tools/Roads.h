#pragma once
// Road connections: the RC bits between neighbouring hexes.

#include "map/HexMap.h"

namespace zem {

// True when (x, y) lies on the map and its TT2 is 1.
bool IsRoadHex(const HexMap& map, int x, int y);
// Adds the bits between neighbouring road hexes, on both ends; never
// removes a bit.
void MakeRoadConnections(HexMap& map);
// RC = 0 for every hex of the map; the grid outside the map is kept.
void ClearRoadConnections(HexMap& map);
// Flips the connection between two neighbouring hexes in both cells. Not
// neighbours, or a hex outside the grid: nothing changes.
void ToggleRoadPair(HexMap& map, HexPos a, HexPos b);
// The connections the road bits of the map's hexes make: a pair set on both
// ends counts once, a bit towards a hex without its opposite once.
int CountRoadConnections(const HexMap& map);

} // namespace zem
