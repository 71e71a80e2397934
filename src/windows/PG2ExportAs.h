#pragma once
// Export > Panzer General 2 As...: the game map's thirteen files written as
// one set into a folder and under a map number the user chooses, after a
// question when any of them is there already.

#include "export/PG2Export.h"
#include "runtime/DialogService.h"

namespace zem {

// Asks for the folder and number (offering `target`, which then holds the
// choice), asks before replacing files and writes them. Returns the status
// line of a finished export; empty when the user cancelled or a failure
// was shown.
QString ExportPG2As(DialogService& dialogs, const HexMap& map, const TileCatalogue& cat,
                    const TileImages& images, ExportTarget& target);

// The status line of an export into `folder`: "Exported Map67.map and 12
// pictures to FOLDER".
QString PG2ExportedText(int number, const QString& folder);

// The dialog asking for the folder and map number; lists the thirteen files
// the choice names and says which are there already.
bool AskPG2ExportTarget(ExportTarget& target);

} // namespace zem
