#include "supervisionexporter.h"
#include "supervisionfixtures.h"
#include "supervisionimporter.h"

#include "strictjsonreader.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <functional>

using namespace Qt::StringLiterals;
using SupervisionFixtures::utc;

namespace {

// A small valid file written by hand, in a layout other than ours; the tables below change one thing in it.
const QByteArray baseText = R"({"blockedSlogan": "停一下", "exportedAt": "2026-03-07T10:00:00Z",
 "format": "tarnwick-supervision", "formatVersion": 1,
 "groups": [{"bundleIDs": ["a.b", "c.d"], "id": "G1", "name": "娱乐", "sortIndex": 0},
            {"bundleIDs": [], "id": "G2", "name": "学习", "sortIndex": 1}],
 "quitPlans": [{"blockMinutes": 60, "blockMode": "minutes", "blockUntilMinute": 420, "bundleIDs": [], "groupID": "G1",
                "isEnabled": true, "pausedUntil": "2026-03-08T00:00:00Z", "quitMinute": 1380, "targetKind": "group",
                "weekdays": [1, 2, 3]}],
 "restrictionRules": [{"endMinute": 420, "isEnabled": false, "onceDate": "2026-03-09T12:00:00Z",
                       "pausedUntil": "2026-03-08T01:00:00Z", "startMinute": 1380, "targetID": "a.b",
                       "targetKind": "app", "weekdays": [2, 3]}]}
)"_ba;

SupervisionExport baseDocument()
{
    SupervisionExport e;
    e.exportedAt = utc(2026, 3, 7, 10);
    e.blockedSlogan = u"停一下"_s;
    e.groups = {{u"G1"_s, u"娱乐"_s, 0, {u"a.b"_s, u"c.d"_s}}, {u"G2"_s, u"学习"_s, 1, {}}};
    e.quitPlans = {{u"group"_s, u"G1"_s, {}, 1380, {1, 2, 3}, u"minutes"_s, 60, 420, true, utc(2026, 3, 8)}};
    e.restrictionRules = {
        {u"app"_s, u"a.b"_s, 1380, 420, {2, 3}, false, utc(2026, 3, 8, 1), utc(2026, 3, 9, 12)}};
    return e;
}

std::optional<SupervisionExport> decoded(QByteArrayView bytes)
{
    auto result = SupervisionImporter::decode(bytes);
    if (auto *file = std::get_if<SupervisionExport>(&result))
        return std::move(*file);
    return std::nullopt;
}

bool refusedAsInvalid(QByteArrayView bytes)
{
    const auto result = SupervisionImporter::decode(bytes);
    const auto *error = std::get_if<SupervisionImportError>(&result);
    return error && *error == SupervisionImportError::invalidFile;
}

QByteArray replacedOnce(const QByteArray &text, const QByteArray &from, const QByteArray &to)
{
    if (text.count(from) != 1)
        return {};
    QByteArray out = text;
    return out.replace(from, to);
}

// The value at a path such as "quitPlans/0/weekdays" replaced, or removed when `replacement` is undefined.
QJsonValue mutated(const QJsonValue &node, QStringList path, const QJsonValue &replacement)
{
    const QString head = path.takeFirst();
    if (node.isArray()) {
        QJsonArray a = node.toArray();
        const int i = head.toInt();
        if (!path.isEmpty())
            a[i] = mutated(a[i], path, replacement);
        else if (replacement.isUndefined())
            a.removeAt(i);
        else
            a[i] = replacement;
        return a;
    }
    QJsonObject o = node.toObject();
    if (!path.isEmpty())
        o[head] = mutated(o[head], path, replacement);
    else if (replacement.isUndefined())
        o.remove(head);
    else
        o[head] = replacement;
    return o;
}

QByteArray mutatedBase(const QString &path, const QJsonValue &replacement)
{
    const QJsonValue root = QJsonDocument::fromJson(baseText).object();
    return QJsonDocument(mutated(root, path.split(u'/'), replacement).toObject()).toJson(QJsonDocument::Compact);
}

QJsonValue valueAt(const QJsonValue &root, const QString &path)
{
    QJsonValue node = root;
    for (const auto &part : path.split(u'/'))
        node = node.isArray() ? node.toArray().at(part.toInt()) : node.toObject().value(part);
    return node;
}

const QJsonValue removed{QJsonValue::Undefined};

} // namespace

