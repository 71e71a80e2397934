#pragma once
// The XML of a Tiled map, read so that no file makes the reader hold much
// of it: the parser is fed a piece at a time, a tag or text longer than any
// map of ours needs is refused before it is read whole, and lists of
// numbers are taken a token at a time.

#include <QIODevice>
#include <QString>
#include <QXmlStreamReader>
#include <functional>

namespace zem::tmx {

// A fault found while reading; the reader stops at the first.
struct Fault {
    QString text;
};
[[noreturn]] void Fail(const QString& text);

// The longest tag, text or comment a file may hold. The longest a map of
// ours writes, the cells outside a map of one hex, stays under 1.5 MB.
constexpr qint64 MaxTokenBytes = 4 * 1024 * 1024;
// The most tags, texts and comments a map and its tileset files may hold.
// A map of ours saved by Tiled with a <tile> element per cell holds some
// 100,000.
constexpr qint64 MaxTokens = 1'000'000;

class XmlInput {
  public:
    // Inputs that share `tokens` count their tokens together.
    XmlInput(QIODevice& device, qint64& tokens) : device_(device), tokens_(tokens) {}
    const QXmlStreamReader& Xml() const { return xml_; }
    QStringView Name() const { return xml_.name(); }
    QStringView Text() const { return xml_.text(); }
    QString Attribute(const char* name) const { return xml_.attributes().value(name).toString(); }
    bool HasAttribute(const char* name) const { return xml_.attributes().hasAttribute(name); }
    // The attribute as a whole number; `fallback` when it is missing.
    int IntAttribute(const char* name, int fallback) const;

    // The next token. A fault of the XML, or of the file's size, is raised.
    QXmlStreamReader::TokenType Next();
    // The next child of the current element; false at the current element's end.
    bool NextStartElement();
    // Past the end of the current element.
    void Skip();

  private:
    QIODevice& device_;
    QXmlStreamReader xml_;
    qint64 pending_ = 0; // bytes given to the parser since it last gave a token
    qint64& tokens_;
};

// Tokens of a text that arrives in pieces: separated by white space, or by
// commas with white space around them. Each token goes to `take` as soon as
// it ends; a token longer than any number is cut and marked with "...", so
// it reads as no number.
class Tokens {
  public:
    Tokens(bool commas, std::function<void(QStringView)> take)
        : commas_(commas), take_(std::move(take)) {}
    void Add(QStringView piece);
    // The last token; with commas, also an empty last field.
    void End();

  private:
    void Append(QChar c);
    void Flush();
    bool commas_;
    std::function<void(QStringView)> take_;
    QString token_;
    bool cut_ = false; // the token ran longer than any number
    bool gap_ = false; // white space after the token's first characters
};

// The text of the current element (or of `value` when it has one), token by
// token, up to the element's end.
void ElementTokens(XmlInput& in, Tokens& tokens);

} // namespace zem::tmx
