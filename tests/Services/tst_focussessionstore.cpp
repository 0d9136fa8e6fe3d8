#include "focussessionstore.h"

#include "datalocation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

namespace {

const Instant now = Instant{std::chrono::sys_days{std::chrono::year{2026} / 3 / 2}} + 12h;

FocusSession session(const char *uuid, Instant deadline, std::optional<int> blockMinutes = std::nullopt)
{
    FocusSession s;
    s.id = QUuid::fromString(QLatin1StringView(uuid));
    s.bundleID = u"org.editor"_qs;
    s.appName = u"编辑器"_qs;
    s.deadline = deadline;
    s.blockMinutes = blockMinutes;
    return s;
}

const FocusSession first = session("11111111-1111-4111-8111-111111111111", now + 10min, 30);
const FocusSession second = session("22222222-2222-4222-8222-222222222222", now + 20min);
const FocusSession third = session("33333333-3333-4333-8333-333333333333", now + 30min, 0);

QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "<unreadable>";
    return f.readAll();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QByteArray json(const QJsonArray &array)
{
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

} // namespace

class TestFocusSessionStore : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void defaultFolderIsTheDataFolderAndIsNotCreatedUpFront();
    void fileFormat();
    void activeSessionsKeepOnlyDeadlinesAhead_data();
    void activeSessionsKeepOnlyDeadlinesAhead();
    void damagedEntryLosesOnlyItself_data();
    void damagedEntryLosesOnlyItself();
    void unreadableFileIsKeptAsideBeforeTheNextWrite_data();
    void unreadableFileIsKeptAsideBeforeTheNextWrite();
    void appendReplaceRemoveKeepOrderAndExpiredEntries();
    void failedWriteLeavesThePreviousFile();
    void badByteInOneNoteCostsNothingElse();
    void unreadableEntriesAndUnknownKeysSurviveEveryWrite();
    void linkedFileLeftoversAndEarlierCopies();
};

void TestFocusSessionStore::defaultFolderIsTheDataFolderAndIsNotCreatedUpFront()
{
    FocusSessionStore store;
    QCOMPARE(store.directory(), DataLocation::dataFolder());
    QCOMPARE(store.filePath(), DataLocation::dataFolder() + u"/sessions.json"_qs);
    QVERIFY(!QDir(store.directory()).exists());
    QCOMPARE(store.load(), QList<FocusSession>{});
    QVERIFY(!QDir(store.directory()).exists());
}

void TestFocusSessionStore::fileFormat()
{
    QTemporaryDir dir;
    FocusSessionStore store(dir.path() + u"/nested/Tarnwick"_qs);
    FocusSession noted = first;
    noted.taskNote = u"写完第三章"_qs;
    noted.deadline = Instant{std::chrono::sys_days{std::chrono::year{2001} / 1 / 1}} + 90s + 250ms;
    QCOMPARE(store.saveAll({noted, second}), FocusSessionStore::WriteResult::written);

    const QByteArray bytes = readAll(store.filePath());
    QVERIFY(!bytes.contains('\n')); // compact
    const auto array = QJsonDocument::fromJson(bytes).array();
    QCOMPARE(array.size(), 2);
    const auto a = array.at(0).toObject();
    QCOMPARE(a.value(u"id"_qs).toString(), u"11111111-1111-4111-8111-111111111111"_qs);
    QCOMPARE(a.value(u"taskNote"_qs).toString(), u"写完第三章"_qs);
    QCOMPARE(a.value(u"deadline"_qs).toDouble(), 90.25); // seconds since 2001-01-01 UTC
    QCOMPARE(a.value(u"blockMinutes"_qs).toInt(), 30);
    const auto b = array.at(1).toObject();
    QVERIFY(!b.contains(u"taskNote"_qs));
    QVERIFY(!b.contains(u"blockMinutes"_qs));
    QCOMPARE(store.load(), (QList<FocusSession>{noted, second}));
}