class TestSupervisionFile : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void encodesTheGoldenBytes();
    void goldenFileKeepsKeysAscendingInEveryObject();
    void decodesTheGoldenFile();
    void encodesAnEmptySetUp();
    void decodesEveryFieldOfAForeignLayout();
    void decodesOtherLayouts_data();
    void decodesOtherLayouts();
    void refusesStructuralFaults_data();
    void refusesStructuralFaults();
    void refusesTextFaults_data();
    void refusesTextFaults();
    void acceptsValuesTheEnginesTake_data();
    void acceptsValuesTheEnginesTake();
    void nullOptionalDatesReadAsAbsent();
    void lastOfRepeatedKeysCounts();
    void roundTripsAwkwardValues();
    void refusesToEncodeWhatTheFileCannotHold_data();
    void refusesToEncodeWhatTheFileCannotHold();
    void validateFindsBrokenGroupReferences_data();
    void validateFindsBrokenGroupReferences();
    void defaultFileName_data();
    void defaultFileName();
    void refusesEveryTruncation();
    void refusesHostileInputs_data();
    void refusesHostileInputs();
    void copesWithFiftyMegabyteFiles();
};

void TestSupervisionFile::encodesTheGoldenBytes()
{
    const QByteArray golden = SupervisionFixtures::goldenBytes();
    QVERIFY(!golden.isEmpty());
    const auto bytes = SupervisionExporter::encode(SupervisionFixtures::goldenDocument());
    QVERIFY(bytes);
    QCOMPARE(*bytes, golden);
}

void TestSupervisionFile::goldenFileKeepsKeysAscendingInEveryObject()
{
    // Walks the golden file with the strict reader and checks key order independently of the encoder.
    const QByteArray golden = SupervisionFixtures::goldenBytes();
    StrictJsonReader r(golden);
    int objects = 0;
    std::function<bool()> walk = [&]() -> bool {
        switch (r.next()) {
        case StrictJsonReader::Kind::object: {
            ++objects;
            if (!r.beginObject())
                return false;
            QString key;
            QString previous;
            bool first = true;
            for (;;) {
                const auto s = r.nextMember(key);
                if (s == StrictJsonReader::Step::end)
                    return true;
                if (s == StrictJsonReader::Step::broken || (!first && !(previous < key)))
                    return false;
                previous = key;
                first = false;
                if (!walk())
                    return false;
            }
        }
        case StrictJsonReader::Kind::array: {
            if (!r.beginArray())
                return false;
            for (;;) {
                const auto s = r.nextElement();
                if (s == StrictJsonReader::Step::end)
                    return true;
                if (s == StrictJsonReader::Step::broken || !walk())
                    return false;
            }
        }
        default:
            return r.skipValue();
        }
    };
    QVERIFY(walk());
    QVERIFY(r.atEnd());
    QCOMPARE(objects, 1 + 2 + 2 + 2);
}

void TestSupervisionFile::decodesTheGoldenFile()
{
    const auto file = decoded(SupervisionFixtures::goldenBytes());
    QVERIFY(file);
    QCOMPARE(*file, SupervisionFixtures::goldenDocument(true));
    QCOMPARE(SupervisionImporter::validate(*file), std::nullopt);
}

void TestSupervisionFile::encodesAnEmptySetUp()
{
    SupervisionExport e;
    e.exportedAt = utc(2026, 1, 2, 3, 4, 5);
    const auto bytes = SupervisionExporter::encode(e);
    QVERIFY(bytes);
    QCOMPARE(*bytes,
             "{\n  \"blockedSlogan\": \"\",\n  \"exportedAt\": \"2026-01-02T03:04:05Z\",\n"
             "  \"format\": \"tarnwick-supervision\",\n  \"formatVersion\": 1,\n  \"groups\": [],\n"
             "  \"quitPlans\": [],\n  \"restrictionRules\": []\n}\n"_ba);
}

void TestSupervisionFile::decodesEveryFieldOfAForeignLayout()
{
    const auto file = decoded(baseText);
    QVERIFY(file);
    QCOMPARE(*file, baseDocument());
}

void TestSupervisionFile::decodesOtherLayouts_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QByteArray crlf = baseText;
    crlf.replace("\n", "\r\n");
    QByteArray tabs = baseText;
    tabs.replace("\n ", "\n\t");
    QTest::newRow("compact") << QJsonDocument::fromJson(baseText).toJson(QJsonDocument::Compact);
    QTest::newRow("indented by Qt") << QJsonDocument::fromJson(baseText).toJson(QJsonDocument::Indented);
    QTest::newRow("windows line ends") << crlf;
    QTest::newRow("tabs") << tabs;
    QTest::newRow("with a byte order mark") << "\xEF\xBB\xBF"_ba + baseText;
    QTest::newRow("keys in another order")
        << replacedOnce(baseText, R"("format": "tarnwick-supervision", "formatVersion": 1,)",
                        R"("formatVersion": 1, "format": "tarnwick-supervision",)");
    QTest::newRow("escaped characters in a key") << replacedOnce(baseText, R"("name": "娱乐")", R"("na\u006De": "娱乐")");
    QTest::newRow("escaped characters in a value")
        << replacedOnce(baseText, R"("name": "娱乐")", R"("name": "\u5a31\u4e50")");
    QTest::newRow("a date with an offset")
        << replacedOnce(baseText, R"("2026-03-07T10:00:00Z")", R"("2026-03-07T18:30:00+08:30")");
    QTest::newRow("a date with a negative offset")
        << replacedOnce(baseText, R"("2026-03-07T10:00:00Z")", R"("2026-03-06T23:00:00-11:00")");
    QTest::newRow("minus zero is zero") << replacedOnce(baseText, R"("sortIndex": 0)", R"("sortIndex": -0)");
    QTest::newRow("unknown keys at every level")
        << replacedOnce(replacedOnce(replacedOnce(replacedOnce(baseText, R"({"blockedSlogan")",
                                                               R"({"extra": {"deep": [1.5, null, true]}, "blockedSlogan")"),
                                                  R"("id": "G1",)", R"("id": "G1", "colour": "red",)"),
                                     R"("targetKind": "app",)", R"("targetKind": "app", "note": 1e400,)"),
                        R"("quitMinute": 1380,)", R"("quitMinute": 1380, "quitSecond": 2147483648,)");
}

