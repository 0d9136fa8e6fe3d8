#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>
#include <vector>

// A pull reader over one JSON text (RFC 8259) that refuses everything the RFC does not allow and keeps what a
// document model would lose: whether a number was written as an integer, and integers beyond what a double holds.
// It builds no tree, so a large file costs only what the caller keeps, and it limits nesting so that hostile input
// cannot exhaust the stack. The caller walks the values in order and skips what it does not want; after any call
// that returns false the text is broken and the reader must not be used further.
// Not thread-safe; made by the caller for one text, reads from bytes the caller keeps alive.
class StrictJsonReader
{
public:
    // A leading UTF-8 byte order mark is skipped.
    explicit StrictJsonReader(QByteArrayView bytes, int maxDepth = 64);

    // The kind of the next value, judged by its first byte; `invalid` when no value can start there.
    enum class Kind { null, boolean, number, string, array, object, invalid };
    [[nodiscard]] Kind next();

    [[nodiscard]] bool readNull();
    [[nodiscard]] bool readBool(bool &out);
    // `out` is the value when the number has no fraction or exponent and fits in 32 bits; none for any other
    // well-formed number.
    [[nodiscard]] bool readNumber(std::optional<qint32> &out);
    [[nodiscard]] bool readString(QString &out);
    // Consumes one whole value of any kind.
    [[nodiscard]] bool skipValue();

    // Containers: begin, then step until `end`. A member step also reads the member's key; the caller then reads or
    // skips its value.
    enum class Step { item, end, broken };
    [[nodiscard]] bool beginObject();
    [[nodiscard]] Step nextMember(QString &key);
    [[nodiscard]] bool beginArray();
    [[nodiscard]] Step nextElement();

    // True when only white space is left.
    [[nodiscard]] bool atEnd();

private:
    void skipWhitespace();
    [[nodiscard]] bool expectLiteral(const char *literal);
    [[nodiscard]] bool enter();
    [[nodiscard]] Step step(char close);

    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
    int m_maxDepth = 64;
    // One flag per open container: true until its first item has been stepped to.
    std::vector<bool> m_firstPending;
};
