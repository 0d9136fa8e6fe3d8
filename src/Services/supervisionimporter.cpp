#include "supervisionimporter.h"

#include "appgroup.h"
#include "internetdatetime.h"
#include "preferences.h"
#include "quitplan.h"
#include "restrictionrule.h"
#include "storecontext.h"
#include "strictjsonreader.h"

#include <QSet>

#include <algorithm>
#include <array>

namespace SupervisionImporter {

namespace {

using namespace Qt::StringLiterals;
using Reader = StrictJsonReader;
using Kind = StrictJsonReader::Kind;
using Step = StrictJsonReader::Step;
using Export = SupervisionExport;

constexpr int lastMinuteOfDay = 24 * 60 - 1;

// The outcome of reading one value. `wrong` is a well-formed value that the format does not allow there: reading
// goes on, because a later member of the same key replaces it. `broken` is text that is no JSON: reading stops.
enum class Got { missing, ok, wrong, broken };

[[nodiscard]] Got skipWrong(Reader &r)
{
    return r.skipValue() ? Got::wrong : Got::broken;
}

[[nodiscard]] Got readString(Reader &r, QString &out)
{
    if (r.next() != Kind::string)
        return skipWrong(r);
    return r.readString(out) ? Got::ok : Got::broken;
}

[[nodiscard]] Got readInteger(Reader &r, int &out, qint64 lowest = INT32_MIN, qint64 highest = INT32_MAX)
{
    if (r.next() != Kind::number)
        return skipWrong(r);
    std::optional<qint32> value;
    if (!r.readNumber(value))
        return Got::broken;
    if (!value || *value < lowest || *value > highest)
        return Got::wrong;
    out = *value;
    return Got::ok;
}

[[nodiscard]] Got readMinuteOfDay(Reader &r, int &out)
{
    return readInteger(r, out, 0, lastMinuteOfDay);
}

[[nodiscard]] Got readWeekday(Reader &r, int &out)
{
    return readInteger(r, out, 1, 7);
}

[[nodiscard]] Got readBool(Reader &r, bool &out)
{
    if (r.next() != Kind::boolean)
        return skipWrong(r);
    return r.readBool(out) ? Got::ok : Got::broken;
}

[[nodiscard]] Got readDate(Reader &r, Instant &out)
{
    QString text;
    const Got got = readString(r, text);
    if (got != Got::ok)
        return got;
    const auto t = InternetDateTime::parse(text);
    if (!t)
        return Got::wrong;
    out = *t;
    return Got::ok;
}

[[nodiscard]] Got readOptionalDate(Reader &r, std::optional<Instant> &out)
{
    if (r.next() == Kind::null) {
        if (!r.readNull())
            return Got::broken;
        out.reset();
        return Got::ok;
    }
    Instant t;
    const Got got = readDate(r, t);
    if (got == Got::ok)
        out = t;
    return got;
}

template <class T, class ReadOne>
[[nodiscard]] Got readList(Reader &r, QList<T> &out, ReadOne readOne)
{
    if (r.next() != Kind::array)
        return skipWrong(r);
    if (!r.beginArray())
        return Got::broken;
    QList<T> list;
    bool wrong = false;
    for (;;) {
        switch (r.nextElement()) {
        case Step::broken:
            return Got::broken;
        case Step::end:
            if (wrong)
                return Got::wrong;
            out = std::move(list);
            return Got::ok;
        case Step::item:
            if (wrong) {
                // The list is refused already; the rest only has to be well-formed.
                if (!r.skipValue())
                    return Got::broken;
                break;
            }
            T item{};
            const Got got = readOne(r, item);
            if (got == Got::broken)
                return Got::broken;
            if (got == Got::wrong)
                wrong = true;
            else
                list.append(std::move(item));
            break;
        }
    }
}

[[nodiscard]] Got readStrings(Reader &r, QStringList &out)
{
    return readList(r, out, readString);
}

[[nodiscard]] Got readWeekdays(Reader &r, QList<int> &out)
{
    return readList(r, out, readWeekday);
}

template <class Entry>
struct Field
{
    QLatin1StringView key;
    bool required = true;
    Got (*read)(Reader &, Entry &) = nullptr;
};

// An object whose members fill `entry`: every required field present and right, no optional one wrong.
template <class Entry, std::size_t N>
[[nodiscard]] Got readObject(Reader &r, Entry &entry, const std::array<Field<Entry>, N> &fields)
{
    if (r.next() != Kind::object)
        return skipWrong(r);
    if (!r.beginObject())
        return Got::broken;
    std::array<Got, N> states;
    states.fill(Got::missing);
    QString key;
    for (;;) {
        switch (r.nextMember(key)) {
        case Step::broken:
            return Got::broken;
        case Step::end:
            for (std::size_t i = 0; i < N; ++i) {
                if (fields[i].required ? states[i] != Got::ok : states[i] == Got::wrong)
                    return Got::wrong;
            }
            return Got::ok;
        case Step::item: {
            const auto it = std::find_if(fields.begin(), fields.end(), [&](const auto &f) { return f.key == key; });
            if (it == fields.end()) {
                if (!r.skipValue())
                    return Got::broken;
                break;
            }
            const Got got = it->read(r, entry);
            if (got == Got::broken)
                return Got::broken;
            states[std::size_t(it - fields.begin())] = got;
            break;
        }
        }
    }
}

using Group = Export::GroupEntry;
using Rule = Export::RuleEntry;
using Plan = Export::PlanEntry;

const std::array<Field<Group>, 4> groupFields{{
    {"bundleIDs"_L1, true, [](Reader &r, Group &e) { return readStrings(r, e.bundleIDs); }},
    {"id"_L1, true, [](Reader &r, Group &e) { return readString(r, e.id); }},
    {"name"_L1, true, [](Reader &r, Group &e) { return readString(r, e.name); }},
    {"sortIndex"_L1, true, [](Reader &r, Group &e) { return readInteger(r, e.sortIndex); }},
}};

const std::array<Field<Rule>, 8> ruleFields{{
    {"endMinute"_L1, true, [](Reader &r, Rule &e) { return readMinuteOfDay(r, e.endMinute); }},
    {"isEnabled"_L1, true, [](Reader &r, Rule &e) { return readBool(r, e.isEnabled); }},
    {"onceDate"_L1, false, [](Reader &r, Rule &e) { return readOptionalDate(r, e.onceDate); }},
    {"pausedUntil"_L1, false, [](Reader &r, Rule &e) { return readOptionalDate(r, e.pausedUntil); }},
    {"startMinute"_L1, true, [](Reader &r, Rule &e) { return readMinuteOfDay(r, e.startMinute); }},
    {"targetID"_L1, true, [](Reader &r, Rule &e) { return readString(r, e.targetID); }},
    {"targetKind"_L1, true, [](Reader &r, Rule &e) { return readString(r, e.targetKind); }},
    {"weekdays"_L1, true, [](Reader &r, Rule &e) { return readWeekdays(r, e.weekdays); }},
}};

const std::array<Field<Plan>, 10> planFields{{
    {"blockMinutes"_L1, true, [](Reader &r, Plan &e) { return readInteger(r, e.blockMinutes, 0); }},
    {"blockMode"_L1, true, [](Reader &r, Plan &e) { return readString(r, e.blockMode); }},
    {"blockUntilMinute"_L1, true, [](Reader &r, Plan &e) { return readMinuteOfDay(r, e.blockUntilMinute); }},
    {"bundleIDs"_L1, true, [](Reader &r, Plan &e) { return readStrings(r, e.bundleIDs); }},
    {"groupID"_L1, true, [](Reader &r, Plan &e) { return readString(r, e.groupID); }},
    {"isEnabled"_L1, true, [](Reader &r, Plan &e) { return readBool(r, e.isEnabled); }},
    {"pausedUntil"_L1, false, [](Reader &r, Plan &e) { return readOptionalDate(r, e.pausedUntil); }},
    {"quitMinute"_L1, true, [](Reader &r, Plan &e) { return readMinuteOfDay(r, e.quitMinute); }},
    {"targetKind"_L1, true, [](Reader &r, Plan &e) { return readString(r, e.targetKind); }},
    {"weekdays"_L1, true, [](Reader &r, Plan &e) { return readWeekdays(r, e.weekdays); }},
}};

const std::array<Field<Export>, 7> exportFields{{
    {"blockedSlogan"_L1, true, [](Reader &r, Export &e) { return readString(r, e.blockedSlogan); }},
    {"exportedAt"_L1, true, [](Reader &r, Export &e) { return readDate(r, e.exportedAt); }},
    {"format"_L1, true, [](Reader &r, Export &e) { return readString(r, e.format); }},
    {"formatVersion"_L1, true, [](Reader &r, Export &e) { return readInteger(r, e.formatVersion); }},
    {"groups"_L1, true,
     [](Reader &r, Export &e) {
         return readList(r, e.groups, [](Reader &r, Group &g) { return readObject(r, g, groupFields); });
     }},
    {"quitPlans"_L1, true,
     [](Reader &r, Export &e) {
         return readList(r, e.quitPlans, [](Reader &r, Plan &p) { return readObject(r, p, planFields); });
     }},
    {"restrictionRules"_L1, true,
     [](Reader &r, Export &e) {
         return readList(r, e.restrictionRules, [](Reader &r, Rule &x) { return readObject(r, x, ruleFields); });
     }},
}};

// Rules and plans find their group by id, so an id must name exactly one group.
[[nodiscard]] bool groupIDsAreUsable(const QList<Group> &groups)
{
    QSet<QString> seen;
    seen.reserve(groups.size());
    for (const auto &g : groups) {
        if (g.id.isEmpty() || seen.contains(g.id))
            return false;
        seen.insert(g.id);
    }
    return true;
}

} // namespace

std::variant<SupervisionExport, SupervisionImportError> decode(QByteArrayView bytes)
{
    Reader reader(bytes);
    Export file;
    if (readObject(reader, file, exportFields) != Got::ok || !reader.atEnd())
        return SupervisionImportError::invalidFile;
    if (file.format != Export::formatIdentifier || file.formatVersion != Export::currentFormatVersion)
        return SupervisionImportError::invalidFile;
    if (!groupIDsAreUsable(file.groups))
        return SupervisionImportError::invalidFile;
    return file;
}

std::optional<SupervisionImportError> validate(const SupervisionExport &file)
{
    QSet<QString> ids;
    for (const auto &g : file.groups)
        ids.insert(g.id);
    const auto group = u"group"_s;
    for (const auto &r : file.restrictionRules) {
        if (r.targetKind == group && !ids.contains(r.targetID))
            return SupervisionImportError::brokenReferences;
    }
    for (const auto &p : file.quitPlans) {
        if (p.targetKind == group && !ids.contains(p.groupID))
            return SupervisionImportError::brokenReferences;
    }
    return std::nullopt;
}

SupervisionApplyResult apply(const SupervisionExport &file, StoreContext &context, Preferences &preferences)
{
    const StoreContext::Mark before = context.mark();
    for (RestrictionRule *r : context.fetch<RestrictionRule>())
        context.remove(r);
    for (QuitPlan *p : context.fetch<QuitPlan>())
        context.remove(p);
    for (AppGroup *g : context.fetch<AppGroup>())
        context.remove(g);

    for (const auto &entry : file.groups) {
        auto group = std::make_unique<AppGroup>(entry.name, entry.sortIndex, entry.bundleIDs);
        // The file's ids are what its rules and plans refer to, so they replace the fresh ones.
        group->setStableID(entry.id);
        context.insert(std::move(group));
    }
    const auto group = u"group"_s;
    for (const auto &entry : file.restrictionRules) {
        auto rule = std::make_unique<RestrictionRule>(
            entry.targetKind == group ? RestrictionTarget::group : RestrictionTarget::app, entry.targetID,
            entry.startMinute, entry.endMinute, entry.weekdays, entry.isEnabled, entry.onceDate);
        rule->setPausedUntil(entry.pausedUntil);
        context.insert(std::move(rule));
    }
    for (const auto &entry : file.quitPlans) {
        QuitPlanBlockMode mode = QuitPlanBlockMode::none;
        if (entry.blockMode == u"minutes")
            mode = QuitPlanBlockMode::minutes;
        else if (entry.blockMode == u"until")
            mode = QuitPlanBlockMode::until;
        auto plan = std::make_unique<QuitPlan>(entry.targetKind == group ? QuitPlanTarget::group : QuitPlanTarget::apps,
                                               entry.groupID, entry.bundleIDs, entry.quitMinute, entry.weekdays, mode,
                                               entry.blockMinutes, entry.blockUntilMinute, entry.isEnabled);
        plan->setPausedUntil(entry.pausedUntil);
        context.insert(std::move(plan));
    }

    if (context.save() != SaveResult::saved) {
        // Takes back this call's deletions and insertions only; what was pending before stays pending.
        (void)context.rollback(before);
        return SupervisionApplyResult::storeFailed;
    }
    preferences.setString(blockedSloganKey.toString(), file.blockedSlogan);
    return SupervisionApplyResult::applied;
}

} // namespace SupervisionImporter
