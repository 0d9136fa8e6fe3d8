#include "fake/fakerunningapps.h"
#include "fake/memorypreferencedomains.h"
#include "preferencedomaindockpinning.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <deque>
#include <random>

namespace {

const QString domain = u"com.apple.dock"_qs;
const QString key = u"persistent-apps"_qs;

QVariantMap tile(const QVariantMap &data)
{
    return {{u"GUID"_qs, qint64(1234567890)}, {u"tile-data"_qs, data}, {u"tile-type"_qs, u"file-tile"_qs}};
}

QVariantMap tileWithLocation(const QString &location)
{
    return tile({{u"file-data"_qs, QVariantMap{{u"_CFURLString"_qs, location}, {u"_CFURLStringType"_qs, qint64(15)}}},
                 {u"file-label"_qs, u"Some App"_qs}});
}

AppInfo app(const QString &id, const QString &path)
{
    AppInfo a;
    a.bundleID = id;
    a.name = u"Name of "_qs + id;
    a.url = QUrl::fromLocalFile(path);
    return a;
}

// Plays back the given draws, then keeps returning the last one.
struct ScriptedRandom
{
    std::shared_ptr<std::deque<quint64>> draws;
    quint64 operator()()
    {
        const quint64 next = draws->front();
        if (draws->size() > 1)
            draws->pop_front();
        return next;
    }
};

struct Fixture
{
    explicit Fixture(PreferenceDomainDockPinning::Random64 random = std::mt19937_64(7))
        : dock(domains, running, [this](const QString &program, const QStringList &arguments) {
            started.append(QStringList{program} + arguments);
        }, std::move(random))
    {
    }

    QVariantList storedTiles() const { return domains.storedValue(domain, key).value_or(QVariant()).toList(); }

    MemoryPreferenceDomains domains;
    FakeRunningApps running;
    QList<QStringList> started;
    PreferenceDomainDockPinning dock;
};

} // namespace

class TestPreferenceDomainDockPinning : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void alreadyKept_data();
    void alreadyKept();
    void addOutcomes_data();
    void addOutcomes();
    void tileRecordNamesTheResolvedLocation();
    void failedSynchronizeIsTakenBack();
    void appBehindALinkIsKeptOnce();
    void guidStaysWithinTenDigits_data();
    void guidStaysWithinTenDigits();
    void guidsOfARealGenerator();

private:
    QTemporaryDir m_dir;
    QString m_real;   // an app folder
    QString m_link;   // a symbolic link to it
    QString m_spaced; // an app folder with blanks in its name
};

void TestPreferenceDomainDockPinning::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // The temporary folder itself may lie behind a link; every expectation uses its resolved form.
    const QString root = QFileInfo(m_dir.path()).canonicalFilePath();
    m_real = root + u"/Applications/Real.app"_qs;
    m_spaced = root + u"/Applications/Visual Studio Code.app"_qs;
    QVERIFY(QDir().mkpath(m_real));
    QVERIFY(QDir().mkpath(m_spaced));
    QVERIFY(QDir().mkpath(root + u"/Links"_qs));
    m_link = root + u"/Links/Linked.app"_qs;
    QVERIFY(QFile::link(m_real, m_link));
}

void TestPreferenceDomainDockPinning::alreadyKept_data()
{
    QTest::addColumn<QVariant>("value"); // invalid: no value
    QTest::addColumn<QString>("appPath");
    QTest::addColumn<bool>("kept");

    const QString id = u"com.example.app"_qs;
    QTest::newRow("by identifier, though the location differs")
        << QVariant(QVariantList{tile({{u"bundle-identifier"_qs, id},
                                       {u"file-data"_qs, QVariantMap{{u"_CFURLString"_qs, u"/Elsewhere/Old.app"_qs}}}})})
        << u"/Applications/New.app"_qs << true;
    QTest::newRow("by a file URL with %20 and a trailing slash")
        << QVariant(QVariantList{tileWithLocation(QString::fromLatin1(QUrl::fromLocalFile(m_spaced).toEncoded())
                                                  + u'/')})
        << m_spaced << true;
    QTest::newRow("by a plain path") << QVariant(QVariantList{tileWithLocation(u"/Applications/Plain.app"_qs)})
                                     << u"/Applications/Plain.app"_qs << true;
    QTest::newRow("by a plain path with a trailing slash")
        << QVariant(QVariantList{tileWithLocation(u"/Applications/Plain.app/"_qs)}) << u"/Applications/Plain.app"_qs
        << true;
    QTest::newRow("the app's location is a link to the tile's")
        << QVariant(QVariantList{tileWithLocation(m_real)}) << m_link << true;
    QTest::newRow("the tile's location is a link to the app's")
        << QVariant(QVariantList{tileWithLocation(m_link)}) << m_real << true;
    QTest::newRow("after other tiles")
        << QVariant(QVariantList{tileWithLocation(u"/Applications/A.app"_qs), tile({}),
                                 tileWithLocation(u"/Applications/Plain.app"_qs)})
        << u"/Applications/Plain.app"_qs << true;
    QTest::newRow("another location") << QVariant(QVariantList{tileWithLocation(u"/Applications/Other.app"_qs)})
                                      << u"/Applications/Plain.app"_qs << false;
    QTest::newRow("letter case counts") << QVariant(QVariantList{tileWithLocation(u"/applications/plain.app"_qs)})
                                        << u"/Applications/Plain.app"_qs << false;
    QTest::newRow("tile data that is no dictionary")
        << QVariant(QVariantList{QVariantMap{{u"tile-data"_qs, u"/Applications/Plain.app"_qs}}})
        << u"/Applications/Plain.app"_qs << false;
    QTest::newRow("a value that is no list") << QVariant(u"/Applications/Plain.app"_qs)
                                             << u"/Applications/Plain.app"_qs << false;
    QTest::newRow("a list with an element that is no dictionary")
        << QVariant(QVariantList{tileWithLocation(u"/Applications/Plain.app"_qs), u"x"_qs})
        << u"/Applications/Plain.app"_qs << false;
    QTest::newRow("no value") << QVariant() << u"/Applications/Plain.app"_qs << false;
}