void TestSupervisionFile::decodesOtherLayouts()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(!bytes.isEmpty());
    const auto file = decoded(bytes);
    QVERIFY(file);
    QCOMPARE(*file, baseDocument());
}

void TestSupervisionFile::refusesStructuralFaults_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QJsonValue>("replacement");

    const QStringList topKeys{u"blockedSlogan"_s, u"exportedAt"_s, u"format"_s,          u"formatVersion"_s,
                              u"groups"_s,        u"quitPlans"_s,  u"restrictionRules"_s};
    const QStringList groupKeys{u"bundleIDs"_s, u"id"_s, u"name"_s, u"sortIndex"_s};
    const QStringList ruleKeys{u"endMinute"_s, u"isEnabled"_s,  u"startMinute"_s,
                               u"targetID"_s,  u"targetKind"_s, u"weekdays"_s};
    const QStringList planKeys{u"blockMinutes"_s, u"blockMode"_s, u"blockUntilMinute"_s,
                               u"bundleIDs"_s,    u"groupID"_s,   u"isEnabled"_s,
                               u"quitMinute"_s,   u"targetKind"_s, u"weekdays"_s};
    auto addMissing = [&](const QString &prefix, const QStringList &keys) {
        for (const auto &k : keys) {
            const QString path = prefix + k;
            QTest::addRow("without %s", qPrintable(path)) << path << removed;
            QTest::addRow("%s is null", qPrintable(path)) << path << QJsonValue(QJsonValue::Null);
        }
    };
    addMissing(QString(), topKeys);
    addMissing(u"groups/1/"_s, groupKeys);
    addMissing(u"restrictionRules/0/"_s, ruleKeys);
    addMissing(u"quitPlans/0/"_s, planKeys);

    QTest::newRow("format in other letter case") << u"format"_s << QJsonValue(u"Tarnwick-Supervision"_s);
    QTest::newRow("format of another program") << u"format"_s << QJsonValue(u"tarnwick-supervision2"_s);
    QTest::newRow("version 2") << u"formatVersion"_s << QJsonValue(2);
    QTest::newRow("version 0") << u"formatVersion"_s << QJsonValue(0);
    QTest::newRow("version as text") << u"formatVersion"_s << QJsonValue(u"1"_s);
    QTest::newRow("message as a number") << u"blockedSlogan"_s << QJsonValue(0);
    QTest::newRow("export date as seconds") << u"exportedAt"_s << QJsonValue(1772877600);
    QTest::newRow("groups as an object") << u"groups"_s << QJsonValue(QJsonObject{});
    QTest::newRow("a group as a text") << u"groups/0"_s << QJsonValue(u"G1"_s);
    QTest::newRow("a member as a number") << u"groups/0/bundleIDs/1"_s << QJsonValue(7);
    QTest::newRow("members as a text") << u"groups/0/bundleIDs"_s << QJsonValue(u"a.b"_s);
    QTest::newRow("sort index as text") << u"groups/0/sortIndex"_s << QJsonValue(u"0"_s);
    QTest::newRow("enabled as 1") << u"restrictionRules/0/isEnabled"_s << QJsonValue(1);
    QTest::newRow("enabled as text") << u"quitPlans/0/isEnabled"_s << QJsonValue(u"true"_s);
    QTest::newRow("a weekday as text") << u"restrictionRules/0/weekdays/0"_s << QJsonValue(u"2"_s);
    QTest::newRow("paused until as seconds") << u"restrictionRules/0/pausedUntil"_s << QJsonValue(1772877600);
    QTest::newRow("one-off date empty") << u"restrictionRules/0/onceDate"_s << QJsonValue(u""_s);
    QTest::newRow("plan paused until as an object") << u"quitPlans/0/pausedUntil"_s << QJsonValue(QJsonObject{});
    QTest::newRow("block mode as a number") << u"quitPlans/0/blockMode"_s << QJsonValue(1);

    QTest::newRow("start minute -1") << u"restrictionRules/0/startMinute"_s << QJsonValue(-1);
    QTest::newRow("start minute 1440") << u"restrictionRules/0/startMinute"_s << QJsonValue(1440);
    QTest::newRow("end minute 1440") << u"restrictionRules/0/endMinute"_s << QJsonValue(1440);
    QTest::newRow("quit minute 1440") << u"quitPlans/0/quitMinute"_s << QJsonValue(1440);
    QTest::newRow("block until minute -1") << u"quitPlans/0/blockUntilMinute"_s << QJsonValue(-1);
    QTest::newRow("rule weekday 0") << u"restrictionRules/0/weekdays/0"_s << QJsonValue(0);
    QTest::newRow("rule weekday 8") << u"restrictionRules/0/weekdays/1"_s << QJsonValue(8);
    QTest::newRow("plan weekday 8") << u"quitPlans/0/weekdays/2"_s << QJsonValue(8);
    QTest::newRow("negative block length") << u"quitPlans/0/blockMinutes"_s << QJsonValue(-1);
    QTest::newRow("empty group id") << u"groups/1/id"_s << QJsonValue(u""_s);
    QTest::newRow("repeated group id") << u"groups/1/id"_s << QJsonValue(u"G1"_s);
}

