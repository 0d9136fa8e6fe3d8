#include "fake/memorypreferences.h"
#include "jsonfilepreferences.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

class TestPreferences : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void wrongTypesReadAsAbsent_data();
    void wrongTypesReadAsAbsent();
    void numberMapSkipsNonNumbers();
    void changesAreSignalledOnce();
    void fileRoundTripKeepsTypes();
    void defaultFileLivesInTheConfigFolder();
    void unreadableFileIsKeptAside();
    void failedWriteLeavesTheOldFile();
    void badBytesCostOnlyTheirTextAndUnknownKeysStay();
    void linkedFileLeftoversAndEarlierCopies();
};

void TestPreferences::wrongTypesReadAsAbsent_data()
{
    QTest::addColumn<QJsonValue>("stored");
    QTest::addColumn<bool>("isBool");
    QTest::addColumn<bool>("isInteger");
    QTest::addColumn<bool>("isDouble");
    QTest::addColumn<bool>("isString");
    QTest::addColumn<bool>("isStringList");
    QTest::newRow("a Boolean") << QJsonValue(true) << true << false << false << false << false;
    QTest::newRow("the text true") << QJsonValue(u"true"_qs) << false << false << false << true << false;
    QTest::newRow("the number 1") << QJsonValue(1) << false << true << true << false << false;
    QTest::newRow("a fraction") << QJsonValue(7.5) << false << false << true << false << false;
    QTest::newRow("a list of texts") << QJsonValue(QJsonArray{u"a"_qs, u"b"_qs}) << false << false << false << false
                                     << true;
    QTest::newRow("a list with a number") << QJsonValue(QJsonArray{u"a"_qs, 2}) << false << false << false << false
                                          << false;
    QTest::newRow("null") << QJsonValue(QJsonValue::Null) << false << false << false << false << false;
}

void TestPreferences::wrongTypesReadAsAbsent()
{
    QFETCH(QJsonValue, stored);
    MemoryPreferences prefs;
    prefs.setValue(u"k"_qs, stored);
    QFETCH(bool, isBool);
    QFETCH(bool, isInteger);
    QFETCH(bool, isDouble);
    QFETCH(bool, isString);
    QFETCH(bool, isStringList);
    QCOMPARE(prefs.boolValue(u"k"_qs).has_value(), isBool);
    QCOMPARE(prefs.integerValue(u"k"_qs).has_value(), isInteger);
    QCOMPARE(prefs.doubleValue(u"k"_qs).has_value(), isDouble);
    QCOMPARE(prefs.stringValue(u"k"_qs).has_value(), isString);
    QCOMPARE(prefs.stringList(u"k"_qs).has_value(), isStringList);
    QVERIFY(!prefs.boolValue(u"missing"_qs));
}

void TestPreferences::numberMapSkipsNonNumbers()
{
    MemoryPreferences prefs;
    prefs.setValue(u"m"_qs, QJsonObject{{u"a"_qs, 1.5}, {u"b"_qs, u"soon"_qs}, {u"c"_qs, QJsonValue::Null}});
    const auto map = prefs.numberMap(u"m"_qs);
    QVERIFY(map);
    QCOMPARE(map->size(), 1);
    QCOMPARE(map->value(u"a"_qs), 1.5);
    prefs.setString(u"m"_qs, u"not a map"_qs);
    QVERIFY(!prefs.numberMap(u"m"_qs));
}

void TestPreferences::changesAreSignalledOnce()
{
    MemoryPreferences prefs;
    QStringList changed;
    connect(&prefs, &Preferences::valueChanged, this, [&](const QString &k) { changed.append(k); });
    prefs.setBool(u"hideAfterLaunch"_qs, true);
    prefs.setBool(u"hideAfterLaunch"_qs, true); // no change, no notice
    prefs.remove(u"hideAfterLaunch"_qs);
    prefs.remove(u"hideAfterLaunch"_qs);
    QCOMPARE(changed, (QStringList{u"hideAfterLaunch"_qs, u"hideAfterLaunch"_qs}));
    QCOMPARE(prefs.writeCount(), 2);
}

void TestPreferences::fileRoundTripKeepsTypes()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"nested/defaults.json"_qs);
    {
        JsonFilePreferences prefs(path);
        prefs.setBool(u"b"_qs, false);
        prefs.setInteger(u"i"_qs, 12);
        prefs.setDouble(u"d"_qs, 1.25);
        prefs.setString(u"s"_qs, u"专注"_qs);
        prefs.setStringList(u"l"_qs, {u"x"_qs, u"y"_qs, u"x"_qs});
        prefs.setNumberMap(u"m"_qs, {{u"com.a"_qs, 1772452800.5}});
        QVERIFY(prefs.lastWriteSucceeded());
    }
    JsonFilePreferences again(path);
    QCOMPARE(again.boolValue(u"b"_qs), std::optional<bool>(false));
    QCOMPARE(again.integerValue(u"i"_qs), std::optional<qint64>(12));
    QCOMPARE(again.doubleValue(u"d"_qs), std::optional<double>(1.25));
    QCOMPARE(again.stringValue(u"s"_qs), std::optional<QString>(u"专注"_qs));
    QCOMPARE(again.stringList(u"l"_qs), std::optional<QStringList>({u"x"_qs, u"y"_qs, u"x"_qs}));
    QCOMPARE(again.numberMap(u"m"_qs)->value(u"com.a"_qs), 1772452800.5);
    QVERIFY(!again.boolValue(u"s"_qs));
}

void TestPreferences::defaultFileLivesInTheConfigFolder()
{
    QCOMPARE(JsonFilePreferences::defaultFilePath(),
             qEnvironmentVariable("XDG_CONFIG_HOME") + u"/Tarnwick/defaults.json"_qs);
}