void TestPreferenceDomainDockPinning::alreadyKept()
{
    QFETCH(QVariant, value);
    QFETCH(QString, appPath);
    QFETCH(bool, kept);
    Fixture f;
    if (value.isValid())
        f.domains.setStoredValue(domain, key, value);
    QCOMPARE(f.dock.isInDock(app(u"com.example.app"_qs, appPath)), kept);
}

void TestPreferenceDomainDockPinning::addOutcomes_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("dockRuns");
    QTest::addColumn<bool>("added");
    QTest::addColumn<int>("tilesAfter"); // in the store; -1: the value is left as it was
    QTest::addColumn<QString>("restart"); // "terminate", "killall" or empty

    const QVariant two = QVariantList{tileWithLocation(u"/Applications/A.app"_qs),
                                      tileWithLocation(u"/Applications/B.app"_qs)};
    QTest::newRow("no value: a list of one tile") << QVariant() << true << true << 1 << u"terminate"_qs;
    QTest::newRow("an empty list") << QVariant(QVariantList{}) << true << true << 1 << u"terminate"_qs;
    QTest::newRow("appended after the kept tiles") << two << true << true << 3 << u"terminate"_qs;
    QTest::newRow("no dock running: killall") << QVariant() << false << true << 1 << u"killall"_qs;
    QTest::newRow("already kept: nothing written")
        << QVariant(QVariantList{tileWithLocation(u"/Applications/Plain.app"_qs)}) << true << false << -1 << QString();
    QTest::newRow("a value that is no list: nothing written")
        << QVariant(u"text"_qs) << true << false << -1 << QString();
    QTest::newRow("a list with an element that is no dictionary: nothing written")
        << QVariant(QVariantList{qint64(3)}) << true << false << -1 << QString();
}

void TestPreferenceDomainDockPinning::addOutcomes()
{
    QFETCH(QVariant, value);
    QFETCH(bool, dockRuns);
    QFETCH(bool, added);
    QFETCH(int, tilesAfter);
    QFETCH(QString, restart);
    Fixture f;
    if (value.isValid())
        f.domains.setStoredValue(domain, key, value);
    f.running.launch(u"com.example.other"_qs);
    if (dockRuns) {
        f.running.launch(u"com.apple.dock"_qs, u"Dock"_qs, 500);
        f.running.launch(u"com.apple.dock"_qs, u"Dock"_qs, 501);
    }
    const AppInfo plain = app(u"com.example.plain"_qs, u"/Applications/Plain.app"_qs);

    QCOMPARE(f.dock.addToDock(plain), added);
    if (tilesAfter < 0) {
        QCOMPARE(f.domains.writeCount(), 0);
        QCOMPARE(f.domains.storedValue(domain, key), value.isValid() ? std::optional(value) : std::nullopt);
    } else {
        const QVariantList tiles = f.storedTiles();
        QCOMPARE(tiles.size(), tilesAfter);
        if (value.isValid())
            QCOMPARE(tiles.mid(0, tilesAfter - 1), value.toList());
        QCOMPARE(tiles.last().toMap().value(u"tile-data"_qs).toMap().value(u"file-label"_qs),
                 QVariant(plain.name));
        QVERIFY(f.dock.isInDock(plain));
    }
    QCOMPARE(f.running.requests(),
             restart == u"terminate" ? QStringList{u"terminate com.apple.dock 500"_qs} : QStringList{});
    const QList<QStringList> killall = {{u"/usr/bin/killall"_qs, u"Dock"_qs}};
    QCOMPARE(f.started, restart == u"killall" ? killall : QList<QStringList>());
}

