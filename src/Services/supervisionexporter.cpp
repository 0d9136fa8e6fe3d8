#include "supervisionexporter.h"

#include "appgroup.h"
#include "internetdatetime.h"
#include "quitplan.h"
#include "restrictionrule.h"

#include <QSet>

#include <algorithm>
#include <vector>

namespace SupervisionExporter {

namespace {

// Writes pretty-printed JSON in the order the caller gives; the caller gives keys in ascending order.
class PrettyWriter
{
public:
    void beginObject() { open('{'); }
    void endObject() { close('}'); }
    void beginArray() { open('['); }
    void endArray() { close(']'); }

    void key(QLatin1StringView name)
    {
        separate();
        m_out += '"';
        m_out += QByteArrayView(name.data(), name.size());
        m_out += "\": ";
        m_afterKey = true;
    }

    void string(const QString &text)
    {
        separate();
        m_out += '"';
        const qsizetype n = text.size();
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t c = text[i].unicode();
            if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(text[i + 1].unicode())) {
                m_out += QStringView(text).sliced(i, 2).toUtf8();
                ++i;
                continue;
            }
            if (QChar::isSurrogate(c)) {
                m_ok = false;
                return;
            }
            switch (c) {
            case u'"': m_out += "\\\""; break;
            case u'\\': m_out += "\\\\"; break;
            case u'\b': m_out += "\\b"; break;
            case u'\f': m_out += "\\f"; break;
            case u'\n': m_out += "\\n"; break;
            case u'\r': m_out += "\\r"; break;
            case u'\t': m_out += "\\t"; break;
            default:
                if (c < 0x20) {
                    static constexpr char hex[] = "0123456789abcdef";
                    m_out += "\\u00";
                    m_out += hex[c >> 4];
                    m_out += hex[c & 0xF];
                } else if (c < 0x80) {
                    m_out += char(c);
                } else {
                    m_out += QStringView(text).sliced(i, 1).toUtf8();
                }
            }
        }
        m_out += '"';
    }

    void integer(int value)
    {
        separate();
        m_out += QByteArray::number(value);
    }

    void boolean(bool value)
    {
        separate();
        m_out += value ? "true" : "false";
    }

    void date(Instant t)
    {
        const auto text = InternetDateTime::format(t);
        if (!text) {
            m_ok = false;
            return;
        }
        string(*text);
    }

    void strings(const QStringList &list)
    {
        beginArray();
        for (const auto &s : list)
            string(s);
        endArray();
    }

    void integers(const QList<int> &list)
    {
        beginArray();
        for (int v : list)
            integer(v);
        endArray();
    }

    [[nodiscard]] std::optional<QByteArray> finish()
    {
        if (!m_ok)
            return std::nullopt;
        m_out += '\n';
        return m_out;
    }

private:
    void open(char bracket)
    {
        separate();
        m_out += bracket;
        m_empty.push_back(true);
    }

    void close(char bracket)
    {
        const bool empty = m_empty.back();
        m_empty.pop_back();
        if (!empty)
            newline();
        m_out += bracket;
    }

    // Before every value: a value after a key stays on the key's line; any other starts a line of its own.
    void separate()
    {
        if (m_afterKey) {
            m_afterKey = false;
            return;
        }
        if (m_empty.empty())
            return;
        if (!m_empty.back())
            m_out += ',';
        m_empty.back() = false;
        newline();
    }

    void newline()
    {
        m_out += '\n';
        m_out += QByteArray(qsizetype(m_empty.size()) * 2, ' ');
    }

    QByteArray m_out;
    std::vector<bool> m_empty;
    bool m_afterKey = false;
    bool m_ok = true;
};

// Code-point order over UTF-16: code units of surrogates (characters beyond U+FFFF) sort after U+E000 to U+FFFF.
[[nodiscard]] bool codePointLess(const QString &a, const QString &b)
{
    auto rank = [](char16_t c) -> char32_t {
        if (c >= 0xE000)
            return char32_t(c) - 0x800;
        if (c >= 0xD800)
            return char32_t(c) + 0x2000;
        return c;
    };
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = a[i].unicode();
        const char16_t y = b[i].unicode();
        if (x != y)
            return rank(x) < rank(y);
    }
    return a.size() < b.size();
}

[[nodiscard]] QList<int> sortedWeekdays(QList<int> weekdays)
{
    std::sort(weekdays.begin(), weekdays.end());
    return weekdays;
}

[[nodiscard]] QString blockModeText(QuitPlanBlockMode mode)
{
    switch (mode) {
    case QuitPlanBlockMode::minutes:
        return QStringLiteral("minutes");
    case QuitPlanBlockMode::until:
        return QStringLiteral("until");
    case QuitPlanBlockMode::none:
        break;
    }
    return QStringLiteral("none");
}

} // namespace

