#include "interop/TmxXml.h"

namespace zem::tmx {

namespace {
constexpr qint64 PieceBytes = 1024 * 1024;
constexpr int LongestToken = 24; // "-2147483648" and any white space around it
} // namespace

void Fail(const QString& text) {
    throw Fault{text};
}

int XmlInput::IntAttribute(const char* name, int fallback) const {
    const auto a = xml_.attributes();
    if (!a.hasAttribute(name)) return fallback;
    bool ok = false;
    const int v = a.value(name).toInt(&ok);
    if (!ok)
        Fail(QStringLiteral("the attribute %1=\"%2\" of <%3> is not a whole number")
                 .arg(name, a.value(name).left(20).toString(), xml_.name().toString()));
    return v;
}

QXmlStreamReader::TokenType XmlInput::Next() {
    for (;;) {
        const auto token = xml_.readNext();
        if (xml_.error() == QXmlStreamReader::PrematureEndOfDocumentError && !device_.atEnd()) {
            // A read allocates all it may take: a small file takes little.
            const qint64 available = device_.bytesAvailable();
            const QByteArray piece =
                device_.read(available > 0 ? std::min(available, PieceBytes) : PieceBytes);
            if (piece.isEmpty())
                Fail(QStringLiteral("cannot read on from line %1: %2")
                         .arg(xml_.lineNumber())
                         .arg(device_.errorString()));
            pending_ += piece.size();
            if (pending_ > MaxTokenBytes)
                Fail(QStringLiteral("line %1 holds a tag or text of over %2 MB, more than a map "
                                    "needs")
                         .arg(xml_.lineNumber())
                         .arg(MaxTokenBytes / (1024 * 1024)));
            xml_.addData(piece);
            continue;
        }
        pending_ = 0;
        if (++tokens_ > MaxTokens)
            Fail(QStringLiteral("the file holds over %1 tags and texts, more than a map needs")
                     .arg(MaxTokens));
        if (xml_.error() == QXmlStreamReader::PrematureEndOfDocumentError)
            Fail(QStringLiteral("the file ends early, at line %1").arg(xml_.lineNumber()));
        if (xml_.hasError())
            Fail(QStringLiteral("not well-formed XML at line %1: %2")
                     .arg(xml_.lineNumber())
                     .arg(xml_.errorString()));
        return token;
    }
}

bool XmlInput::NextStartElement() {
    for (;;) {
        switch (Next()) {
        case QXmlStreamReader::StartElement:
            return true;
        case QXmlStreamReader::EndElement:
        case QXmlStreamReader::EndDocument:
            return false;
        default:
            break;
        }
    }
}

void XmlInput::Skip() {
    for (int depth = 1; depth > 0;) {
        const auto token = Next();
        if (token == QXmlStreamReader::StartElement) ++depth;
        if (token == QXmlStreamReader::EndElement) --depth;
        if (token == QXmlStreamReader::EndDocument) return;
    }
}

void Tokens::Add(QStringView piece) {
    for (const QChar c : piece) {
        if (commas_ && c == QLatin1Char(',')) {
            Flush();
            continue;
        }
        if (c.isSpace()) {
            if (!commas_) Flush();
            gap_ = !token_.isEmpty();
            continue;
        }
        // A comma field keeps one blank for inner white space: "1 2" is no number.
        if (gap_) Append(QLatin1Char(' '));
        gap_ = false;
        Append(c);
    }
}

void Tokens::Append(QChar c) {
    if (token_.size() < LongestToken) {
        token_ += c;
    } else {
        cut_ = true;
    }
}

void Tokens::Flush() {
    if (!commas_ && token_.isEmpty()) return;
    if (cut_) {
        take_(token_ + QStringLiteral("..."));
    } else {
        take_(token_);
    }
    token_.clear();
    cut_ = gap_ = false;
}

void Tokens::End() {
    Flush();
}

void ElementTokens(XmlInput& in, Tokens& tokens) {
    if (in.HasAttribute("value")) {
        tokens.Add(in.Attribute("value"));
        in.Skip();
    } else {
        for (auto t = in.Next(); t != QXmlStreamReader::EndElement; t = in.Next()) {
            if (t == QXmlStreamReader::Characters) tokens.Add(in.Text());
            if (t == QXmlStreamReader::StartElement) in.Skip();
            if (t == QXmlStreamReader::EndDocument) break;
        }
    }
    tokens.End();
}

} // namespace zem::tmx