void TestPreferenceDomainDockPinning::tileRecordNamesTheResolvedLocation()
{
    Fixture f;
    QVERIFY(f.dock.addToDock(app(u"com.example.linked"_qs, m_link + u'/')));
    const QVariantMap tile = f.storedTiles().first().toMap();
    QCOMPARE(QStringList(tile.keys()), (QStringList{u"GUID"_qs, u"tile-data"_qs, u"tile-type"_qs}));
    QCOMPARE(tile.value(u"tile-type"_qs), QVariant(u"file-tile"_qs));
    QCOMPARE(tile.value(u"GUID"_qs).typeId(), QMetaType::LongLong);
    const QVariantMap data = tile.value(u"tile-data"_qs).toMap();
    QCOMPARE(QStringList(data.keys()), (QStringList{u"file-data"_qs, u"file-label"_qs, u"file-type"_qs}));
    QCOMPARE(data.value(u"file-label"_qs), QVariant(u"Name of com.example.linked"_qs));
    QCOMPARE(data.value(u"file-type"_qs), QVariant(qint64(41)));
    const QVariantMap fileData = data.value(u"file-data"_qs).toMap();
    QCOMPARE(fileData.value(u"_CFURLString"_qs), QVariant(m_real));
    QCOMPARE(fileData.value(u"_CFURLStringType"_qs), QVariant(qint64(0)));
    QCOMPARE(fileData.size(), 2);
}

void TestPreferenceDomainDockPinning::failedSynchronizeIsTakenBack()
{
    for (const bool hadValue : {false, true}) {
        Fixture f;
        const QVariantList before{tileWithLocation(u"/Applications/A.app"_qs)};
        if (hadValue)
            f.domains.setStoredValue(domain, key, before);
        f.running.launch(u"com.apple.dock"_qs, u"Dock"_qs, 500);
        const AppInfo plain = app(u"com.example.plain"_qs, u"/Applications/Plain.app"_qs);

        f.domains.setSynchronizeSucceeds(false);
        QVERIFY(!f.dock.addToDock(plain));
        QCOMPARE(f.running.requests(), QStringList());
        QCOMPARE(f.started, QList<QStringList>());
        // What this process sees is what it saw before, so a retry is not told that the app is kept already.
        QCOMPARE(f.domains.value(domain, key), hadValue ? std::optional(QVariant(before)) : std::nullopt);
        QVERIFY(!f.dock.isInDock(plain));

        f.domains.setSynchronizeSucceeds(true);
        QVERIFY(f.dock.addToDock(plain));
        QCOMPARE(f.storedTiles().size(), hadValue ? 2 : 1);
        QCOMPARE(f.running.requests(), QStringList{u"terminate com.apple.dock 500"_qs});
    }
}

void TestPreferenceDomainDockPinning::appBehindALinkIsKeptOnce()
{
    Fixture f;
    const AppInfo linked = app(u"com.example.linked"_qs, m_link);
    QVERIFY(f.dock.addToDock(linked));
    QVERIFY(f.dock.isInDock(linked));
    QVERIFY(!f.dock.addToDock(linked));
    QVERIFY(!f.dock.addToDock(app(u"com.example.other-id"_qs, m_real)));
    QCOMPARE(f.storedTiles().size(), 1);
}

void TestPreferenceDomainDockPinning::guidStaysWithinTenDigits_data()
{
    QTest::addColumn<QList<quint64>>("draws");
    QTest::addColumn<qint64>("guid");
    const quint64 top = std::numeric_limits<quint64>::max();
    QTest::newRow("the lowest draw") << QList<quint64>{0} << qint64(1000000000);
    QTest::newRow("the highest value") << QList<quint64>{8999999999} << qint64(9999999999);
    QTest::newRow("one past the range starts again") << QList<quint64>{9000000000} << qint64(1000000000);
    QTest::newRow("a draw in the incomplete last span is drawn again") << QList<quint64>{top, 5} << qint64(1000000005);
}

void TestPreferenceDomainDockPinning::guidStaysWithinTenDigits()
{
    QFETCH(QList<quint64>, draws);
    QFETCH(qint64, guid);
    auto script = std::make_shared<std::deque<quint64>>(draws.begin(), draws.end());
    Fixture f(ScriptedRandom{script});
    // A kept tile with the same GUID does not change the draw: GUIDs are not compared.
    f.domains.setStoredValue(domain, key, QVariantList{tile({{u"bundle-identifier"_qs, u"x"_qs}})});
    QCOMPARE(f.dock.makeTile(app(u"a"_qs, u"/A.app"_qs)).value(u"GUID"_qs), QVariant(guid));
}

void TestPreferenceDomainDockPinning::guidsOfARealGenerator()
{
    Fixture f;
    QSet<qint64> seen;
    for (int i = 0; i < 2000; ++i) {
        const qint64 guid = f.dock.makeTile(app(u"a"_qs, u"/A.app"_qs)).value(u"GUID"_qs).toLongLong();
        QVERIFY(guid >= 1000000000 && guid <= 9999999999);
        seen.insert(guid);
    }
    QVERIFY(seen.size() > 1990); // fresh per tile
}

QTEST_GUILESS_MAIN(TestPreferenceDomainDockPinning)
#include "tst_preferencedomaindockpinning.moc"
