#include <QDir>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

// The real program in its screenshot mode, offscreen, over a folder of fixture apps: it writes a picture of the
// first grid, prints the file's path and ends with 0.
class TestScreenshotMode : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void writesTheFirstGrid()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString apps = dir.filePath(u"apps"_qs);
        QVERIFY(QDir().mkpath(apps));
        QImage icon(64, 64, QImage::Format_ARGB32);
        icon.fill(QColor(220, 80, 60));
        QVERIFY(icon.save(dir.filePath(u"icon.png"_qs)));
        const QStringList names{u"微信"_qs, u"网易云音乐"_qs, u"哔哩哔哩"_qs, u"钉钉"_qs, u"飞书"_qs};
        for (int i = 0; i < names.size(); ++i) {
            QFile entry(QDir(apps).filePath(u"app%1.desktop"_qs.arg(i)));
            QVERIFY(entry.open(QIODevice::WriteOnly));
            entry.write(u"[Desktop Entry]\nType=Application\nName=%1\nExec=/bin/true\nIcon=%2\n"_qs
                            .arg(names.at(i), dir.filePath(u"icon.png"_qs))
                            .toUtf8());
        }
        for (const char *folder : {"data", "config", "runtime"})
            QVERIFY(QDir().mkpath(dir.filePath(QString::fromLatin1(folder))));

        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"XDG_DATA_HOME"_qs, dir.filePath(u"data"_qs));
        env.insert(u"XDG_CONFIG_HOME"_qs, dir.filePath(u"config"_qs));
        env.insert(u"XDG_RUNTIME_DIR"_qs, dir.filePath(u"runtime"_qs));
        env.insert(u"XDG_DATA_DIRS"_qs, dir.filePath(u"no-data-dirs"_qs));
        env.insert(u"TARNWICK_APP_DIRS"_qs, apps);
        env.insert(u"QT_QPA_PLATFORM"_qs, u"offscreen"_qs);
        program.setProcessEnvironment(env);
        const QString shot = dir.filePath(u"shots/first-grid.png"_qs);
        program.start(QString::fromUtf8(TARNWICK_PROGRAM), {u"--screenshot"_qs, shot});
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(program.readAllStandardOutput()).trimmed(), shot);

        const QImage image(shot);
        QVERIFY(!image.isNull());
        QVERIFY(image.width() >= 694 && image.height() >= 503);
        // Not blank: the icons' red stands in the picture among the window's greys.
        QSet<QRgb> colours;
        bool red = false;
        for (int y = 0; y < image.height(); y += 3) {
            for (int x = 0; x < image.width(); x += 3) {
                const QRgb p = image.pixel(x, y);
                colours.insert(p);
                red = red || (qRed(p) > 200 && qGreen(p) < 100 && qBlue(p) < 80);
            }
        }
        QVERIFY(colours.size() > 20);
        QVERIFY(red);
    }
};

QTEST_GUILESS_MAIN(TestScreenshotMode)
#include "tst_screenshotmode.moc"
