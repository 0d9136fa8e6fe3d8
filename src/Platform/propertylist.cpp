#include "propertylist.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QXmlStreamReader>

namespace {

// Deeper documents are refused rather than recursed into.
constexpr int maxDepth = 64;

std::optional<QVariant> readValue(QXmlStreamReader &xml, int depth);

std::optional<QVariant> readDict(QXmlStreamReader &xml, int depth)
{
    QVariantMap map;
    while (xml.readNextStartElement()) {
        if (xml.name() != u"key")
            return std::nullopt;
        const QString key = xml.readElementText();
        if (xml.hasError() || !xml.readNextStartElement())
            return std::nullopt;
        auto value = readValue(xml, depth + 1);
        if (!value)
            return std::nullopt;
        map.insert(key, *value);
    }
    if (xml.hasError())
        return std::nullopt;
    return QVariant(map);
}

std::optional<QVariant> readArray(QXmlStreamReader &xml, int depth)
{
    QVariantList list;
    while (xml.readNextStartElement()) {
        auto value = readValue(xml, depth + 1);
        if (!value)
            return std::nullopt;
        list.append(*value);
    }
    if (xml.hasError())
        return std::nullopt;
    return QVariant(list);
}

// Reads the element the reader stands on, up to and including its end.
std::optional<QVariant> readValue(QXmlStreamReader &xml, int depth)
{
    if (depth > maxDepth)
        return std::nullopt;
    const auto name = xml.name();
    if (name == u"dict")
        return readDict(xml, depth);
    if (name == u"array")
        return readArray(xml, depth);
    if (name == u"true" || name == u"false") {
        const bool value = name == u"true";
        xml.skipCurrentElement();
        if (xml.hasError())
            return std::nullopt;
        return QVariant(value);
    }
    const QString kind = name.toString();
    const QString text = xml.readElementText();
    if (xml.hasError())
        return std::nullopt;
    if (kind == u"string")
        return QVariant(text);
    if (kind == u"integer") {
        bool ok = false;
        const qint64 v = text.trimmed().toLongLong(&ok);
        return ok ? std::optional<QVariant>(QVariant(v)) : std::nullopt;
    }
    if (kind == u"real") {
        bool ok = false;
        const double v = text.trimmed().toDouble(&ok);
        return ok ? std::optional<QVariant>(QVariant(v)) : std::nullopt;
    }
    if (kind == u"date") {
        QDateTime dt = QDateTime::fromString(text.trimmed(), Qt::ISODate);
        if (!dt.isValid())
            return std::nullopt;
        return QVariant(dt.toUTC());
    }
    if (kind == u"data") {
        QByteArray compact;
        for (char c : text.toLatin1()) {
            if (c != ' ' && c != '\n' && c != '\r' && c != '\t')
                compact.append(c);
        }
        auto decoded = QByteArray::fromBase64Encoding(compact, QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded)
            return std::nullopt;
        return QVariant(*decoded);
    }
    return std::nullopt;
}

std::optional<QString> decodeText(const QByteArray &bytes)
{
    QStringConverter::Encoding encoding = QStringConverter::Utf8;
    qsizetype skip = 0;
    if (bytes.startsWith("\xFF\xFE")) {
        encoding = QStringConverter::Utf16LE;
        skip = 2;
    } else if (bytes.startsWith("\xFE\xFF")) {
        encoding = QStringConverter::Utf16BE;
        skip = 2;
    } else if (bytes.startsWith("\xEF\xBB\xBF")) {
        skip = 3;
    }
    QStringDecoder decoder(encoding, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(QByteArrayView(bytes).sliced(skip));
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

// The old-style string-table grammar: pairs of "key" = "value"; where a lone "key"; maps the key to itself.
class StringsParser
{
public:
    explicit StringsParser(QStringView text)
        : m_text(text)
    {
    }

    std::optional<QVariantMap> parse()
    {
        QVariantMap table;
        while (true) {
            if (!skipSpaceAndComments())
                return std::nullopt;
            if (atEnd())
                return table;
            auto key = token();
            if (!key || !skipSpaceAndComments() || atEnd())
                return std::nullopt;
            QString value;
            if (peek() == u';') {
                value = *key;
            } else {
                if (peek() != u'=')
                    return std::nullopt;
                ++m_pos;
                if (!skipSpaceAndComments())
                    return std::nullopt;
                auto v = token();
                if (!v || !skipSpaceAndComments() || atEnd() || peek() != u';')
                    return std::nullopt;
                value = *v;
            }
            ++m_pos; // the ";"
            table.insert(*key, value);
        }
    }

private:
    QStringView m_text;
    qsizetype m_pos = 0;

    [[nodiscard]] bool atEnd() const { return m_pos >= m_text.size(); }
    [[nodiscard]] QChar peek(qsizetype ahead = 0) const
    {
        return m_pos + ahead < m_text.size() ? m_text[m_pos + ahead] : QChar();
    }

    // False on an unterminated block comment.
    bool skipSpaceAndComments()
    {
        while (!atEnd()) {
            const QChar c = peek();
            if (c.isSpace()) {
                ++m_pos;
            } else if (c == u'/' && peek(1) == u'*') {
                const qsizetype end = m_text.indexOf(u"*/", m_pos + 2);
                if (end < 0)
                    return false;
                m_pos = end + 2;
            } else if (c == u'/' && peek(1) == u'/') {
                const qsizetype end = m_text.indexOf(u'\n', m_pos);
                m_pos = end < 0 ? m_text.size() : end + 1;
            } else {
                break;
            }
        }
        return true;
    }

    static bool isBareChar(QChar c)
    {
        return c.isLetterOrNumber() || c == u'_' || c == u'$' || c == u'+' || c == u'/' || c == u':' || c == u'.'
            || c == u'-';
    }

    std::optional<QString> token()
    {
        if (peek() == u'"')
            return quoted();
        const qsizetype start = m_pos;
        while (!atEnd() && isBareChar(peek()))
            ++m_pos;
        if (m_pos == start)
            return std::nullopt;
        return m_text.sliced(start, m_pos - start).toString();
    }

    std::optional<QString> quoted()
    {
        ++m_pos; // the opening quote
        QString out;
        while (!atEnd()) {
            const QChar c = m_text[m_pos++];
            if (c == u'"')
                return out;
            if (c != u'\\') {
                out += c;
                continue;
            }
            if (atEnd())
                return std::nullopt;
            const QChar e = m_text[m_pos++];
            switch (e.unicode()) {
            case 'n': out += u'\n'; break;
            case 't': out += u'\t'; break;
            case 'r': out += u'\r'; break;
            case 'a': out += QChar(7); break;
            case 'b': out += QChar(8); break;
            case 'f': out += QChar(12); break;
            case 'v': out += QChar(11); break;
            case 'U':
            case 'u': {
                if (m_pos + 4 > m_text.size())
                    return std::nullopt;
                bool ok = false;
                const uint code = m_text.sliced(m_pos, 4).toUInt(&ok, 16);
                if (!ok)
                    return std::nullopt;
                out += QChar(char16_t(code));
                m_pos += 4;
                break;
            }
            default:
                if (e >= u'0' && e <= u'7') {
                    uint code = e.unicode() - '0';
                    for (int i = 0; i < 2 && !atEnd() && peek() >= u'0' && peek() <= u'7'; ++i)
                        code = code * 8 + (m_text[m_pos++].unicode() - '0');
                    out += QChar(char16_t(code));
                } else {
                    out += e; // \" \\ and any other character stand for themselves
                }
                break;
            }
        }
        return std::nullopt;
    }
};

std::optional<QByteArray> readFile(const QString &filePath)
{
    // Opening a named pipe waits for a writer, and a device may never end: only plain files are read.
    if (!QFileInfo(filePath).isFile())
        return std::nullopt;
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

} // namespace

std::optional<QVariant> PropertyList::parseXml(const QByteArray &bytes)
{
    QXmlStreamReader xml(bytes);
    if (!xml.readNextStartElement() || xml.name() != u"plist")
        return std::nullopt;
    if (!xml.readNextStartElement())
        return std::nullopt;
    auto value = readValue(xml, 0);
    if (!value)
        return std::nullopt;
    // Nothing but the end of <plist> may follow the one value.
    if (xml.readNextStartElement() || xml.hasError())
        return std::nullopt;
    return value;
}

std::optional<QVariantMap> PropertyList::parseStrings(const QByteArray &bytes)
{
    const auto text = decodeText(bytes);
    if (!text)
        return std::nullopt;
    const QStringView trimmed = QStringView(*text).trimmed();
    if (trimmed.startsWith(u"<?xml") || trimmed.startsWith(u"<!DOCTYPE") || trimmed.startsWith(u"<plist")) {
        const auto value = parseXml(bytes);
        if (!value || value->typeId() != QMetaType::QVariantMap)
            return std::nullopt;
        return value->toMap();
    }
    return StringsParser(*text).parse();
}

std::optional<QVariantMap> PropertyList::readXmlDictionary(const QString &filePath)
{
    const auto bytes = readFile(filePath);
    if (!bytes)
        return std::nullopt;
    const auto value = parseXml(*bytes);
    if (!value || value->typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    return value->toMap();
}

std::optional<QVariantMap> PropertyList::readStrings(const QString &filePath)
{
    const auto bytes = readFile(filePath);
    if (!bytes)
        return std::nullopt;
    return parseStrings(*bytes);
}