void TestSupervisionFile::refusesStructuralFaults()
{
    QFETCH(QString, path);
    QFETCH(QJsonValue, replacement);
    const QByteArray bytes = mutatedBase(path, replacement);
    QVERIFY(refusedAsInvalid(bytes));
}

void TestSupervisionFile::refusesTextFaults_data()
{
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    const QByteArray date = R"("exportedAt": "2026-03-07T10:00:00Z")";
    auto exportedAt = [](const char *text) { return R"("exportedAt": ")"_ba + text + '"'; };
    QTest::newRow("fractional seconds") << date << exportedAt("2026-03-07T10:00:00.000Z");
    QTest::newRow("fractional seconds with offset") << date << exportedAt("2026-03-07T10:00:00.5+01:00");
    QTest::newRow("lower-case t") << date << exportedAt("2026-03-07t10:00:00Z");
    QTest::newRow("lower-case z") << date << exportedAt("2026-03-07T10:00:00z");
    QTest::newRow("space for T") << date << exportedAt("2026-03-07 10:00:00Z");
    QTest::newRow("no zone") << date << exportedAt("2026-03-07T10:00:00");
    QTest::newRow("no seconds") << date << exportedAt("2026-03-07T10:00Z");
    QTest::newRow("leap second") << date << exportedAt("2016-12-31T23:59:60Z");
    QTest::newRow("February 30") << date << exportedAt("2026-02-30T10:00:00Z");
    QTest::newRow("February 29 of a common year") << date << exportedAt("2026-02-29T10:00:00Z");
    QTest::newRow("month 13") << date << exportedAt("2026-13-01T10:00:00Z");
    QTest::newRow("hour 24") << date << exportedAt("2026-03-07T24:00:00Z");
    QTest::newRow("offset without colon") << date << exportedAt("2026-03-07T10:00:00+0100");
    QTest::newRow("offset of 24 hours") << date << exportedAt("2026-03-07T10:00:00+24:00");
    QTest::newRow("basic format") << date << exportedAt("20260307T100000Z");
    QTest::newRow("date only") << date << exportedAt("2026-03-07");
    QTest::newRow("full-width digits") << date << exportedAt("２026-03-07T10:00:00Z");
    QTest::newRow("a one-off date with fractions")
        << R"("2026-03-09T12:00:00Z")"_ba << R"("2026-03-09T12:00:00.250Z")"_ba;

    const QByteArray minute = R"("startMinute": 1380)";
    QTest::newRow("integer with a fraction") << minute << R"("startMinute": 1380.0)"_ba;
    QTest::newRow("integer with an exponent") << minute << R"("startMinute": 1.38e3)"_ba;
    QTest::newRow("integer with a leading zero") << minute << R"("startMinute": 01380)"_ba;
    QTest::newRow("integer with a plus sign") << minute << R"("startMinute": +1380)"_ba;
    QTest::newRow("hexadecimal integer") << minute << R"("startMinute": 0x564)"_ba;
    QTest::newRow("not a number") << minute << R"("startMinute": NaN)"_ba;
    const QByteArray sortIndex = R"("sortIndex": 1)";
    QTest::newRow("sort index 2^31") << sortIndex << R"("sortIndex": 2147483648)"_ba;
    QTest::newRow("sort index below -2^31") << sortIndex << R"("sortIndex": -2147483649)"_ba;
    QTest::newRow("sort index 2^53 + 1") << sortIndex << R"("sortIndex": 9007199254740993)"_ba;
    QTest::newRow("sort index of 40 digits") << sortIndex << R"("sortIndex": 1234567890123456789012345678901234567890)"_ba;
    QTest::newRow("block length 2^32 + 60") << R"("blockMinutes": 60)"_ba << R"("blockMinutes": 4294967356)"_ba;
    QTest::newRow("version 1.0") << R"("formatVersion": 1)"_ba << R"("formatVersion": 1.0)"_ba;
    QTest::newRow("version 1e0") << R"("formatVersion": 1)"_ba << R"("formatVersion": 1e0)"_ba;

    QTest::newRow("capitalised true") << R"("isEnabled": true)"_ba << R"("isEnabled": True)"_ba;
    QTest::newRow("single quotes") << R"("name": "娱乐")"_ba << R"("name": '娱乐')"_ba;
    QTest::newRow("unknown escape") << R"("name": "娱乐")"_ba << R"("name": "\x41")"_ba;
    QTest::newRow("raw tab in a text") << R"("name": "娱乐")"_ba << "\"name\": \"a\tb\""_ba;
    QTest::newRow("raw line break in a text") << R"("name": "娱乐")"_ba << "\"name\": \"a\nb\""_ba;
    QTest::newRow("lone high surrogate") << R"("name": "娱乐")"_ba << R"("name": "\ud83d")"_ba;
    QTest::newRow("lone low surrogate") << R"("name": "娱乐")"_ba << R"("name": "\ude00x")"_ba;
    QTest::newRow("invalid UTF-8 byte") << R"("name": "娱乐")"_ba << "\"name\": \"\xFF\""_ba;
    QTest::newRow("overlong UTF-8") << R"("name": "娱乐")"_ba << "\"name\": \"\xC0\xAF\""_ba;
    QTest::newRow("UTF-8 encoded surrogate") << R"("name": "娱乐")"_ba << "\"name\": \"\xED\xA0\x80\""_ba;
    QTest::newRow("Latin-1 text") << R"("name": "娱乐")"_ba << "\"name\": \"caf\xE9\""_ba;
    QTest::newRow("trailing comma in a list") << R"(["a.b", "c.d"])"_ba << R"(["a.b", "c.d",])"_ba;
    QTest::newRow("trailing comma in an object") << R"("sortIndex": 0})"_ba << R"("sortIndex": 0,})"_ba;
    QTest::newRow("missing comma") << R"("id": "G1", "name")"_ba << R"("id": "G1" "name")"_ba;
    QTest::newRow("a comment") << R"("id": "G1",)"_ba << R"("id": "G1", // mine)"_ba;
    QTest::newRow("text after the document") << R"([2, 3]}]})"_ba << R"([2, 3]}]} {})"_ba;
    QTest::newRow("a second top-level comma") << R"([2, 3]}]})"_ba << R"([2, 3]}]},)"_ba;
    QTest::newRow("last of repeated keys is wrong")
        << R"("format": "tarnwick-supervision",)"_ba
        << R"("format": "tarnwick-supervision", "format": "other",)"_ba;
}

