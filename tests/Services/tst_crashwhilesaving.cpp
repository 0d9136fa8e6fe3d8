// Kills a child process of this test in the middle of its saves, again and again, and checks after each kill that
// the store, the preferences and the sessions file hold exactly the last save the child reported, or the one it was
// making when it died (written, but not reported yet). Never a torn file, never an older state, no leftovers.
#include "adhocblock.h"
#include "appmeta.h"
#include "focussessionstore.h"
#include "jsonfilepreferences.h"
#include "persistencecontroller.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <unistd.h>

namespace {

const Instant now = Instants::fromSecondsSince1970(1772452800);
constexpr int appCount = 20;
const QUuid sessionID = QUuid::fromString(u"11111111-1111-4111-8111-111111111111"_qs);

QString appID(int i)
{
    return u"com.example.app%1"_qs.arg(i);
}

FocusSession sessionOfRound(int round)
{
    FocusSession s;
    s.id = sessionID;
    s.bundleID = appID(0);
    s.appName = u"编辑器"_qs;
    s.taskNote = QString(200, u'写') + QString::number(round);
    s.deadline = now + std::chrono::hours(24 * 365) + std::chrono::minutes(round);
    return s;
}

// Reports a finished save on stdout, unbuffered: a line out means the save returned before it.
void report(const char *what, int round)
{
    const QByteArray line = QByteArray(what) + ' ' + QByteArray::number(round) + '\n';
    std::ignore = ::write(STDOUT_FILENO, line.constData(), size_t(line.size()));
}

// The child: round after round, one save of each file, each bigger than the last, until it is killed.
int saveUntilKilled(const QString &folder)
{
    auto opened = PersistenceController::makeContainer(false, [] { return now; }, folder + u"/data"_qs);
    if (!opened.container)
        return 2;
    StoreContext &context = opened.container->mainContext();
    JsonFilePreferences prefs(folder + u"/config/defaults.json"_qs);
    FocusSessionStore sessions(folder + u"/data/Tarnwick"_qs);
    std::ignore = sessions.activeSessions(now);
    sessions.append(sessionOfRound(0));
    for (int round = 1;; ++round) {
        // Every app row and a new block in one transaction: a torn save would show rows of two rounds.
        for (int i = 0; i < appCount; ++i)
            context.fetchOrCreateMeta(appID(i))->setLaunchCount(round);
        context.insert(std::make_unique<AdHocBlock>(appID(round % appCount), Instant{Duration{round}}));
        if (context.save() == SaveResult::saved)
            report("store", round);
        prefs.setString(u"padding"_qs, QString(round * 40, u'x'));
        prefs.setInteger(u"round"_qs, round);
        if (prefs.lastWriteSucceeded())
            report("prefs", round);
        sessions.replace(sessionOfRound(round));
        report("sessions", round);
    }
}

} // namespace

class TestCrashWhileSaving : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void stateIsTheLastReportedSave();
};

void TestCrashWhileSaving::stateIsTheLastReportedSave()
{
    // A kill, unlike a power loss, keeps what reached the page cache, so the flushes to the disk prove nothing
    // here and only take time: in memory when the machine has a memory file system.
    const QString base = QFileInfo(u"/dev/shm"_qs).isWritable() ? u"/dev/shm"_qs : QDir::tempPath();
    constexpr int kills = 80;
    for (int kill = 0; kill < kills; ++kill) {
        QTemporaryDir dir(base + u"/tarnwick-crash-XXXXXX"_qs);
        QVERIFY(dir.isValid());
        QProcess child;
        child.setProgram(QCoreApplication::applicationFilePath());
        child.setArguments({u"--save-until-killed"_qs, dir.path()});
        child.setProcessChannelMode(QProcess::SeparateChannels);
        child.start();
        QVERIFY(child.waitForStarted());

        // Let it report a few saves of each kind, then kill it at some moment of the next ones.
        QRandomGenerator random{quint32(kill)};
        const int reportsBeforeKill = random.bounded(3, 60);
        QByteArray out;
        while (out.count('\n') < reportsBeforeKill && child.state() == QProcess::Running) {
            child.waitForReadyRead(2000);
            out += child.readAllStandardOutput();
        }
        QCOMPARE(child.state(), QProcess::Running);
        ::usleep(random.bounded(0, 3000));
        child.kill(); // SIGKILL to this one child
        QVERIFY(child.waitForFinished(5000));
        out += child.readAllStandardOutput();

        QHash<QByteArray, int> reported;
        for (const QByteArray &line : out.split('\n')) {
            const auto parts = line.split(' ');
            if (parts.size() == 2)
                reported[parts[0]] = parts[1].toInt();
        }
        auto inReach = [](int found, int last) { return found == last || found == last + 1; };
        const QString context = u"kill %1 after %2 reports"_qs.arg(kill).arg(reportsBeforeKill);

        // The store opens (the lock died with the child, a hot journal is rolled back) and holds one round.
        auto opened = PersistenceController::makeContainer(false, [] { return now; }, dir.filePath(u"data"_qs));
        QVERIFY2(opened.container, qPrintable(context + u": "_qs + opened.message));
        StoreContext &store = opened.container->mainContext();
        const int storeRound = int(store.count<AdHocBlock>());
        QVERIFY2(inReach(storeRound, reported.value("store")), qPrintable(context));
        for (const AppMeta *meta : store.fetch<AppMeta>())
            QVERIFY2(meta->launchCount() == storeRound, qPrintable(context));
        if (storeRound > 0)
            QCOMPARE(store.count<AppMeta>(), appCount);

        JsonFilePreferences prefs(dir.filePath(u"config/defaults.json"_qs));
        const int prefsRound = int(prefs.integerValue(u"round"_qs).value_or(0));
        QVERIFY2(inReach(prefsRound, reported.value("prefs")), qPrintable(context));
        QVERIFY(!QFile::exists(dir.filePath(u"config/defaults.json.corrupt"_qs)));

        FocusSessionStore sessions(dir.filePath(u"data/Tarnwick"_qs));
        const auto active = sessions.activeSessions(now);
        if (reported.contains("sessions") || !active.isEmpty()) {
            QCOMPARE(active.size(), 1);
            const int sessionRound = int((active.first().deadline - sessionOfRound(0).deadline) / 1min);
            QVERIFY2(inReach(sessionRound, reported.value("sessions")), qPrintable(context));
        }
        QVERIFY(!QFile::exists(sessions.filePath() + u".corrupt"_qs));

        // What the kill left half-made is gone once the files have been opened again.
        for (const QString &folder : {dir.filePath(u"config/Tarnwick"_qs), dir.filePath(u"config"_qs),
                                      dir.filePath(u"data/Tarnwick"_qs)}) {
            const QStringList left = QDir(folder).entryList({u".*.json.*"_qs}, QDir::Files | QDir::Hidden);
            QVERIFY2(left.isEmpty(), qPrintable(context + u": "_qs + left.join(u", "_qs)));
        }
    }
}

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--save-until-killed") == 0) {
        QCoreApplication app(argc, argv);
        return saveUntilKilled(QString::fromLocal8Bit(argv[2]));
    }
    QCoreApplication app(argc, argv);
    TestCrashWhileSaving test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_crashwhilesaving.moc"