void TestFocusSessionStore::activeSessionsKeepOnlyDeadlinesAhead_data()
{
    QTest::addColumn<QList<FocusSession>>("stored");
    QTest::addColumn<QList<FocusSession>>("kept");
    const FocusSession atNow = session("44444444-4444-4444-8444-444444444444", now);
    const FocusSession past = session("55555555-5555-4555-8555-555555555555", now - 1h);
    const FocusSession justAhead = session("66666666-6666-4666-8666-666666666666", now + 1us);
    QTest::newRow("one expired, one running") << QList<FocusSession>{past, first} << QList<FocusSession>{first};
    QTest::newRow("a deadline of exactly now has passed") << QList<FocusSession>{atNow} << QList<FocusSession>{};
    QTest::newRow("a microsecond ahead is kept") << QList<FocusSession>{justAhead}
                                                 << QList<FocusSession>{justAhead};
    QTest::newRow("order is kept") << QList<FocusSession>{third, past, first}
                                   << QList<FocusSession>{third, first};
    QTest::newRow("no file yet") << QList<FocusSession>{} << QList<FocusSession>{};
}

void TestFocusSessionStore::activeSessionsKeepOnlyDeadlinesAhead()
{
    QFETCH(QList<FocusSession>, stored);
    QFETCH(QList<FocusSession>, kept);
    QTemporaryDir dir;
    FocusSessionStore store(dir.path());
    if (!stored.isEmpty())
        QCOMPARE(store.saveAll(stored), FocusSessionStore::WriteResult::written);

    QCOMPARE(store.activeSessions(now), kept);
    QCOMPARE(store.load(), kept); // rewritten with exactly the kept ones
    QVERIFY(!QFile::exists(store.filePath() + u".corrupt"_qs));
}

void TestFocusSessionStore::damagedEntryLosesOnlyItself_data()
{
    QTest::addColumn<QJsonValue>("damaged");
    auto broken = [](const char *key, const QJsonValue &value) {
        QJsonObject o = second.toJson();
        if (value.isUndefined())
            o.remove(QLatin1StringView(key));
        else
            o.insert(QLatin1StringView(key), value);
        return QJsonValue(o);
    };
    QTest::newRow("no id") << broken("id", QJsonValue::Undefined);
    QTest::newRow("id that is no UUID") << broken("id", u"not-a-uuid"_qs);
    QTest::newRow("deadline as text") << broken("deadline", u"2026-03-02"_qs);
    QTest::newRow("no app name") << broken("appName", QJsonValue::Undefined);
    QTest::newRow("block minutes with a fraction") << broken("blockMinutes", 2.5);
    QTest::newRow("a number instead of an object") << QJsonValue(42);
    QTest::newRow("null") << QJsonValue(QJsonValue::Null);
}

void TestFocusSessionStore::damagedEntryLosesOnlyItself()
{
    QFETCH(QJsonValue, damaged);
    QTemporaryDir dir;
    FocusSessionStore store(dir.path());
    QJsonObject lowerCase = third.toJson();
    lowerCase.insert(u"id"_qs, FocusSession::uuidText(third.id).toLower()); // read in either case
    lowerCase.insert(u"futureKey"_qs, true);                              // unknown keys are ignored
    QVERIFY(writeFile(store.filePath(), json({first.toJson(), damaged, lowerCase})));

    QCOMPARE(store.activeSessions(now), (QList<FocusSession>{first, third}));
    QCOMPARE(store.load(), (QList<FocusSession>{first, third}));
    QVERIFY(!QFile::exists(store.filePath() + u".corrupt"_qs));
}

void TestFocusSessionStore::unreadableFileIsKeptAsideBeforeTheNextWrite_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("not JSON") << QByteArray("[{\"id\": \"1111");
    QTest::newRow("an object, not a list") << QByteArray("{\"sessions\":[]}");
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("binary garbage") << QByteArray("\x00\xff\xfe", 3);
}

