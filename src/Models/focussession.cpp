#include "focussession.h"

#include <QHash>

#include <cmath>
#include <limits>

namespace {

// 8-4-4-4-12 hexadecimal digits in either case; the nil UUID is a UUID like any other.
bool isHyphenatedUuid(const QString &text)
{
    if (text.size() != 36)
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (c != u'-')
                return false;
        } else if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'))) {
            return false;
        }
    }
    return true;
}

// Instants hold 64-bit microseconds: about 292,000 years either side of 1970.
constexpr double representableSeconds = 9.0e12;

} // namespace

QString FocusSession::uuidText(const QUuid &id)
{
    return id.toString(QUuid::WithoutBraces).toUpper();
}

QJsonObject FocusSession::toJson() const
{
    QJsonObject o;
    o.insert(u"id"_qs, uuidText(id));
    o.insert(u"bundleID"_qs, bundleID);
    o.insert(u"appName"_qs, appName);
    if (taskNote)
        o.insert(u"taskNote"_qs, *taskNote);
    o.insert(u"deadline"_qs, Instants::secondsSinceReferenceDate(deadline));
    if (blockMinutes)
        o.insert(u"blockMinutes"_qs, *blockMinutes);
    return o;
}

std::optional<FocusSession> FocusSession::fromJson(const QJsonValue &value, QString *error)
{
    auto fail = [error](const char *key) -> std::optional<FocusSession> {
        if (error)
            *error = QString::fromLatin1(key);
        return std::nullopt;
    };
    if (!value.isObject())
        return fail("");
    const auto o = value.toObject();

    const auto idValue = o.value(u"id"_qs);
    if (!idValue.isString())
        return fail("id");
    const QString idText = idValue.toString();
    if (!isHyphenatedUuid(idText))
        return fail("id");
    const auto id = QUuid::fromString(idText);

    const auto bundleID = o.value(u"bundleID"_qs);
    if (!bundleID.isString())
        return fail("bundleID");
    const auto appName = o.value(u"appName"_qs);
    if (!appName.isString())
        return fail("appName");

    std::optional<QString> note;
    const auto noteValue = o.value(u"taskNote"_qs);
    if (noteValue.isString()) {
        if (!noteValue.toString().isEmpty())
            note = noteValue.toString();
    } else if (!noteValue.isUndefined() && !noteValue.isNull()) {
        return fail("taskNote");
    }

    const auto deadline = o.value(u"deadline"_qs);
    if (!deadline.isDouble() || !(std::abs(deadline.toDouble()) < representableSeconds))
        return fail("deadline");

    std::optional<int> block;
    const auto blockValue = o.value(u"blockMinutes"_qs);
    if (blockValue.isDouble()) {
        const double d = blockValue.toDouble();
        if (d != std::trunc(d) || d < std::numeric_limits<int>::min() || d > std::numeric_limits<int>::max())
            return fail("blockMinutes");
        block = int(d);
    } else if (!blockValue.isUndefined() && !blockValue.isNull()) {
        return fail("blockMinutes");
    }

    FocusSession s;
    s.id = id;
    s.bundleID = bundleID.toString();
    s.appName = appName.toString();
    s.taskNote = note;
    s.deadline = Instants::fromSecondsSinceReferenceDate(deadline.toDouble());
    s.blockMinutes = block;
    return s;
}

size_t qHash(const FocusSession &s, size_t seed)
{
    QtPrivate::QHashCombine combine;
    seed = combine(seed, s.id);
    seed = combine(seed, s.bundleID);
    seed = combine(seed, s.appName);
    seed = combine(seed, s.taskNote.has_value());
    if (s.taskNote)
        seed = combine(seed, *s.taskNote);
    seed = combine(seed, qint64(s.deadline.time_since_epoch().count()));
    seed = combine(seed, s.blockMinutes.has_value());
    if (s.blockMinutes)
        seed = combine(seed, *s.blockMinutes);
    return seed;
}
