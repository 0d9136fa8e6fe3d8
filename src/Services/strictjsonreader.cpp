#include "strictjsonreader.h"

#include <cstring>

namespace {

[[nodiscard]] int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

[[nodiscard]] bool isContinuation(unsigned char c, unsigned char low = 0x80, unsigned char high = 0xBF)
{
    return c >= low && c <= high;
}

// The length of the well-formed UTF-8 sequence that starts at `p` with a lead byte of 0x80 or more, or 0. Overlong
// forms, encoded surrogates and code points beyond U+10FFFF are not well-formed.
[[nodiscard]] int utf8SequenceLength(const unsigned char *p, qsizetype available)
{
    const unsigned char lead = p[0];
    int length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (available < length || !isContinuation(p[1], low, high))
        return 0;
    for (int i = 2; i < length; ++i) {
        if (!isContinuation(p[i]))
            return 0;
    }
    return length;
}

} // namespace

StrictJsonReader::StrictJsonReader(QByteArrayView bytes, int maxDepth)
    : m_bytes(bytes)
    , m_maxDepth(maxDepth)
{
    if (m_bytes.size() >= 3 && std::memcmp(m_bytes.data(), "\xEF\xBB\xBF", 3) == 0)
        m_pos = 3;
}

void StrictJsonReader::skipWhitespace()
{
    while (m_pos < m_bytes.size()) {
        const char c = m_bytes[m_pos];
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r')
            return;
        ++m_pos;
    }
}

StrictJsonReader::Kind StrictJsonReader::next()
{
    skipWhitespace();
    if (m_pos >= m_bytes.size())
        return Kind::invalid;
    switch (m_bytes[m_pos]) {
    case 'n':
        return Kind::null;
    case 't':
    case 'f':
        return Kind::boolean;
    case '"':
        return Kind::string;
    case '[':
        return Kind::array;
    case '{':
        return Kind::object;
    default: {
        const char c = m_bytes[m_pos];
        return (c == '-' || (c >= '0' && c <= '9')) ? Kind::number : Kind::invalid;
    }
    }
}

bool StrictJsonReader::expectLiteral(const char *literal)
{
    const auto length = qsizetype(std::strlen(literal));
    if (m_bytes.size() - m_pos < length || std::memcmp(m_bytes.data() + m_pos, literal, size_t(length)) != 0)
        return false;
    m_pos += length;
    return true;
}

bool StrictJsonReader::readNull()
{
    skipWhitespace();
    return expectLiteral("null");
}

bool StrictJsonReader::readBool(bool &out)
{
    skipWhitespace();
    if (expectLiteral("true")) {
        out = true;
        return true;
    }
    if (expectLiteral("false")) {
        out = false;
        return true;
    }
    return false;
}

bool StrictJsonReader::readNumber(std::optional<qint32> &out)
{
    skipWhitespace();
    const qsizetype n = m_bytes.size();
    auto isDigit = [&](qsizetype i) { return i < n && m_bytes[i] >= '0' && m_bytes[i] <= '9'; };

    bool negative = false;
    if (m_pos < n && m_bytes[m_pos] == '-') {
        negative = true;
        ++m_pos;
    }
    if (!isDigit(m_pos))
        return false;
    // The magnitude stops growing once it is beyond every 32-bit value, so that long digit runs cannot overflow.
    constexpr qint64 beyond = qint64(1) << 32;
    qint64 magnitude = 0;
    if (m_bytes[m_pos] == '0') {
        ++m_pos;
    } else {
        while (isDigit(m_pos)) {
            if (magnitude < beyond)
                magnitude = magnitude * 10 + (m_bytes[m_pos] - '0');
            ++m_pos;
        }
    }
    bool integral = true;
    if (m_pos < n && m_bytes[m_pos] == '.') {
        ++m_pos;
        if (!isDigit(m_pos))
            return false;
        while (isDigit(m_pos))
            ++m_pos;
        integral = false;
    }
    if (m_pos < n && (m_bytes[m_pos] == 'e' || m_bytes[m_pos] == 'E')) {
        ++m_pos;
        if (m_pos < n && (m_bytes[m_pos] == '+' || m_bytes[m_pos] == '-'))
            ++m_pos;
        if (!isDigit(m_pos))
            return false;
        while (isDigit(m_pos))
            ++m_pos;
        integral = false;
    }
    out.reset();
    if (integral) {
        const qint64 value = negative ? -magnitude : magnitude;
        if (value >= qint64(INT32_MIN) && value <= qint64(INT32_MAX))
            out = qint32(value);
    }
    return true;
}