SupervisionExport makeExport(const QList<AppGroup *> &groups, const QList<RestrictionRule *> &rules,
                             const QList<QuitPlan *> &plans, const QString &slogan, Instant at)
{
    SupervisionExport file;
    file.exportedAt = at;
    file.blockedSlogan = slogan;

    QSet<QString> ids;
    for (const AppGroup *g : groups) {
        const QString id = g->refID();
        ids.insert(id);
        file.groups.append({id, g->name(), g->sortIndex(), g->bundleIDs()});
    }
    for (const RestrictionRule *r : rules) {
        const bool targetsGroup = r->targetKind() == RestrictionTarget::group;
        if (targetsGroup && !ids.contains(r->targetID()))
            continue;
        file.restrictionRules.append({targetsGroup ? QStringLiteral("group") : QStringLiteral("app"), r->targetID(),
                                      r->startMinute(), r->endMinute(), sortedWeekdays(r->weekdays()),
                                      r->isEnabled(), r->pausedUntil(), r->onceDate()});
    }
    for (const QuitPlan *p : plans) {
        const bool targetsGroup = p->targetKind() == QuitPlanTarget::group;
        if (targetsGroup && !ids.contains(p->groupID()))
            continue;
        QStringList bundleIDs = p->bundleIDs();
        std::sort(bundleIDs.begin(), bundleIDs.end(), codePointLess);
        file.quitPlans.append({targetsGroup ? QStringLiteral("group") : QStringLiteral("apps"), p->groupID(),
                               bundleIDs, p->quitMinute(), sortedWeekdays(p->weekdays()), blockModeText(p->blockMode()),
                               p->blockMinutes(), p->blockUntilMinute(), p->isEnabled(), p->pausedUntil()});
    }
    return file;
}

std::optional<QByteArray> encode(const SupervisionExport &file)
{
    using namespace Qt::StringLiterals;
    PrettyWriter w;
    w.beginObject();
    w.key("blockedSlogan"_L1);
    w.string(file.blockedSlogan);
    w.key("exportedAt"_L1);
    w.date(file.exportedAt);
    w.key("format"_L1);
    w.string(file.format);
    w.key("formatVersion"_L1);
    w.integer(file.formatVersion);

    w.key("groups"_L1);
    w.beginArray();
    for (const auto &g : file.groups) {
        w.beginObject();
        w.key("bundleIDs"_L1);
        w.strings(g.bundleIDs);
        w.key("id"_L1);
        w.string(g.id);
        w.key("name"_L1);
        w.string(g.name);
        w.key("sortIndex"_L1);
        w.integer(g.sortIndex);
        w.endObject();
    }
    w.endArray();

    w.key("quitPlans"_L1);
    w.beginArray();
    for (const auto &p : file.quitPlans) {
        w.beginObject();
        w.key("blockMinutes"_L1);
        w.integer(p.blockMinutes);
        w.key("blockMode"_L1);
        w.string(p.blockMode);
        w.key("blockUntilMinute"_L1);
        w.integer(p.blockUntilMinute);
        w.key("bundleIDs"_L1);
        w.strings(p.bundleIDs);
        w.key("groupID"_L1);
        w.string(p.groupID);
        w.key("isEnabled"_L1);
        w.boolean(p.isEnabled);
        if (p.pausedUntil) {
            w.key("pausedUntil"_L1);
            w.date(*p.pausedUntil);
        }
        w.key("quitMinute"_L1);
        w.integer(p.quitMinute);
        w.key("targetKind"_L1);
        w.string(p.targetKind);
        w.key("weekdays"_L1);
        w.integers(p.weekdays);
        w.endObject();
    }
    w.endArray();

    w.key("restrictionRules"_L1);
    w.beginArray();
    for (const auto &r : file.restrictionRules) {
        w.beginObject();
        w.key("endMinute"_L1);
        w.integer(r.endMinute);
        w.key("isEnabled"_L1);
        w.boolean(r.isEnabled);
        if (r.onceDate) {
            w.key("onceDate"_L1);
            w.date(*r.onceDate);
        }
        if (r.pausedUntil) {
            w.key("pausedUntil"_L1);
            w.date(*r.pausedUntil);
        }
        w.key("startMinute"_L1);
        w.integer(r.startMinute);
        w.key("targetID"_L1);
        w.string(r.targetID);
        w.key("targetKind"_L1);
        w.string(r.targetKind);
        w.key("weekdays"_L1);
        w.integers(r.weekdays);
        w.endObject();
    }
    w.endArray();
    w.endObject();
    return w.finish();
}

QString defaultFileName(Instant at, const QTimeZone &zone)
{
    using namespace Qt::StringLiterals;
    const QDate day = Instants::toDateTime(at).toTimeZone(zone).date();
    return u"Tarnwick监督规则-"_s + day.toString(u"yyyy-MM-dd") + u".json"_s;
}

} // namespace SupervisionExporter