void TestSupervisionFile::refusesTextFaults()
{
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    const QByteArray bytes = replacedOnce(baseText, from, to);
    QVERIFY2(!bytes.isEmpty(), "the text to change must occur exactly once");
    QVERIFY(refusedAsInvalid(bytes));
}

void TestSupervisionFile::acceptsValuesTheEnginesTake_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QJsonValue>("value");
    QTest::newRow("first minute of the day") << u"restrictionRules/0/startMinute"_s << QJsonValue(0);
    QTest::newRow("last minute of the day") << u"restrictionRules/0/endMinute"_s << QJsonValue(1439);
    QTest::newRow("quit at the last minute") << u"quitPlans/0/quitMinute"_s << QJsonValue(1439);
    QTest::newRow("block of no minutes") << u"quitPlans/0/blockMinutes"_s << QJsonValue(0);
    QTest::newRow("block of three days") << u"quitPlans/0/blockMinutes"_s << QJsonValue(3 * 1440);
    QTest::newRow("block of 2^31 - 1 minutes") << u"quitPlans/0/blockMinutes"_s << QJsonValue(2147483647);
    QTest::newRow("negative sort index") << u"groups/0/sortIndex"_s << QJsonValue(-2147483647 - 1);
    QTest::newRow("empty block mode") << u"quitPlans/0/blockMode"_s << QJsonValue(u""_s);
    QTest::newRow("unknown target kind") << u"restrictionRules/0/targetKind"_s << QJsonValue(u"Group"_s);
    QTest::newRow("repeated weekdays out of order")
        << u"restrictionRules/0/weekdays"_s << QJsonValue(QJsonArray{7, 1, 7});
    QTest::newRow("no weekdays") << u"quitPlans/0/weekdays"_s << QJsonValue(QJsonArray{});
    QTest::newRow("empty message") << u"blockedSlogan"_s << QJsonValue(u""_s);
    QTest::newRow("empty group name") << u"groups/0/name"_s << QJsonValue(u""_s);
    QTest::newRow("repeated members") << u"groups/0/bundleIDs"_s << QJsonValue(QJsonArray{u"x"_s, u"x"_s});
    QTest::newRow("last date of the form") << u"exportedAt"_s << QJsonValue(u"9999-12-31T23:59:59Z"_s);
    QTest::newRow("first date of the form") << u"restrictionRules/0/onceDate"_s
                                            << QJsonValue(u"0000-01-01T00:00:00Z"_s);
    QTest::newRow("leap day") << u"quitPlans/0/pausedUntil"_s << QJsonValue(u"2028-02-29T23:59:59Z"_s);
    QTest::newRow("group ids differing in case") << u"groups/1/id"_s << QJsonValue(u"g1"_s);
}

