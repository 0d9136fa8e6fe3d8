#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

// The real program in its screenshot mode, offscreen, over a folder of fixture apps and a fixture icon theme that the
// desktop (KDE, by its kdeglobals) names: it writes a picture of the first grid, prints the file's path and ends
// with 0. Apps whose icons no theme has count as loaded once looked up, so the picture is not a timed-out one.
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
        // The theme "Fixture" has one drawing and inherits "Parent", which has another; no hicolor at all.
        const auto write = [&](const QString &relative, const QByteArray &bytes) {
            QVERIFY(QDir().mkpath(QFileInfo(dir.filePath(relative)).absolutePath()));
            QFile file(dir.filePath(relative));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        };
        write(u"share/icons/Fixture/index.theme"_qs, "[Icon Theme]\nName=Fixture\nInherits=Parent\n"
                                                       "Directories=scalable/apps\n\n"
                                                       "[scalable/apps]\nSize=64\nType=Scalable\nMaxSize=512\n");
        write(u"share/icons/Fixture/scalable/apps/fixture-chat.svg"_qs,
              "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 16 16\"><rect width=\"16\" height=\"16\" "
              "rx=\"4\" fill=\"#20c040\"/></svg>");
        write(u"share/icons/Parent/index.theme"_qs,
              "[Icon Theme]\nName=Parent\nDirectories=64x64/apps\n\n[64x64/apps]\nSize=64\n");
        QImage blue(64, 64, QImage::Format_ARGB32);
        blue.fill(QColor(40, 80, 230));
        QVERIFY(QDir().mkpath(dir.filePath(u"share/icons/Parent/64x64/apps"_qs)));
        QVERIFY(blue.save(dir.filePath(u"share/icons/Parent/64x64/apps/fixture-mail.png"_qs)));
        write(u"config/kdeglobals"_qs, "[Icons]\nTheme=Fixture\n");
        const QList<std::pair<QString, QString>> themed{{u"企业微信"_qs, u"Icon=fixture-chat"_qs},
                                                        {u"邮件"_qs, u"Icon=fixture-mail"_qs},
                                                        {u"未装图标"_qs, u"Icon=not-installed-anywhere"_qs},
                                                        {u"无图标"_qs, QString()}};
        for (int i = 0; i < themed.size(); ++i) {
            write(u"apps/themed%1.desktop"_qs.arg(i),
                  u"[Desktop Entry]\nType=Application\nName=%1\nExec=/bin/true\n%2\n"_qs
                      .arg(themed.at(i).first, themed.at(i).second)
                      .toUtf8());
        }
        for (const char *folder : {"data", "config", "runtime"})
            QVERIFY(QDir().mkpath(dir.filePath(QString::fromLatin1(folder))));

        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"XDG_DATA_HOME"_qs, dir.filePath(u"data"_qs));
        env.insert(u"XDG_CONFIG_HOME"_qs, dir.filePath(u"config"_qs));
        env.insert(u"XDG_RUNTIME_DIR"_qs, dir.filePath(u"runtime"_qs));
        env.insert(u"XDG_DATA_DIRS"_qs, dir.filePath(u"share"_qs));
        env.insert(u"XDG_CURRENT_DESKTOP"_qs, u"KDE"_qs);
        env.insert(u"TARNWICK_APP_DIRS"_qs, apps);
        env.insert(u"QT_QPA_PLATFORM"_qs, u"offscreen"_qs);
        program.setProcessEnvironment(env);
        const QString shot = dir.filePath(u"shots/first-grid.png"_qs);
        program.start(QString::fromUtf8(TARNWICK_PROGRAM), {u"--screenshot"_qs, shot});
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        // The whole path and nothing else: not "taken before every icon of the first page had loaded".
        QCOMPARE(QString::fromUtf8(program.readAllStandardOutput()).trimmed(), shot);

        const QImage image(shot);
        QVERIFY(!image.isNull());
        QVERIFY(image.width() >= 694 && image.height() >= 503);
        // Not blank: the icons' red stands in the picture among the window's greys.
        QDir().mkpath(QStringLiteral(TARNWICK_SHOTS));
        QFile::remove(QStringLiteral(TARNWICK_SHOTS "/first-grid.png"));
        QFile::copy(shot, QStringLiteral(TARNWICK_SHOTS "/first-grid.png"));
        QSet<QRgb> colours;
        bool red = false, green = false, blueSeen = false;
        for (int y = 0; y < image.height(); y += 3) {
            for (int x = 0; x < image.width(); x += 3) {
                const QRgb p = image.pixel(x, y);
                colours.insert(p);
                red = red || (qRed(p) > 200 && qGreen(p) < 100 && qBlue(p) < 80);
                // The theme's own drawing and the one it inherits.
                green = green || (qRed(p) < 60 && qGreen(p) > 170 && qBlue(p) < 90);
                blueSeen = blueSeen || (qRed(p) < 70 && qGreen(p) < 110 && qBlue(p) > 200);
            }
        }
        QVERIFY(colours.size() > 20);
        QVERIFY(red);
        QVERIFY(green);
        QVERIFY(blueSeen);
    }
};

QTEST_GUILESS_MAIN(TestScreenshotMode)
#include "tst_screenshotmode.moc"