void TestFocusSessionStore::unreadableFileIsKeptAsideBeforeTheNextWrite()
{
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    FocusSessionStore store(dir.path());
    QVERIFY(writeFile(store.filePath(), bytes));

    QCOMPARE(store.activeSessions(now), QList<FocusSession>{});
    QCOMPARE(readAll(store.filePath()), QByteArray("[]"));
    QCOMPARE(readAll(store.filePath() + u".corrupt"_qs), bytes);

    // Kept aside once: later writes go to the new file and leave the kept copy alone.
    store.append(first);
    QCOMPARE(store.load(), QList<FocusSession>{first});
    QCOMPARE(readAll(store.filePath() + u".corrupt"_qs), bytes);
}

void TestFocusSessionStore::appendReplaceRemoveKeepOrderAndExpiredEntries()
{
    QTemporaryDir dir;
    FocusSessionStore store(dir.path());
    const FocusSession expired = session("77777777-7777-4777-8777-777777777777", now - 1h);
    store.append(expired);
    store.append(first);
    store.append(second);
    QCOMPARE(store.load(), (QList<FocusSession>{expired, first, second}));

    FocusSession resumed = first;
    resumed.deadline = now + 2h;
    store.replace(resumed);
    QCOMPARE(store.load(), (QList<FocusSession>{expired, resumed, second}));

    store.remove(second.id);
    store.remove(QUuid::createUuid()); // unknown: nothing changes
    QCOMPARE(store.load(), (QList<FocusSession>{expired, resumed}));

    // A folder in the file's place cannot be read; it is moved aside whole before the next write.
    QTemporaryDir other;
    FocusSessionStore blocked(other.path());
    QVERIFY(QDir().mkpath(blocked.filePath() + u"/inner"_qs));
    QCOMPARE(blocked.load(), QList<FocusSession>{});
    blocked.append(first);
    QCOMPARE(blocked.load(), QList<FocusSession>{first});
    QVERIFY(QDir(blocked.filePath() + u".corrupt/inner"_qs).exists());
}

void TestFocusSessionStore::failedWriteLeavesThePreviousFile()
{
    QTemporaryDir dir;
    // A folder that can never be made: its parent is a regular file (tests run as root, so no permission tricks).
    QVERIFY(writeFile(dir.path() + u"/plain"_qs, "x"));
    FocusSessionStore unwritable(dir.path() + u"/plain/Tarnwick"_qs);
    QCOMPARE(unwritable.saveAll({first}), FocusSessionStore::WriteResult::failed);
    unwritable.append(first); // ignored, and nothing breaks
    QCOMPARE(unwritable.load(), QList<FocusSession>{});

    // An unreadable file whose first aside name is taken (here by a folder) goes to the next one; what holds the
    // name stays as it is.
    FocusSessionStore store(dir.path());
    QVERIFY(writeFile(store.filePath(), "{broken"));
    QVERIFY(QDir().mkpath(store.filePath() + u".corrupt/taken"_qs));
    QCOMPARE(store.activeSessions(now), QList<FocusSession>{});
    QCOMPARE(store.saveAll({first}), FocusSessionStore::WriteResult::written);
    QCOMPARE(readAll(store.filePath() + u".corrupt-2"_qs), QByteArray("{broken"));
    QVERIFY(QDir(store.filePath() + u".corrupt/taken"_qs).exists());
}

void TestFocusSessionStore::badByteInOneNoteCostsNothingElse()
{
    QTemporaryDir dir;
    FocusSessionStore store(dir.path());
    FocusSession noted = first;
    noted.taskNote = u"写完@章"_qs;
    QByteArray bytes = json({noted.toJson(), second.toJson(), third.toJson()});
    bytes.replace("@", "\xff"); // one byte that is no UTF-8, inside the first session's note
    QVERIFY(writeFile(store.filePath(), bytes));

    noted.taskNote = u"写完\uFFFD章"_qs;
    QCOMPARE(store.activeSessions(now), (QList<FocusSession>{noted, second, third}));
    QCOMPARE(store.load(), (QList<FocusSession>{noted, second, third}));
    QVERIFY(!QFile::exists(store.filePath() + u".corrupt"_qs));
}

