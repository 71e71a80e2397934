#include "interop/TmxLayerData.h"

#include <zlib.h>

namespace zem::tmx {

namespace {

// Inflates zlib or gzip data that must give exactly `expected` bytes; more
// is refused as soon as it appears, so a small file cannot grow without end.
bool Inflate(const QByteArray& in, qsizetype expected, QByteArray& out) {
    out.resize(expected + 1);
    z_stream zs{};
    if (inflateInit2(&zs, 32 + MAX_WBITS) != Z_OK) return false; // 32: zlib or gzip header
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    zs.avail_in = uInt(in.size());
    zs.next_out = reinterpret_cast<Bytef*>(out.data());
    zs.avail_out = uInt(out.size());
    int rc;
    do {
        rc = inflate(&zs, Z_NO_FLUSH);
    } while (rc == Z_OK && zs.avail_out > 0 && zs.avail_in > 0);
    const qsizetype produced = out.size() - qsizetype(zs.avail_out);
    inflateEnd(&zs);
    out.resize(produced);
    return rc == Z_STREAM_END && produced == expected;
}

QString FromCsv(const QString& text, int count, std::vector<std::uint32_t>& gids) {
    gids.clear();
    const QStringList fields = text.split(',');
    if (fields.size() != count)
        return QStringLiteral("holds %1 cells, not %2").arg(fields.size()).arg(count);
    for (const QString& f : fields) {
        bool ok = false;
        const qulonglong v = f.trimmed().toULongLong(&ok);
        if (!ok || v > 0xFFFFFFFFull)
            return QStringLiteral("holds \"%1\", which is not a tile id").arg(f.trimmed().left(20));
        gids.push_back(std::uint32_t(v));
    }
    return {};
}

QString FromBase64(const QString& text, const QString& compression, int count,
                   std::vector<std::uint32_t>& gids) {
    QByteArray ascii = text.toLatin1();
    ascii.replace(' ', "").replace('\n', "").replace('\r', "").replace('\t', "");
    const auto decoded =
        QByteArray::fromBase64Encoding(ascii, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) return QStringLiteral("is not valid base64");
    const qsizetype expected = qsizetype(count) * 4;
    QByteArray bytes;
    if (compression.isEmpty()) {
        bytes = *decoded;
    } else if (compression == "zlib" || compression == "gzip") {
        if (!Inflate(*decoded, expected, bytes))
            return QStringLiteral("does not inflate to %1 cells").arg(count);
    } else {
        return QStringLiteral("uses the compression \"%1\", which is not supported")
            .arg(compression);
    }
    if (bytes.size() != expected)
        return QStringLiteral("holds %1 bytes, not %2").arg(bytes.size()).arg(expected);
    gids.resize(size_t(count));
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    for (int i = 0; i < count; ++i, p += 4)
        gids[size_t(i)] = std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 |
                          std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
    return {};
}

} // namespace

QString ReadLayerData(QXmlStreamReader& xml, int count, std::vector<std::uint32_t>& gids) {
    const QString encoding = xml.attributes().value("encoding").toString();
    const QString compression = xml.attributes().value("compression").toString();
    if (!encoding.isEmpty() && encoding != "csv" && encoding != "base64")
        return QStringLiteral("uses the encoding \"%1\", which is not supported").arg(encoding);
    QString text;
    std::vector<std::uint32_t> fromElements;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::EndElement) break;
        if (token == QXmlStreamReader::Characters) text += xml.text();
        if (token != QXmlStreamReader::StartElement) continue;
        if (xml.name() == QLatin1String("chunk"))
            return QStringLiteral("is stored in chunks (an infinite map)");
        if (xml.name() == QLatin1String("tile") && encoding.isEmpty()) {
            bool ok = true;
            const auto gid = xml.attributes().hasAttribute("gid")
                                 ? xml.attributes().value("gid").toUInt(&ok)
                                 : 0u;
            if (!ok) return QStringLiteral("holds a <tile> whose gid is not a tile id");
            if (fromElements.size() >= size_t(count))
                return QStringLiteral("holds more than %1 cells").arg(count);
            fromElements.push_back(gid);
        }
        xml.skipCurrentElement();
    }
    if (xml.hasError()) return {}; // the caller reports the reader's fault
    if (encoding == "csv") return FromCsv(text, count, gids);
    if (encoding == "base64") return FromBase64(text, compression, count, gids);
    if (fromElements.size() != size_t(count))
        return QStringLiteral("holds %1 cells, not %2").arg(fromElements.size()).arg(count);
    gids = std::move(fromElements);
    return {};
}

} // namespace zem::tmx
