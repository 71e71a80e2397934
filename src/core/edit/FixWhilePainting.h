#pragma once
// Coasts that fix themselves: after an edit by a tool that changed tiles,
// the terrain fixing pass runs around the hexes it changed, and its changes
// belong to the same step.

#include "edit/Edit.h"

namespace zem {

// Some cell's tile differs after the edit.
bool ChangesTiles(const EditOutcome& out);

// The rectangle that holds the hexes the edit changed, grown by two hexes
// on every side (not yet clipped to the hexes a pass examines).
FixRegion AroundChanges(const EditOutcome& out);

namespace edit {

// The fixing pass over AroundChanges(done), as one change that continues
// `done`: its name, size and selection, its cells redrawn one by one.
EditOutcome FixAround(EditTarget t, const TerrainTemplate& tmpl, const EditOutcome& done);

} // namespace edit
} // namespace zem
