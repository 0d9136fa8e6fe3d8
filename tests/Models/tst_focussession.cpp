#include "focussession.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

namespace {

const QString idText = u"6F9619FF-8B86-D011-B42D-00C04FC964FF"_qs;

QJsonObject parse(const char *json)
{
    return QJsonDocument::fromJson(QByteArray(json)).object();
}

FocusSession session(std::optional<QString> note, std::optional<int> block)
{
    FocusSession s;
    s.id = QUuid::fromString(idText);
    s.bundleID = u"com.example.game"_qs;
    s.appName = u"游戏"_qs;
    s.taskNote = std::move(note);
    s.deadline = Instants::fromSecondsSinceReferenceDate(794145600.123456);
    s.blockMinutes = block;
    return s;
}

} // namespace

class TestFocusSession : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void encoding_data();
    void encoding();
    void decoding_data();
    void decoding();
    void decodeFailures_data();
    void decodeFailures();
    void roundTrip_data();
    void roundTrip();
    void equalityCoversEveryField();
};

void TestFocusSession::encoding_data()
{
    QTest::addColumn<FocusSession>("value");
    QTest::addColumn<QStringList>("keys");
    QTest::newRow("with note and block") << session(u"写报告"_qs, 10)
                                         << QStringList{"appName", "blockMinutes", "bundleID", "deadline", "id",
                                                        "taskNote"};
    QTest::newRow("without note and block") << session(std::nullopt, std::nullopt)
                                            << QStringList{"appName", "bundleID", "deadline", "id"};
}

void TestFocusSession::encoding()
{
    QFETCH(FocusSession, value);
    QFETCH(QStringList, keys);
    const QJsonObject o = value.toJson();
    QCOMPARE(o.keys(), keys);
    QCOMPARE(o.value(u"id"_qs).toString(), idText);
    QCOMPARE(o.value(u"bundleID"_qs).toString(), value.bundleID);
    QCOMPARE(o.value(u"appName"_qs).toString(), value.appName);
    QCOMPARE(o.value(u"deadline"_qs).toDouble(), 794145600.123456);
    if (value.taskNote)
        QCOMPARE(o.value(u"taskNote"_qs).toString(), *value.taskNote);
    if (value.blockMinutes)
        QCOMPARE(o.value(u"blockMinutes"_qs).toInt(-1), *value.blockMinutes);
}

void TestFocusSession::decoding_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("id");
    QTest::addColumn<std::optional<QString>>("note");
    QTest::addColumn<std::optional<int>>("block");
    const auto none = std::optional<QString>();
    const auto noBlock = std::optional<int>();
    const QString nil = u"00000000-0000-0000-0000-000000000000"_qs;

    QTest::newRow("every key") << QByteArray(R"({"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","bundleID":"b",
        "appName":"A","taskNote":"写报告","deadline":794145600.5,"blockMinutes":10})")
                               << idText << std::optional(u"写报告"_qs) << std::optional(10);
    QTest::newRow("no note and no block") << QByteArray(R"({"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF",
        "bundleID":"b","appName":"A","deadline":794145600.5})") << idText << none << noBlock;
    QTest::newRow("null note and null block") << QByteArray(R"({"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF",
        "bundleID":"b","appName":"A","taskNote":null,"deadline":794145600.5,"blockMinutes":null})")
                                              << idText << none << noBlock;
    QTest::newRow("an empty note is no note") << QByteArray(R"({"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF",
        "bundleID":"b","appName":"A","taskNote":"","deadline":794145600.5})") << idText << none << noBlock;
    QTest::newRow("lower-case id") << QByteArray(R"({"id":"6f9619ff-8b86-d011-b42d-00c04fc964ff","bundleID":"b",
        "appName":"A","deadline":794145600.5})") << idText << none << noBlock;
    QTest::newRow("the nil uuid") << QByteArray(R"({"id":"00000000-0000-0000-0000-000000000000","bundleID":"b",
        "appName":"A","deadline":794145600.5})") << nil << none << noBlock;
    QTest::newRow("unknown keys are ignored") << QByteArray(R"({"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF",
        "bundleID":"b","appName":"A","deadline":794145600.5,"colour":"red","extra":{"a":1}})")
                                              << idText << none << noBlock;
    QTest::newRow("block minutes as an integral float") << QByteArray(R"({"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF",
        "bundleID":"b","appName":"A","deadline":794145600.5,"blockMinutes":5.0})") << idText << none
                                                        << std::optional(5);
}

