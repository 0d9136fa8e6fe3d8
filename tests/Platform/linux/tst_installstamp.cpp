#include "linux/installstamp.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

// The install stamp, read from real files in a temporary folder.
class TestInstallStamp : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void sameFileGivesSameStamp();
    void fileReplacedByRenameGetsNewStamp();
    void linkGivesTheStampOfItsTarget();
    void unreadableGivesEmpty_data();
    void unreadableGivesEmpty();
    void runningProgramIsItsExecutable();

private:
    static bool writeFile(const QString &path, const QByteArray &content)
    {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
    }
};

void TestInstallStamp::sameFileGivesSameStamp()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"tarnwick"_qs);
    QVERIFY(writeFile(path, "first build"));

    const qint64 before = QDateTime::currentSecsSinceEpoch();
    const QString stamp = InstallStamp::ofFile(path);
    QVERIFY(QRegularExpression(u"^\\d+:\\d+:\\d+\\|\\d+$"_qs).match(stamp).hasMatch());
    QCOMPARE(InstallStamp::ofFile(path), stamp);

    // The time part is the file's own (birth or change) time in whole seconds, not the moment of reading.
    const qint64 seconds = stamp.section(u'|', 1).toLongLong();
    QVERIFY2(qAbs(seconds - before) <= 60, qPrintable(stamp));
}

void TestInstallStamp::fileReplacedByRenameGetsNewStamp()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"tarnwick"_qs);
    const QString next = dir.filePath(u"tarnwick.new"_qs);
    QVERIFY(writeFile(path, "first build"));
    const QString first = InstallStamp::ofFile(path);
    QVERIFY(!first.isEmpty());

    // A reinstall: the new copy is written beside the old one and renamed over it.
    QVERIFY(writeFile(next, "second build"));
    QCOMPARE(std::rename(QFile::encodeName(next).constData(), QFile::encodeName(path).constData()), 0);
    const QString second = InstallStamp::ofFile(path);
    QVERIFY(!second.isEmpty());
    QVERIFY2(second != first, qPrintable(first + u" / "_qs + second));
    QCOMPARE(InstallStamp::ofFile(path), second);
}

void TestInstallStamp::linkGivesTheStampOfItsTarget()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"tarnwick"_qs);
    const QString link = dir.filePath(u"launcher"_qs);
    QVERIFY(writeFile(path, "build"));
    QVERIFY(QFile::link(path, link));
    QCOMPARE(InstallStamp::ofFile(link), InstallStamp::ofFile(path));
}

void TestInstallStamp::unreadableGivesEmpty_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("missing file") << u"absent"_qs;
    QTest::newRow("below a regular file") << u"plain/inside"_qs;
    QTest::newRow("dangling link") << u"dangling"_qs;
    QTest::newRow("no path") << QString();
}

void TestInstallStamp::unreadableGivesEmpty()
{
    QFETCH(QString, name);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeFile(dir.filePath(u"plain"_qs), "x"));
    QVERIFY(QFile::link(dir.filePath(u"gone"_qs), dir.filePath(u"dangling"_qs)));
    QCOMPARE(InstallStamp::ofFile(name.isEmpty() ? QString() : dir.filePath(name)), QString());
}

void TestInstallStamp::runningProgramIsItsExecutable()
{
    const QString stamp = InstallStamp::ofRunningProgram();
    QVERIFY(!stamp.isEmpty());
    QCOMPARE(stamp, InstallStamp::ofFile(QCoreApplication::applicationFilePath()));
    QCOMPARE(InstallStamp::ofRunningProgram(), stamp);
}

QTEST_GUILESS_MAIN(TestInstallStamp)
#include "tst_installstamp.moc"
