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

// The base64 text of a layer, kept without its white space and refused as
// soon as it runs longer than `count` cells can take.
class Base64Text {
  public:
    Base64Text(const QString& layer, int count, bool compressed) : layer_(layer), count_(count) {
        qsizetype bytes = qsizetype(count) * 4;
        // What any deflate encoder makes of incompressible cells, with room
        // for a gzip header.
        if (compressed) bytes = qsizetype(compressBound(uLong(bytes))) + 1024;
        limit_ = (bytes + 2) / 3 * 4;
    }
    void Add(QStringView piece) {
        for (const QChar c : piece) {
            if (c.isSpace()) continue;
            if (text_.size() >= limit_)
                Fail(QStringLiteral("the layer \"%1\" holds more than %2 cells")
                         .arg(layer_)
                         .arg(count_));
            text_ += char(c.unicode() < 128 ? c.unicode() : '?');
        }
    }
    const QByteArray& Text() const { return text_; }

  private:
    QString layer_;
    int count_;
    qsizetype limit_;
    QByteArray text_;
};

void FromBase64(const QString& layer, const QByteArray& text, const QString& compression, int count,
                std::vector<std::uint32_t>& gids) {
    auto fail = [&](const QString& what) {
        Fail(QStringLiteral("the layer \"%1\" %2").arg(layer, what));
    };
    const auto decoded =
        QByteArray::fromBase64Encoding(text, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) fail(QStringLiteral("is not valid base64"));
    const qsizetype expected = qsizetype(count) * 4;
    QByteArray bytes;
    if (compression.isEmpty()) {
        bytes = *decoded;
    } else if (!Inflate(*decoded, expected, bytes)) {
        fail(QStringLiteral("does not inflate to %1 cells").arg(count));
    }
    if (bytes.size() != expected)
        fail(QStringLiteral("holds %1 bytes, not %2").arg(bytes.size()).arg(expected));
    gids.resize(size_t(count));
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    for (int i = 0; i < count; ++i, p += 4)
        gids[size_t(i)] = std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 |
                          std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

} // namespace

void ReadLayerData(XmlInput& in, const QString& layer, int count,
                   std::vector<std::uint32_t>& gids) {
    auto fail = [&](const QString& what) {
        Fail(QStringLiteral("the layer \"%1\" %2").arg(layer, what));
    };
    const QString encoding = in.Attribute("encoding");
    const QString compression = in.Attribute("compression");
    if (!encoding.isEmpty() && encoding != "csv" && encoding != "base64")
        fail(QStringLiteral("uses the encoding \"%1\", which is not supported").arg(encoding));
    if (!compression.isEmpty() &&
        (encoding != "base64" || (compression != "zlib" && compression != "gzip")))
        fail(
            QStringLiteral("uses the compression \"%1\", which is not supported").arg(compression));
    gids.clear();
    gids.reserve(size_t(count));
    auto take = [&](std::uint32_t gid) {
        if (gids.size() >= size_t(count))
            fail(QStringLiteral("holds more than %1 cells").arg(count));
        gids.push_back(gid);
    };
    Tokens csv(true, [&](QStringView field) {
        bool ok = false;
        const qulonglong v = field.toULongLong(&ok);
        if (!ok || v > 0xFFFFFFFFull)
            fail(QStringLiteral("holds \"%1\", which is not a tile id").arg(field.left(20)));
        take(std::uint32_t(v));
    });
    Base64Text base64(layer, count, !compression.isEmpty());
    for (auto token = in.Next(); token != QXmlStreamReader::EndElement; token = in.Next()) {
        if (token == QXmlStreamReader::EndDocument) break;
        if (token == QXmlStreamReader::Characters) {
            if (encoding == "csv") csv.Add(in.Text());
            if (encoding == "base64") base64.Add(in.Text());
        }
        if (token != QXmlStreamReader::StartElement) continue;
        if (in.Name() == QLatin1String("chunk"))
            fail(QStringLiteral("is stored in chunks (an infinite map)"));
        if (in.Name() == QLatin1String("tile") && encoding.isEmpty()) {
            bool ok = true;
            const auto gid = in.HasAttribute("gid") ? in.Attribute("gid").toUInt(&ok) : 0u;
            if (!ok) fail(QStringLiteral("holds a <tile> whose gid is not a tile id"));
            take(gid);
        }
        in.Skip();
    }
    if (encoding == "csv") csv.End();
    if (encoding == "base64") FromBase64(layer, base64.Text(), compression, count, gids);
    if (gids.size() != size_t(count))
        fail(QStringLiteral("holds %1 cells, not %2").arg(gids.size()).arg(count));
}

} // namespace zem::tmx