void TestPreferences::unreadableFileIsKeptAside()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"defaults.json"_qs);
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("{ \"half\": ");
    f.close();
    JsonFilePreferences prefs(path);
    QVERIFY(!prefs.contains(u"half"_qs));
    prefs.setBool(u"b"_qs, true);
    QFile aside(path + u".corrupt"_qs);
    QVERIFY(aside.open(QIODevice::ReadOnly));
    QCOMPARE(aside.readAll(), QByteArray("{ \"half\": "));
    QCOMPARE(JsonFilePreferences(path).boolValue(u"b"_qs), std::optional<bool>(true));
}

void TestPreferences::failedWriteLeavesTheOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"defaults.json"_qs);
    JsonFilePreferences prefs(path);
    prefs.setString(u"blockedSlogan"_qs, u"先做完正事"_qs);
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();

    // Tests run as root, so permissions cannot make a write fail; a file-size limit can.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit tiny = old;
    tiny.rlim_cur = 64;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    prefs.setString(u"big"_qs, QString(4096, u'x'));
    setrlimit(RLIMIT_FSIZE, &old);

    QVERIFY(!prefs.lastWriteSucceeded());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), before);
    f.close();
    QCOMPARE(prefs.stringValue(u"big"_qs)->size(), 4096); // kept in memory
    prefs.setBool(u"next"_qs, true); // and written with the next change
    QVERIFY(prefs.lastWriteSucceeded());
    QCOMPARE(JsonFilePreferences(path).stringValue(u"big"_qs)->size(), 4096);
}

void TestPreferences::badBytesCostOnlyTheirTextAndUnknownKeysStay()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"defaults.json"_qs);
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    // A stray byte in one text, a key a newer version wrote, and a value of a type this version does not expect.
    f.write("{\"blockedSlogan\": \"先做\xff完\", \"hideAfterLaunch\": true, "
            "\"futureKey\": {\"list\": [1, 2.5, \"x\", null]}, \"gridPreferredColumns\": \"seven\"}");
    f.close();

    JsonFilePreferences prefs(path);
    QCOMPARE(prefs.stringValue(u"blockedSlogan"_qs), std::optional<QString>(u"先做\uFFFD完"_qs));
    QCOMPARE(prefs.boolValue(u"hideAfterLaunch"_qs), std::optional<bool>(true));
    QCOMPARE(prefs.integerValue(u"gridPreferredColumns"_qs), std::nullopt);

    prefs.setInteger(u"gridPreferredRows"_qs, 5);
    QVERIFY(prefs.lastWriteSucceeded());
    QVERIFY(!QFile::exists(path + u".corrupt"_qs));
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QJsonObject written = QJsonDocument::fromJson(f.readAll()).object();
    QCOMPARE(written.value(u"futureKey"_qs),
             QJsonValue(QJsonObject{{u"list"_qs, QJsonArray{1, 2.5, u"x"_qs, QJsonValue::Null}}}));
    QCOMPARE(written.value(u"gridPreferredColumns"_qs), QJsonValue(u"seven"_qs));
    QCOMPARE(written.value(u"blockedSlogan"_qs), QJsonValue(u"先做\uFFFD完"_qs));
    QCOMPARE(written.value(u"hideAfterLaunch"_qs), QJsonValue(true));
    QCOMPARE(written.value(u"gridPreferredRows"_qs), QJsonValue(5));
    QCOMPARE(written.size(), 5);
}

void TestPreferences::linkedFileLeftoversAndEarlierCopies()
{
    // The preferences file is a link into a folder of dotfiles, damaged for the second time, and a killed write
    // left a temporary file beside it.
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(u"config/Tarnwick"_qs));
    QVERIFY(QDir(dir.path()).mkpath(u"dotfiles"_qs));
    auto put = [&](const QString &name, const QByteArray &bytes) {
        QFile f(dir.filePath(name));
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    };
    QVERIFY(put(u"dotfiles/defaults.json"_qs, "{ \"half\": "));
    QVERIFY(put(u"dotfiles/defaults.json.corrupt"_qs, "first damage"));
    QVERIFY(put(u"dotfiles/.defaults.json.x1Y2z3"_qs, "{\"left\": "));
    const QString link = dir.filePath(u"config/Tarnwick/defaults.json"_qs);
    QVERIFY(QFile::link(u"../../dotfiles/defaults.json"_qs, link));

    JsonFilePreferences prefs(link);
    QVERIFY(!QFile::exists(dir.filePath(u"dotfiles/.defaults.json.x1Y2z3"_qs)));
    prefs.setBool(u"b"_qs, true);
    QVERIFY(prefs.lastWriteSucceeded());
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(JsonFilePreferences(dir.filePath(u"dotfiles/defaults.json"_qs)).boolValue(u"b"_qs),
             std::optional<bool>(true));
    QFile first(dir.filePath(u"dotfiles/defaults.json.corrupt"_qs));
    QVERIFY(first.open(QIODevice::ReadOnly));
    QCOMPARE(first.readAll(), QByteArray("first damage"));
    QFile second(dir.filePath(u"dotfiles/defaults.json.corrupt-2"_qs));
    QVERIFY(second.open(QIODevice::ReadOnly));
    QCOMPARE(second.readAll(), QByteArray("{ \"half\": "));
    QCOMPARE(QDir(dir.filePath(u"config/Tarnwick"_qs)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{u"defaults.json"_qs});
}

QTEST_GUILESS_MAIN(TestPreferences)
#include "tst_preferences.moc"