void TestSupervisionFile::acceptsValuesTheEnginesTake()
{
    // What is read is written back the same: decode, encode again and look at the same place.
    QFETCH(QString, path);
    QFETCH(QJsonValue, value);
    const auto file = decoded(mutatedBase(path, value));
    QVERIFY(file);
    const auto bytes = SupervisionExporter::encode(*file);
    QVERIFY(bytes);
    const QJsonValue written = QJsonDocument::fromJson(*bytes).object();
    QCOMPARE(valueAt(written, path), value);
}

void TestSupervisionFile::nullOptionalDatesReadAsAbsent()
{
    QJsonValue root = QJsonDocument::fromJson(baseText).object();
    QJsonValue withNulls = root;
    QJsonValue without = root;
    for (const auto &path : {u"restrictionRules/0/pausedUntil"_s, u"restrictionRules/0/onceDate"_s,
                             u"quitPlans/0/pausedUntil"_s}) {
        withNulls = mutated(withNulls, path.split(u'/'), QJsonValue(QJsonValue::Null));
        without = mutated(without, path.split(u'/'), removed);
    }
    const auto a = decoded(QJsonDocument(withNulls.toObject()).toJson());
    const auto b = decoded(QJsonDocument(without.toObject()).toJson());
    QVERIFY(a);
    QVERIFY(b);
    QCOMPARE(*a, *b);
    QCOMPARE(a->restrictionRules[0].pausedUntil, std::nullopt);
    QCOMPARE(a->restrictionRules[0].onceDate, std::nullopt);
    QCOMPARE(a->quitPlans[0].pausedUntil, std::nullopt);

    // And our own output leaves absent dates out rather than writing null.
    const auto bytes = SupervisionExporter::encode(*a);
    QVERIFY(bytes);
    QVERIFY(!bytes->contains("null"));
    QVERIFY(!bytes->contains("pausedUntil"));
    QVERIFY(!bytes->contains("onceDate"));
}

void TestSupervisionFile::lastOfRepeatedKeysCounts()
{
    // An earlier member of the same key counts for nothing, even when it is of the wrong type.
    const QByteArray bytes = replacedOnce(
        replacedOnce(baseText, R"("sortIndex": 1)", R"("sortIndex": "one", "sortIndex": 5)"),
        R"("pausedUntil": "2026-03-08T01:00:00Z")", R"("pausedUntil": "2026-03-08T01:00:00Z", "pausedUntil": null)");
    const auto file = decoded(bytes);
    QVERIFY(file);
    QCOMPARE(file->groups[1].sortIndex, 5);
    QCOMPARE(file->restrictionRules[0].pausedUntil, std::nullopt);
}

void TestSupervisionFile::roundTripsAwkwardValues()
{
    QString controls;
    for (char16_t c = 0; c < 0x20; ++c)
        controls.append(QChar(c));
    SupervisionExport e;
    e.exportedAt = utc(1969, 12, 31, 23, 59, 59, 999999); // before 1970, with a fraction: floors to :59
    e.blockedSlogan = controls + u"\"\\/ \u007F \u2028 😀 末"_s;
    e.groups = {{u"id \"with\" quotes"_s, u"\\"_s, -2147483647 - 1, {u""_s, u"😀"_s}}};
    e.restrictionRules = {{u"group"_s, u"id \"with\" quotes"_s, 0, 1439, {7, 7, 1}, false, utc(0, 1, 1),
                           utc(9999, 12, 31, 23, 59, 59, 500000)}};
    e.quitPlans = {{u""_s, u"x"_s, {u"b"_s, u"a"_s}, 1439, {}, u"weird"_s, 2147483647, 0, true, std::nullopt}};

    const auto bytes = SupervisionExporter::encode(e);
    QVERIFY(bytes);
    const auto back = decoded(*bytes);
    QVERIFY(back);
    SupervisionExport expected = e;
    expected.exportedAt = utc(1969, 12, 31, 23, 59, 59);
    expected.restrictionRules[0].onceDate = utc(9999, 12, 31, 23, 59, 59);
    QCOMPARE(*back, expected);
    QVERIFY(bytes->contains("\"1969-12-31T23:59:59Z\""));
}

