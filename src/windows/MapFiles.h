#pragma once
// Map files as the windows save and read them: the described messages for
// what goes wrong.

#include "map/MapFile.h"
#include "runtime/DialogService.h"

#include <optional>

namespace zem {

extern const QString MapFilter;
extern const QString ErrorTitle;

// Saves through a temporary file; reports a failure, never a success.
// True when the file was written.
bool SaveText(DialogService& dialogs, const QString& path, const QByteArray& text);

// Reads a map file whole, or says why not; `minSize` 0 admits an empty
// section. A file that cannot be opened is passed over without a word.
std::optional<MapFileData> ReadWhole(DialogService& dialogs, const QString& path, int minSize);

} // namespace zem