void TestFocusSessionStore::unreadableEntriesAndUnknownKeysSurviveEveryWrite()
{
    // As a newer version might write the file: a key this version does not know, and entries it cannot read.
    QTemporaryDir dir;
    FocusSessionStore store(dir.path());
    QJsonObject firstPlus = first.toJson();
    firstPlus.insert(u"pauseHistory"_qs, QJsonArray{QJsonObject{{u"at"_qs, 1.5}}});
    firstPlus.insert(u"taskNote"_qs, u"旧的"_qs);
    QJsonObject unreadable = second.toJson();
    unreadable.insert(u"id"_qs, u"33333333-aaaa-4aaa-8aaa-333333333333"_qs);
    unreadable.insert(u"deadline"_qs, QJsonObject{{u"seconds"_qs, 1e9}, {u"zone"_qs, u"UTC"_qs}});
    const QJsonValue notAnObject(u"a session of a kind yet to come"_qs);
    QJsonObject expired = session("55555555-5555-4555-8555-555555555555", now - 1h).toJson();
    expired.insert(u"pauseHistory"_qs, QJsonArray{});
    QVERIFY(writeFile(store.filePath(), json({firstPlus, unreadable, expired, notAnObject, second.toJson()})));

    FocusSession firstRead = first;
    firstRead.taskNote = u"旧的"_qs;
    QCOMPARE(store.activeSessions(now), (QList<FocusSession>{firstRead, second}));
    QCOMPARE(QJsonDocument::fromJson(readAll(store.filePath())).array(),
             (QJsonArray{firstPlus, unreadable, notAnObject, second.toJson()}));

    // Replacing a session writes our keys (an optional one now absent goes) and keeps the unknown one.
    FocusSession resumed = first;
    resumed.deadline = now + 3h;
    store.replace(resumed);
    store.append(third);
    store.remove(second.id);
    QJsonObject resumedPlus = resumed.toJson();
    resumedPlus.insert(u"pauseHistory"_qs, firstPlus.value(u"pauseHistory"_qs));
    QCOMPARE(QJsonDocument::fromJson(readAll(store.filePath())).array(),
             (QJsonArray{resumedPlus, unreadable, notAnObject, third.toJson()}));
    QCOMPARE(store.load(), (QList<FocusSession>{resumed, third}));
}

void TestFocusSessionStore::linkedFileLeftoversAndEarlierCopies()
{
    // The sessions file is a link into another folder, damaged for the second time, with a temporary file that a
    // killed write left beside it.
    QTemporaryDir dir;
    FocusSessionStore store(dir.filePath(u"data/Tarnwick"_qs));
    QVERIFY(QDir(dir.path()).mkpath(u"data/Tarnwick"_qs));
    QVERIFY(writeFile(dir.filePath(u"elsewhere/sessions.json"_qs), "[{\"id\""));
    QVERIFY(writeFile(dir.filePath(u"elsewhere/sessions.json.corrupt"_qs), "first damage"));
    QVERIFY(writeFile(dir.filePath(u"elsewhere/.sessions.json.Ab12Cd"_qs), "[]"));
    QVERIFY(writeFile(dir.filePath(u"data/Tarnwick/.sessions.json.Ef34Gh"_qs), "[]"));
    QVERIFY(QFile::link(u"../../elsewhere/sessions.json"_qs, store.filePath()));

    QCOMPARE(store.activeSessions(now), QList<FocusSession>{});
    store.append(first);
    QVERIFY(QFileInfo(store.filePath()).isSymLink());
    QCOMPARE(FocusSessionStore(dir.filePath(u"elsewhere"_qs)).load(), QList<FocusSession>{first});
    QCOMPARE(readAll(dir.filePath(u"elsewhere/sessions.json.corrupt"_qs)), QByteArray("first damage"));
    QCOMPARE(readAll(dir.filePath(u"elsewhere/sessions.json.corrupt-2"_qs)), QByteArray("[{\"id\""));
    QVERIFY(!QFile::exists(dir.filePath(u"elsewhere/.sessions.json.Ab12Cd"_qs)));
    QCOMPARE(QDir(store.directory()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{u"sessions.json"_qs});
}

QTEST_GUILESS_MAIN(TestFocusSessionStore)
#include "tst_focussessionstore.moc"