void TestSupervisionFile::refusesToEncodeWhatTheFileCannotHold_data()
{
    QTest::addColumn<SupervisionExport>("file");
    auto with = [](auto change) {
        SupervisionExport e = SupervisionFixtures::goldenDocument();
        change(e);
        return e;
    };
    QTest::newRow("lone high surrogate in a name")
        << with([](SupervisionExport &e) { e.groups[0].name = u"a"_s + QChar(char16_t(0xD83D)); });
    QTest::newRow("lone low surrogate in a member")
        << with([](SupervisionExport &e) { e.groups[0].bundleIDs[1] = QString(QChar(char16_t(0xDE00))) + u"b"_s; });
    QTest::newRow("surrogates in the wrong order")
        << with([](SupervisionExport &e) { e.blockedSlogan = QString(QChar(char16_t(0xDE00))) + QChar(char16_t(0xD83D)); });
    QTest::newRow("a date in the year 10000")
        << with([](SupervisionExport &e) { e.quitPlans[1].pausedUntil = utc(10000, 1, 1); });
    QTest::newRow("a date before the year 0")
        << with([](SupervisionExport &e) { e.exportedAt = utc(0, 1, 1) - 1s; });
    // So far out that its year no longer fits the 16 bits of a chrono year, where it would read as 1968.
    QTest::newRow("a date in the year 67504")
        << with([](SupervisionExport &e) { e.restrictionRules[1].onceDate = Instant{} + std::chrono::days{23936166}; });
    QTest::newRow("the last instant")
        << with([](SupervisionExport &e) { e.quitPlans[1].pausedUntil = Instant::max(); });
    QTest::newRow("the first instant") << with([](SupervisionExport &e) { e.exportedAt = Instant::min(); });
}

void TestSupervisionFile::refusesToEncodeWhatTheFileCannotHold()
{
    QFETCH(SupervisionExport, file);
    QCOMPARE(SupervisionExporter::encode(file), std::nullopt);
}

void TestSupervisionFile::validateFindsBrokenGroupReferences_data()
{
    QTest::addColumn<SupervisionExport>("file");
    QTest::addColumn<bool>("broken");
    auto with = [](auto change) {
        SupervisionExport e = baseDocument();
        change(e);
        return e;
    };
    QTest::newRow("the base file") << baseDocument() << false;
    QTest::newRow("no groups, rules or plans") << SupervisionExport{} << false;
    QTest::newRow("group rule naming a group of the file")
        << with([](SupervisionExport &e) { e.restrictionRules[0] = {u"group"_s, u"G2"_s, 0, 60, {}, true, {}, {}}; })
        << false;
    QTest::newRow("group rule naming no group")
        << with([](SupervisionExport &e) { e.restrictionRules[0] = {u"group"_s, u"G3"_s, 0, 60, {}, true, {}, {}}; })
        << true;
    QTest::newRow("group plan naming no group")
        << with([](SupervisionExport &e) { e.quitPlans[0].groupID = u"G3"_s; }) << true;
    QTest::newRow("group plan naming a group in other letter case")
        << with([](SupervisionExport &e) { e.quitPlans[0].groupID = u"g1"_s; }) << true;
    QTest::newRow("broken reference after good ones")
        << with([](SupervisionExport &e) {
               e.quitPlans.append(e.quitPlans[0]);
               e.quitPlans.append(e.quitPlans[0]);
               e.quitPlans[2].groupID = u"gone"_s;
           })
        << true;
    QTest::newRow("kind Group is not a group reference")
        << with([](SupervisionExport &e) { e.restrictionRules[0] = {u"Group"_s, u"G3"_s, 0, 60, {}, true, {}, {}}; })
        << false;
    QTest::newRow("apps plan keeps any group text")
        << with([](SupervisionExport &e) {
               e.quitPlans[0].targetKind = u"apps"_s;
               e.quitPlans[0].groupID = u"G3"_s;
           })
        << false;
    QTest::newRow("app rule naming an app nobody has")
        << with([](SupervisionExport &e) { e.restrictionRules[0].targetID = u"com.example.none"_s; }) << false;
}

void TestSupervisionFile::validateFindsBrokenGroupReferences()
{
    QFETCH(SupervisionExport, file);
    QFETCH(bool, broken);
    const auto result = SupervisionImporter::validate(file);
    if (broken)
        QCOMPARE(result, SupervisionImportError::brokenReferences);
    else
        QCOMPARE(result, std::nullopt);
}