void TestFocusSession::decoding()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, id);
    QFETCH(std::optional<QString>, note);
    QFETCH(std::optional<int>, block);
    const auto decoded = FocusSession::fromJson(QJsonDocument::fromJson(json).object());
    QVERIFY(decoded);
    QCOMPARE(decoded->id, QUuid::fromString(id));
    QCOMPARE(decoded->bundleID, u"b"_qs);
    QCOMPARE(decoded->appName, u"A"_qs);
    QCOMPARE(decoded->taskNote, note);
    QCOMPARE(decoded->deadline, Instants::fromSecondsSinceReferenceDate(794145600.5));
    QCOMPARE(decoded->blockMinutes, block);
}

void TestFocusSession::decodeFailures_data()
{
    QTest::addColumn<QJsonValue>("value");
    QTest::addColumn<QString>("failingKey");
    const QJsonObject good = parse(R"({"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","bundleID":"b","appName":"A",
        "deadline":794145600.5})");
    auto without = [&](const char *key) {
        QJsonObject o = good;
        o.remove(QString::fromLatin1(key));
        return QJsonValue(o);
    };
    auto with = [&](const char *key, const QJsonValue &v) {
        QJsonObject o = good;
        o.insert(QString::fromLatin1(key), v);
        return QJsonValue(o);
    };
    QTest::newRow("no id") << without("id") << "id";
    QTest::newRow("no bundle id") << without("bundleID") << "bundleID";
    QTest::newRow("no app name") << without("appName") << "appName";
    QTest::newRow("no deadline") << without("deadline") << "deadline";
    QTest::newRow("id in braces") << with("id", u"{6F9619FF-8B86-D011-B42D-00C04FC964FF}"_qs) << "id";
    QTest::newRow("id without hyphens") << with("id", u"6F9619FF8B86D011B42D00C04FC964FF"_qs) << "id";
    QTest::newRow("id with a stray letter") << with("id", u"6F9619FF-8B86-D011-B42D-00C04FC964FG"_qs) << "id";
    QTest::newRow("id as a number") << with("id", 7) << "id";
    QTest::newRow("null bundle id") << with("bundleID", QJsonValue::Null) << "bundleID";
    QTest::newRow("app name as a number") << with("appName", 1) << "appName";
    QTest::newRow("note as a number") << with("taskNote", 1) << "taskNote";
    QTest::newRow("deadline as text") << with("deadline", u"2026-03-02T12:00:00Z"_qs) << "deadline";
    QTest::newRow("deadline no instant can hold") << with("deadline", 1e300) << "deadline";
    QTest::newRow("fractional block minutes") << with("blockMinutes", 2.5) << "blockMinutes";
    QTest::newRow("block minutes as text") << with("blockMinutes", u"5"_qs) << "blockMinutes";
    QTest::newRow("block minutes beyond an int") << with("blockMinutes", 1e12) << "blockMinutes";
    QTest::newRow("an array, not an object") << QJsonValue(QJsonArray{good}) << "";
}

void TestFocusSession::decodeFailures()
{
    QFETCH(QJsonValue, value);
    QFETCH(QString, failingKey);
    QString error = u"untouched"_qs;
    QVERIFY(!FocusSession::fromJson(value, &error));
    QCOMPARE(error, failingKey);
}

void TestFocusSession::roundTrip_data()
{
    QTest::addColumn<FocusSession>("value");
    QTest::newRow("with note and block") << session(u"写报告"_qs, 10);
    QTest::newRow("without note and block") << session(std::nullopt, std::nullopt);
    FocusSession early = session(std::nullopt, 0);
    early.deadline = Instants::fromSecondsSince1970(-1.000001);
    QTest::newRow("a deadline before 1970 with microseconds") << early;
}

void TestFocusSession::roundTrip()
{
    QFETCH(FocusSession, value);
    const QByteArray bytes = QJsonDocument(value.toJson()).toJson();
    const auto decoded = FocusSession::fromJson(QJsonDocument::fromJson(bytes).object());
    QVERIFY(decoded);
    QCOMPARE(*decoded, value);
    QCOMPARE(decoded->toJson(), value.toJson());
}

void TestFocusSession::equalityCoversEveryField()
{
    const FocusSession base = session(u"n"_qs, 5);
    QList<FocusSession> others(6, base);
    others[0].id = QUuid::createUuid();
    others[1].bundleID = u"other"_qs;
    others[2].appName = u"other"_qs;
    others[3].taskNote.reset();
    others[4].deadline += 1us;
    others[5].blockMinutes = 6;
    for (const auto &other : others)
        QVERIFY(other != base);
    QCOMPARE(qHash(session(u"n"_qs, 5), 3), qHash(base, 3));
    QVERIFY(FocusSession().id != FocusSession().id);
}

QTEST_GUILESS_MAIN(TestFocusSession)
#include "tst_focussession.moc"
