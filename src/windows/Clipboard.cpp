#include "windows/Clipboard.h"
#include "map/HexLayout.h"
#include "render/DrawMap.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QMimeData>

namespace zem {

QString CopyHexes(const ZemState& st, const HexSet& selection) {
    HexPos a, b;
    if (!selection.Bounds(a, b)) return QStringLiteral("Select hexes to copy first (Select, S)");
    const HexMap& m = st.map;
    b = {std::min(b.x, m.MapWidth - 1), std::min(b.y, m.MapHeight - 1)};
    if (b.x < a.x || b.y < a.y) return QStringLiteral("The selection lies off the map");
    auto* data = new QMimeData;
    data->setText(QString::fromLatin1(MapFileText(m, a.x, a.y, b.x, b.y)));
    QImage picture(HexLayout::WholeMapSize(b.x - a.x + 1, b.y - a.y + 1), QImage::Format_RGB32);
    picture.fill(ToQColor(clGreen));
    DrawHexes(picture, m, st.cat, st.images, {a.x, b.x, a.y, b.y}, {true, false});
    data->setImageData(picture);
    QApplication::clipboard()->setMimeData(data);
    return QStringLiteral("Copied %1 x %2 hexes").arg(b.x - a.x + 1).arg(b.y - a.y + 1);
}

std::optional<MapFileData> ClipboardSection() {
    QByteArray text = QApplication::clipboard()->text().toLatin1();
    QBuffer buffer(&text);
    buffer.open(QIODevice::ReadOnly);
    Result<MapFileData> section = ReadMapFile(buffer, QStringLiteral("clipboard"), 1);
    if (!section) return std::nullopt;
    return std::move(section.Value());
}

} // namespace zem