bool StrictJsonReader::readString(QString &out)
{
    skipWhitespace();
    const qsizetype n = m_bytes.size();
    if (m_pos >= n || m_bytes[m_pos] != '"')
        return false;
    ++m_pos;
    out.clear();
    const auto *bytes = reinterpret_cast<const unsigned char *>(m_bytes.data());
    qsizetype runStart = m_pos;
    auto flushRun = [&] {
        if (m_pos > runStart)
            out.append(QString::fromUtf8(m_bytes.sliced(runStart, m_pos - runStart)));
    };
    auto readHex4 = [&](char16_t &unit) {
        if (n - m_pos < 4)
            return false;
        int value = 0;
        for (int i = 0; i < 4; ++i) {
            const int d = hexDigit(m_bytes[m_pos + i]);
            if (d < 0)
                return false;
            value = value * 16 + d;
        }
        m_pos += 4;
        unit = char16_t(value);
        return true;
    };

    while (m_pos < n) {
        const unsigned char c = bytes[m_pos];
        if (c == '"') {
            flushRun();
            ++m_pos;
            return true;
        }
        if (c < 0x20)
            return false;
        if (c < 0x80 && c != '\\') {
            ++m_pos;
            continue;
        }
        if (c >= 0x80) {
            const int length = utf8SequenceLength(bytes + m_pos, n - m_pos);
            if (length == 0)
                return false;
            m_pos += length;
            continue;
        }
        flushRun();
        ++m_pos;
        if (m_pos >= n)
            return false;
        const char e = m_bytes[m_pos++];
        switch (e) {
        case '"': out.append(u'"'); break;
        case '\\': out.append(u'\\'); break;
        case '/': out.append(u'/'); break;
        case 'b': out.append(u'\b'); break;
        case 'f': out.append(u'\f'); break;
        case 'n': out.append(u'\n'); break;
        case 'r': out.append(u'\r'); break;
        case 't': out.append(u'\t'); break;
        case 'u': {
            char16_t unit = 0;
            if (!readHex4(unit))
                return false;
            if (QChar::isLowSurrogate(unit))
                return false;
            if (QChar::isHighSurrogate(unit)) {
                // Only a pair stands for a character; a lone half would be text no UTF-8 file can hold.
                char16_t low = 0;
                if (n - m_pos < 2 || m_bytes[m_pos] != '\\' || m_bytes[m_pos + 1] != 'u')
                    return false;
                m_pos += 2;
                if (!readHex4(low) || !QChar::isLowSurrogate(low))
                    return false;
                out.append(QChar(unit));
                out.append(QChar(low));
            } else {
                out.append(QChar(unit));
            }
            break;
        }
        default:
            return false;
        }
        runStart = m_pos;
    }
    return false;
}

bool StrictJsonReader::enter()
{
    if (int(m_firstPending.size()) >= m_maxDepth)
        return false;
    m_firstPending.push_back(true);
    return true;
}

bool StrictJsonReader::beginObject()
{
    skipWhitespace();
    if (m_pos >= m_bytes.size() || m_bytes[m_pos] != '{' || !enter())
        return false;
    ++m_pos;
    return true;
}

bool StrictJsonReader::beginArray()
{
    skipWhitespace();
    if (m_pos >= m_bytes.size() || m_bytes[m_pos] != '[' || !enter())
        return false;
    ++m_pos;
    return true;
}

StrictJsonReader::Step StrictJsonReader::step(char close)
{
    skipWhitespace();
    if (m_pos >= m_bytes.size() || m_firstPending.empty())
        return Step::broken;
    const char c = m_bytes[m_pos];
    const bool first = m_firstPending.back();
    if (c == close) {
        ++m_pos;
        m_firstPending.pop_back();
        return Step::end;
    }
    if (first) {
        m_firstPending.back() = false;
        return Step::item;
    }
    if (c == ',') {
        ++m_pos;
        return Step::item;
    }
    return Step::broken;
}

StrictJsonReader::Step StrictJsonReader::nextMember(QString &key)
{
    const Step s = step('}');
    if (s != Step::item)
        return s;
    if (!readString(key))
        return Step::broken;
    skipWhitespace();
    if (m_pos >= m_bytes.size() || m_bytes[m_pos] != ':')
        return Step::broken;
    ++m_pos;
    return Step::item;
}

StrictJsonReader::Step StrictJsonReader::nextElement()
{
    return step(']');
}

bool StrictJsonReader::skipValue()
{
    switch (next()) {
    case Kind::null:
        return readNull();
    case Kind::boolean: {
        bool ignored = false;
        return readBool(ignored);
    }
    case Kind::number: {
        std::optional<qint32> ignored;
        return readNumber(ignored);
    }
    case Kind::string: {
        QString ignored;
        return readString(ignored);
    }
    case Kind::array: {
        if (!beginArray())
            return false;
        for (;;) {
            switch (nextElement()) {
            case Step::end:
                return true;
            case Step::broken:
                return false;
            case Step::item:
                if (!skipValue())
                    return false;
            }
        }
    }
    case Kind::object: {
        if (!beginObject())
            return false;
        QString key;
        for (;;) {
            switch (nextMember(key)) {
            case Step::end:
                return true;
            case Step::broken:
                return false;
            case Step::item:
                if (!skipValue())
                    return false;
            }
        }
    }
    case Kind::invalid:
        return false;
    }
    return false;
}

bool StrictJsonReader::atEnd()
{
    skipWhitespace();
    return m_pos >= m_bytes.size();
}
