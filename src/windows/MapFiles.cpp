#include "windows/MapFiles.h"

namespace zem {

const QString MapFilter = QStringLiteral("ZEM map files (*.zep)|*.zep|All files (*.*)|*.*");
const QString ErrorTitle = QStringLiteral("Error");

bool SaveText(DialogService& dialogs, const QString& path, const QByteArray& text) {
    const Status saved = SaveFileSafely(path, text);
    if (saved) return true;
    dialogs.MessageBox(saved.Unopened() ? QStringLiteral("Couldn't open file.") : saved.Message(),
                       ErrorTitle);
    return false;
}

std::optional<MapFileData> ReadWhole(DialogService& dialogs, const QString& path, int minSize) {
    Result<MapFileData> data = ReadMapFile(path, minSize);
    if (data) return std::move(data.Value());
    if (!data.Unopened()) dialogs.MessageBox(data.Message(), ErrorTitle);
    return std::nullopt;
}

} // namespace zem
