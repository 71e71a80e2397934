#include "windows/Clipboard.h"
#include "map/HexLayout.h"
#include "render/DrawMap.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QMimeData>
#include <QRegularExpression>

namespace zem {

QString CopyHexes(const ZemState& st, const HexSet& selection) {
    HexPos a, b;
    if (!selection.Bounds(a, b)) return QStringLiteral("Select hexes to copy first (Select, S)");
    const HexMap& m = st.map;
    b = {std::min(b.x, m.MapWidth - 1), std::min(b.y, m.MapHeight - 1)};
    if (b.x < a.x || b.y < a.y) return QStringLiteral("The selection lies off the map");
    auto* data = new QMimeData;
    // A comment after the first line tells a paste where the section came from.
    QByteArray text = MapFileText(m, a.x, a.y, b.x, b.y);
    text.insert(text.indexOf('\n') + 1,
                QStringLiteral(";Copied from hex %1,%2\n").arg(a.x).arg(a.y).toLatin1());
    data->setText(QString::fromLatin1(text));
    QImage picture(HexLayout::WholeMapSize(b.x - a.x + 1, b.y - a.y + 1), QImage::Format_RGB32);
    picture.fill(ToQColor(clGreen));
    DrawHexes(picture, m, st.cat, st.images, {a.x, b.x, a.y, b.y}, {true, false});
    data->setImageData(picture);
    QApplication::clipboard()->setMimeData(data);
    return QStringLiteral("Copied %1 x %2 hexes").arg(b.x - a.x + 1).arg(b.y - a.y + 1);
}

std::optional<MapFileData> ClipboardSection(int* column) {
    QByteArray text = QApplication::clipboard()->text().toLatin1();
    const QRegularExpressionMatch from =
        QRegularExpression(QStringLiteral("^;Copied from hex (\\d+),\\d+$"),
                           QRegularExpression::MultilineOption)
            .match(QString::fromLatin1(text));
    *column = from.hasMatch() ? from.captured(1).toInt() : -1;
    QBuffer buffer(&text);
    buffer.open(QIODevice::ReadOnly);
    Result<MapFileData> section = ReadMapFile(buffer, QStringLiteral("clipboard"), 1);
    if (!section) return std::nullopt;
    return std::move(section.Value());
}

} // namespace zem
