#pragma once
// The cells of a TMX tile layer as Tiled writes them: CSV, base64, base64
// with zlib or gzip compression, or one <tile> element per cell.

#include <QString>
#include <QXmlStreamReader>
#include <cstdint>
#include <vector>

namespace zem::tmx {

// Reads the <data> element the reader stands on, up to its end, into
// exactly `count` global tile ids. Returns an empty text or the fault.
QString ReadLayerData(QXmlStreamReader& xml, int count, std::vector<std::uint32_t>& gids);

} // namespace zem::tmx
