#include "linux/appinstancemapping.h"

#include <algorithm>

namespace {

int hexValue(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - '0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - 'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - 'A' + 10;
    return -1;
}

bool isUnitRandom(QStringView s)
{
    return !s.isEmpty() && std::all_of(s.begin(), s.end(), [](QChar c) { return c.isLetterOrNumber(); });
}

// The id part of a unit name split at its unescaped dashes: "<id>" or "<launcher>-<id>".
std::optional<QString> idOfParts(const QList<QStringView> &parts)
{
    if (parts.size() != 1 && parts.size() != 2)
        return std::nullopt;
    const QString id = AppInstanceMapping::unescapeUnitName(parts.last());
    if (id.isEmpty())
        return std::nullopt;
    return id;
}

} // namespace

namespace AppInstanceMapping {

QString unescapeUnitName(QStringView name)
{
    QString out;
    out.reserve(name.size());
    QByteArray pendingBytes; // escaped bytes of one UTF-8 sequence
    auto flush = [&] {
        if (!pendingBytes.isEmpty())
            out.append(QString::fromUtf8(pendingBytes));
        pendingBytes.clear();
    };
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (name.at(i) == u'\\' && i + 3 < name.size() && name.at(i + 1) == u'x') {
            const int hi = hexValue(name.at(i + 2)), lo = hexValue(name.at(i + 3));
            if (hi >= 0 && lo >= 0) {
                pendingBytes.append(char(hi * 16 + lo));
                i += 3;
                continue;
            }
        }
        flush();
        out.append(name.at(i));
    }
    flush();
    return out;
}

std::optional<AppUnit> appUnit(QStringView unitName)
{
    if (!unitName.startsWith(u"app-"))
        return std::nullopt;
    const QStringView body = unitName.sliced(4);
    std::optional<QString> id;
    if (body.endsWith(u".scope")) {
        // app[-<launcher>]-<id>-<random>.scope; dashes inside the id are escaped, so they never split it.
        QList<QStringView> parts = body.chopped(6).split(u'-');
        if (parts.size() < 2 || !isUnitRandom(parts.last()))
            return std::nullopt;
        parts.removeLast();
        id = idOfParts(parts);
    } else if (body.endsWith(u".service")) {
        // app[-<launcher>]-<id>[@<random>].service
        QStringView stem = body.chopped(8);
        if (const auto at = stem.indexOf(u'@'); at >= 0) {
            if (!isUnitRandom(stem.sliced(at + 1)))
                return std::nullopt;
            stem = stem.first(at);
        }
        id = idOfParts(stem.split(u'-'));
    }
    if (!id)
        return std::nullopt;
    return AppUnit{*id, unitName.toString()};
}

std::optional<AppUnit> appUnitOfCgroup(QStringView cgroupPath)
{
    const auto parts = cgroupPath.split(u'/', Qt::SkipEmptyParts);
    for (auto it = parts.crbegin(); it != parts.crend(); ++it) {
        if (auto unit = appUnit(*it))
            return unit;
    }
    return std::nullopt;
}

std::optional<Membership> membership(const ProcessFacts &process, const ProcessFacts *parent,
                                     const std::optional<Membership> &parentMembership,
                                     const DesktopEntryLookup &entries)
{
    const auto byExecutable = entries.bundleIDForExecutable(process.executable);
    auto ownInstance = [&](const QString &bundleID) {
        if (parentMembership && parentMembership->bundleID == bundleID)
            return *parentMembership; // another process of a running instance (a browser's content process)
        return Membership{bundleID,
                          u"exe:%1:%2"_qs.arg(process.pid).arg(process.startTime),
                          Source::executable, process.pid};
    };

    if (const auto unit = appUnitOfCgroup(process.cgroupPath)) {
        if (byExecutable && *byExecutable != unit->bundleID)
            return ownInstance(*byExecutable);
        return Membership{unit->bundleID, u"unit:"_qs + unit->unitName, Source::appUnit, 0};
    }

    if (process.launchedPid == process.pid && !process.launchedDesktopFile.isEmpty()) {
        if (const auto id = entries.bundleIDForDesktopFile(process.launchedDesktopFile)) {
            return Membership{*id, u"launch:%1:%2"_qs.arg(process.pid).arg(process.startTime),
                              Source::launchedEntry, process.pid};
        }
    }

    if (byExecutable)
        return ownInstance(*byExecutable);

    if (parent && parentMembership && parentMembership->source != Source::appUnit && !process.executable.isEmpty()
        && (process.executable == parent->executable || DesktopEntryLookup::isWrapperProgram(parent->executable))) {
        return parentMembership;
    }
    return std::nullopt;
}

QHash<qint64, Membership> mapAll(const QList<ProcessFacts> &processes, const DesktopEntryLookup &entries,
                                 const QHash<qint64, ProcessFacts> &knownFacts,
                                 const QHash<qint64, Membership> &known)
{
    QList<const ProcessFacts *> order;
    order.reserve(processes.size());
    for (const auto &p : processes)
        order.append(&p);
    // A parent always started before its child; the pid breaks ties of one clock tick.
    std::stable_sort(order.begin(), order.end(), [](const ProcessFacts *a, const ProcessFacts *b) {
        return a->startTime != b->startTime ? a->startTime < b->startTime : a->pid < b->pid;
    });
    QHash<qint64, const ProcessFacts *> facts;
    for (auto it = knownFacts.cbegin(); it != knownFacts.cend(); ++it)
        facts.insert(it.key(), &it.value());
    for (const auto *p : order)
        facts.insert(p->pid, p);

    QHash<qint64, Membership> out = known;
    for (const auto *p : order) {
        if (known.contains(p->pid))
            continue;
        const ProcessFacts *parent = p->parentPid > 0 ? facts.value(p->parentPid) : nullptr;
        std::optional<Membership> parentMembership;
        if (parent) {
            if (const auto it = out.constFind(parent->pid); it != out.cend())
                parentMembership = *it;
        }
        if (auto m = membership(*p, parent, parentMembership, entries))
            out.insert(p->pid, *m);
    }
    return out;
}

} // namespace AppInstanceMapping
