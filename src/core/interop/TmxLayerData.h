#pragma once
// The cells of a TMX tile layer as Tiled writes them: CSV, base64, base64
// with zlib or gzip compression, or one <tile> element per cell.

#include "interop/TmxXml.h"

#include <cstdint>
#include <vector>

namespace zem::tmx {

// Reads the <data> element the input stands on, up to its end, into
// exactly `count` global tile ids; anything else raises a fault naming the
// layer. Data holding more cells than `count` is refused at the first cell
// too many, without reading the rest.
void ReadLayerData(XmlInput& in, const QString& layer, int count, std::vector<std::uint32_t>& gids);

} // namespace zem::tmx