void TestSupervisionFile::defaultFileName_data()
{
    QTest::addColumn<Instant>("at");
    QTest::addColumn<int>("offsetHours");
    QTest::addColumn<QString>("expected");
    QTest::newRow("in UTC") << utc(2026, 3, 7, 10) << 0 << u"Tarnwick监督规则-2026-03-07.json"_s;
    QTest::newRow("the next day in Beijing") << utc(2026, 3, 7, 16, 30) << 8 << u"Tarnwick监督规则-2026-03-08.json"_s;
    QTest::newRow("the day before in the west") << utc(2026, 1, 1, 3) << -5 << u"Tarnwick监督规则-2025-12-31.json"_s;
}

void TestSupervisionFile::defaultFileName()
{
    QFETCH(Instant, at);
    QFETCH(int, offsetHours);
    QFETCH(QString, expected);
    QCOMPARE(SupervisionExporter::defaultFileName(at, QTimeZone(offsetHours * 3600)), expected);
}

void TestSupervisionFile::refusesEveryTruncation()
{
    const QByteArray golden = SupervisionFixtures::goldenBytes();
    const qsizetype closing = golden.lastIndexOf('}');
    QVERIFY(closing > 0);
    for (qsizetype n = 0; n <= closing; ++n) {
        if (!refusedAsInvalid(golden.first(n)))
            QFAIL(qPrintable(u"a prefix of %1 bytes was accepted"_s.arg(n)));
    }
    QVERIFY(decoded(golden.first(closing + 1)));
}

void TestSupervisionFile::refusesHostileInputs_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("nothing") << QByteArray();
    QTest::newRow("only white space") << " \n\t "_ba;
    QTest::newRow("only a byte order mark") << "\xEF\xBB\xBF"_ba;
    QTest::newRow("null") << "null"_ba;
    QTest::newRow("a list") << "[]"_ba;
    QTest::newRow("an empty object") << "{}"_ba;
    QTest::newRow("a text") << R"("tarnwick-supervision")"_ba;
    QTest::newRow("a NUL byte before the document") << "\0"_ba + baseText;
    QTest::newRow("a NUL byte after the document") << baseText + '\0';
    QTest::newRow("two byte order marks") << "\xEF\xBB\xBF\xEF\xBB\xBF"_ba + baseText;
    QTest::newRow("UTF-16") << QByteArray("\xFF\xFE", 2)
                                   + QByteArray(reinterpret_cast<const char *>(QString::fromUtf8(baseText).utf16()),
                                                QString::fromUtf8(baseText).size() * 2);
    QByteArray deepUnknown = baseText;
    deepUnknown.replace(R"({"blockedSlogan")", "{\"x\": " + QByteArray(100000, '[') + QByteArray(100000, ']')
                                                   + ", \"blockedSlogan\"");
    QTest::newRow("nesting 100000 deep under an unknown key") << deepUnknown;
    QTest::newRow("unclosed nesting") << "{\"x\": " + QByteArray(100000, '{');
    QByteArray longNumber = baseText;
    longNumber.replace(R"("sortIndex": 1)", "\"sortIndex\": " + QByteArray(1 << 20, '9'));
    QTest::newRow("a number of a million digits") << longNumber;
    QByteArray hugeExponent = baseText;
    hugeExponent.replace(R"("formatVersion": 1)", R"("formatVersion": 1e999999999999)");
    QTest::newRow("a huge exponent") << hugeExponent;
    QTest::newRow("a truncated escape") << R"({"blockedSlogan": "\u00)"_ba;
}

void TestSupervisionFile::refusesHostileInputs()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(refusedAsInvalid(bytes));
}

void TestSupervisionFile::copesWithFiftyMegabyteFiles()
{
    constexpr qsizetype size = 50 * 1024 * 1024;

    // A long message is data like any other.
    QByteArray longMessage = baseText;
    longMessage.replace("停一下", QByteArray(size, 'x'));
    const auto file = decoded(longMessage);
    QVERIFY(file);
    QCOMPARE(file->blockedSlogan.size(), size);

    // An unknown member full of numbers is read past without keeping anything.
    QByteArray numbers;
    numbers.reserve(size + 16);
    numbers += "[0";
    while (numbers.size() < size)
        numbers += ",12345678";
    numbers += ']';
    QByteArray padded = baseText;
    padded.replace(R"({"blockedSlogan")", "{\"padding\": " + numbers + ", \"blockedSlogan\"");
    const auto skipped = decoded(padded);
    QVERIFY(skipped);
    QCOMPARE(*skipped, baseDocument());

    // Fifty megabytes of brackets stop at the nesting limit.
    QVERIFY(refusedAsInvalid(QByteArray(size, '[')));
    // And the same with one broken byte at the very end.
    numbers.back() = '}';
    padded = baseText;
    padded.replace(R"({"blockedSlogan")", "{\"padding\": " + numbers + ", \"blockedSlogan\"");
    QVERIFY(refusedAsInvalid(padded));
}

QTEST_GUILESS_MAIN(TestSupervisionFile)
#include "tst_supervisionfile.moc"
