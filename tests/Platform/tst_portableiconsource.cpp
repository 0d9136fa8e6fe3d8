#include "portableiconsource.h"

#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTest>

// A small icon world in a temporary folder: a current theme "Fixture" that inherits "Parent", a "hicolor" theme and
// a pixmaps folder. Each icon file is a plain image of a colour of its own, so a test can tell which file was read.
class TestPortableIconSource : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void desktopEntryIconIsFoundInTheThemes_data();
    void desktopEntryIconIsFoundInTheThemes();
    void imagesAreReadToFitTheSize_data();
    void imagesAreReadToFitTheSize();
    void appBundleIconComesFromItsInfoPlist_data();
    void appBundleIconComesFromItsInfoPlist();
    void genericIconIsDrawn();
    void applicationsAreLocatedThroughTheGivenFunction();
    void defaultBaseFolders_data();
    void defaultBaseFolders();

private:
    QTemporaryDir m_dir;
    QStringList m_bases;

    QString path(const QString &relative) const { return m_dir.filePath(relative); }
    void write(const QString &relative, const QByteArray &bytes);
    void writePng(const QString &relative, QSize size, QColor colour);
    QString desktopEntry(const QString &name, const QString &body);
    QString appBundle(const QString &name, const QString &infoPlistBody);
    PortableIconSource source(const QString &theme = u"Fixture"_qs) const;
};

namespace {

QColor colourFor(const QString &relative)
{
    const size_t h = qHash(relative, 7);
    return QColor::fromRgb(int(h & 0xff), int((h >> 8) & 0xff), int((h >> 16) & 0xff));
}

QByteArray svg(QColor colour, int width = 16, int height = 16)
{
    return u"<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%2\" viewBox=\"0 0 %1 %2\">"
           "<rect width=\"%1\" height=\"%2\" fill=\"%3\"/></svg>"_qs.arg(width)
        .arg(height)
        .arg(colour.name())
        .toUtf8();
}

QByteArray plist(const QString &body)
{
    return (u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"_qs + body
            + u"</dict></plist>\n"_qs)
        .toUtf8();
}

} // namespace

void TestPortableIconSource::write(const QString &relative, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path(relative)).absolutePath());
    QFile file(path(relative));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void TestPortableIconSource::writePng(const QString &relative, QSize size, QColor colour)
{
    QDir().mkpath(QFileInfo(path(relative)).absolutePath());
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    QVERIFY(image.save(path(relative), "PNG"));
}

QString TestPortableIconSource::desktopEntry(const QString &name, const QString &body)
{
    const QString relative = u"applications/"_qs + name + u".desktop"_qs;
    write(relative, (u"[Desktop Entry]\nType=Application\nName="_qs + name + u"\nExec=true\n"_qs + body).toUtf8());
    return path(relative);
}

QString TestPortableIconSource::appBundle(const QString &name, const QString &infoPlistBody)
{
    const QString relative = u"Applications/"_qs + name + u".app"_qs;
    QDir().mkpath(path(relative + u"/Contents/Resources"_qs));
    if (!infoPlistBody.isNull())
        write(relative + u"/Contents/Info.plist"_qs, plist(infoPlistBody));
    return path(relative);
}

PortableIconSource TestPortableIconSource::source(const QString &theme) const
{
    return PortableIconSource({m_bases, theme, {}});
}

void TestPortableIconSource::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_bases = {path(u"home-icons"_qs), path(u"share-icons"_qs), path(u"pixmaps"_qs)};

    write(u"share-icons/Fixture/index.theme"_qs,
          "[Icon Theme]\nName=Fixture\nInherits=Parent\n"
          "Directories=48x48/apps,128x128/apps,scalable/apps\n\n"
          "[48x48/apps]\nSize=48\nType=Fixed\n\n"
          "# a comment between groups\n"
          "[128x128/apps]\nSize=128\nType=Fixed\n\n"
          "[scalable/apps]\nSize=128\nType=Scalable\nMinSize=8\nMaxSize=512\n");
    write(u"share-icons/Parent/index.theme"_qs,
          "[Icon Theme]\nName=Parent\nDirectories=64x64/apps\n\n[64x64/apps]\nSize=64\n");
    write(u"share-icons/hicolor/index.theme"_qs,
          "[Icon Theme]\nName=Hicolor\nDirectories=32x32/apps,128x128/apps,256x256/apps\n\n"
          "[32x32/apps]\nSize=32\nType=Threshold\n\n[128x128/apps]\nSize=128\nType=Threshold\n\n"
          "[256x256/apps]\nSize=256\nType=Threshold\n");

    const QStringList pngs = {
        u"share-icons/Fixture/48x48/apps/exact.png"_qs,   u"share-icons/Fixture/128x128/apps/exact.png"_qs,
        u"share-icons/Fixture/48x48/apps/small.png"_qs,   u"share-icons/Fixture/48x48/apps/vector.png"_qs,
        u"share-icons/Parent/64x64/apps/inherited.png"_qs, u"share-icons/hicolor/128x128/apps/small.png"_qs,
        u"share-icons/hicolor/128x128/apps/inherited.png"_qs,
        u"share-icons/hicolor/128x128/apps/hicolor-only.png"_qs,
        u"share-icons/hicolor/32x32/apps/big.png"_qs,     u"share-icons/hicolor/256x256/apps/big.png"_qs,
        u"home-icons/Fixture/128x128/apps/spread.png"_qs, u"pixmaps/legacy.png"_qs,
        u"pixmaps/exact.png"_qs,                          u"elsewhere/own.png"_qs,
    };
    for (const auto &png : pngs) {
        const int side = png.contains(u"/48x48/") ? 48 : png.contains(u"/32x32/") ? 32 : 128;
        writePng(png, QSize(side, side), colourFor(png));
    }
    write(u"share-icons/Fixture/scalable/apps/vector.svg"_qs,
          svg(colourFor(u"share-icons/Fixture/scalable/apps/vector.svg"_qs)));
    // A theme of drawings only, as many current themes are: one scalable folder for every size.
    write(u"share-icons/Drawn/index.theme"_qs,
          "[Icon Theme]\nName=Drawn\nInherits=Fixture\nDirectories=apps\n\n"
          "[apps]\nSize=48\nType=Scalable\nMinSize=16\nMaxSize=512\n");
    write(u"share-icons/Drawn/apps/exact.svg"_qs, svg(colourFor(u"share-icons/Drawn/apps/exact.svg"_qs)));
}

void TestPortableIconSource::desktopEntryIconIsFoundInTheThemes_data()
{
    QTest::addColumn<QString>("theme");
    QTest::addColumn<QString>("iconLine");
    QTest::addColumn<QString>("expected"); // below the temporary folder; empty: none

    const QString fixture = u"Fixture"_qs;
    QTest::newRow("the size's own folder in the theme")
        << fixture << u"Icon=exact"_qs << u"share-icons/Fixture/128x128/apps/exact.png"_qs;
    QTest::newRow("a .png suffix is dropped")
        << fixture << u"Icon=exact.png"_qs << u"share-icons/Fixture/128x128/apps/exact.png"_qs;
    QTest::newRow("a .svg suffix is dropped")
        << fixture << u"Icon=vector.svg"_qs << u"share-icons/Fixture/scalable/apps/vector.svg"_qs;
    QTest::newRow("a scalable folder covers the size")
        << fixture << u"Icon=vector"_qs << u"share-icons/Fixture/scalable/apps/vector.svg"_qs;
    QTest::newRow("the theme's nearest size before hicolor's own")
        << fixture << u"Icon=small"_qs << u"share-icons/Fixture/48x48/apps/small.png"_qs;
    QTest::newRow("an inherited theme before hicolor")
        << fixture << u"Icon=inherited"_qs << u"share-icons/Parent/64x64/apps/inherited.png"_qs;
    QTest::newRow("hicolor when no theme has it")
        << fixture << u"Icon=hicolor-only"_qs << u"share-icons/hicolor/128x128/apps/hicolor-only.png"_qs;
    QTest::newRow("the nearer of two sizes, not the larger")
        << fixture << u"Icon=big"_qs << u"share-icons/hicolor/32x32/apps/big.png"_qs;
    QTest::newRow("theme files in another base folder")
        << fixture << u"Icon=spread"_qs << u"home-icons/Fixture/128x128/apps/spread.png"_qs;
    QTest::newRow("the pixmaps folder last") << fixture << u"Icon=legacy"_qs << u"pixmaps/legacy.png"_qs;
    QTest::newRow("no current theme: hicolor and pixmaps only")
        << QString() << u"Icon=exact"_qs << u"pixmaps/exact.png"_qs;
    QTest::newRow("a theme that is not installed")
        << u"Missing"_qs << u"Icon=inherited"_qs << u"share-icons/hicolor/128x128/apps/inherited.png"_qs;
    QTest::newRow("an absolute file") << fixture << u"Icon=%1"_qs.arg(path(u"elsewhere/own.png"_qs))
                                      << u"elsewhere/own.png"_qs;
    QTest::newRow("an absolute file that is missing")
        << fixture << u"Icon=%1"_qs.arg(path(u"elsewhere/gone.png"_qs)) << QString();
    QTest::newRow("a name no theme has") << fixture << u"Icon=nowhere"_qs << QString();
    QTest::newRow("an SVG-only theme before the bitmaps of the theme it inherits")
        << u"Drawn"_qs << u"Icon=exact"_qs << u"share-icons/Drawn/apps/exact.svg"_qs;
    QTest::newRow("an SVG-only theme, then the theme it inherits")
        << u"Drawn"_qs << u"Icon=inherited"_qs << u"share-icons/Parent/64x64/apps/inherited.png"_qs;
    QTest::newRow("a name missing from an SVG-only theme and all it inherits")
        << u"Drawn"_qs << u"Icon=nowhere"_qs << QString();
    QTest::newRow("an empty Icon") << fixture << u"Icon="_qs << QString();
    QTest::newRow("no Icon key") << fixture << QString() << QString();
}

void TestPortableIconSource::desktopEntryIconIsFoundInTheThemes()
{
    QFETCH(QString, theme);
    QFETCH(QString, iconLine);
    QFETCH(QString, expected);
    const QString entry = desktopEntry(QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'-'),
                                       iconLine + u'\n');
    const auto icons = source(theme);
    const auto file = icons.iconFile(entry, 128);
    QCOMPARE(file.value_or(QString()), expected.isEmpty() ? QString() : path(expected));

    const auto image = icons.iconForPath(entry, 128);
    QCOMPARE(image.has_value(), !expected.isEmpty());
    if (image) {
        QCOMPARE(image->size(), QSize(128, 128));
        QCOMPARE(image->pixelColor(64, 64), colourFor(expected));
    }
}

void TestPortableIconSource::imagesAreReadToFitTheSize_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QSize>("stored");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("small PNG scaled up") << u"png"_qs << QSize(32, 32) << QSize(128, 128);
    QTest::newRow("large PNG scaled down") << u"png"_qs << QSize(512, 512) << QSize(128, 128);
    QTest::newRow("wide PNG keeps its shape") << u"png"_qs << QSize(256, 128) << QSize(128, 64);
    QTest::newRow("SVG drawn at the size") << u"svg"_qs << QSize(16, 16) << QSize(128, 128);
    QTest::newRow("tall SVG keeps its shape") << u"svg"_qs << QSize(8, 16) << QSize(64, 128);
    QTest::newRow("ICNS") << u"icns"_qs << QSize(256, 256) << QSize(128, 128);
}

void TestPortableIconSource::imagesAreReadToFitTheSize()
{
    QFETCH(QString, format);
    QFETCH(QSize, stored);
    QFETCH(QSize, expected);
    const QString relative = u"images/"_qs + QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'-')
                             + u'.' + format;
    const QColor colour = colourFor(relative);
    if (format == u"svg") {
        write(relative, svg(colour, stored.width(), stored.height()));
    } else {
        QImage image(stored, QImage::Format_ARGB32);
        image.fill(colour);
        QDir().mkpath(path(u"images"_qs));
        QImageWriter writer(path(relative), format.toLatin1());
        QVERIFY2(writer.write(image), qPrintable(writer.errorString()));
    }
    const auto image = PortableIconSource::readImage(path(relative), 128);
    QVERIFY(image);
    QCOMPARE(image->size(), expected);
    QCOMPARE(image->pixelColor(expected.width() / 2, expected.height() / 2), colour);
    QVERIFY(!PortableIconSource::readImage(path(u"images/none.png"_qs), 128));
}

void TestPortableIconSource::appBundleIconComesFromItsInfoPlist_data()
{
    QTest::addColumn<QString>("infoPlist"); // null: no Info.plist at all
    QTest::addColumn<QString>("iconFile");  // written into Contents/Resources; empty: none
    QTest::addColumn<bool>("found");
    QTest::newRow("ICNS named without its extension")
        << u"<key>CFBundleIconFile</key><string>AppIcon</string>"_qs << u"AppIcon.icns"_qs << true;
    QTest::newRow("ICNS named with its extension")
        << u"<key>CFBundleIconFile</key><string>AppIcon.icns</string>"_qs << u"AppIcon.icns"_qs << true;
    QTest::newRow("PNG named without its extension")
        << u"<key>CFBundleIconFile</key><string>Logo</string>"_qs << u"Logo.png"_qs << true;
    QTest::newRow("the named file is missing")
        << u"<key>CFBundleIconFile</key><string>AppIcon</string>"_qs << QString() << false;
    QTest::newRow("no icon key") << u"<key>CFBundleName</key><string>Plain</string>"_qs << u"AppIcon.icns"_qs
                                 << false;
    QTest::newRow("no Info.plist") << QString() << u"AppIcon.icns"_qs << false;
}

void TestPortableIconSource::appBundleIconComesFromItsInfoPlist()
{
    QFETCH(QString, infoPlist);
    QFETCH(QString, iconFile);
    QFETCH(bool, found);
    const QString bundle = appBundle(QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'-'), infoPlist);
    const QColor colour = colourFor(bundle);
    if (!iconFile.isEmpty()) {
        QImage image(256, 256, QImage::Format_ARGB32);
        image.fill(colour);
        QImageWriter writer(bundle + u"/Contents/Resources/"_qs + iconFile, QFileInfo(iconFile).suffix().toLatin1());
        QVERIFY2(writer.write(image), qPrintable(writer.errorString()));
    }
    const auto image = source().iconForPath(bundle, 128);
    QCOMPARE(image.has_value(), found);
    if (image) {
        QCOMPARE(image->size(), QSize(128, 128));
        QCOMPARE(image->pixelColor(64, 64), colour);
    }
}

void TestPortableIconSource::genericIconIsDrawn()
{
    for (const int size : {128, 48}) {
        const QImage image = source().genericApplicationIcon(size);
        QCOMPARE(image.size(), QSize(size, size));
        QCOMPARE(image.pixelColor(size / 2, size / 2).alpha(), 255);
        QCOMPARE(image.pixelColor(0, 0).alpha(), 0); // the rounded corner
    }
}

void TestPortableIconSource::applicationsAreLocatedThroughTheGivenFunction()
{
    QVERIFY(!source().locationOfApplication(u"org.example.App"_qs));
    PortableIconSource located({m_bases, u"Fixture"_qs, [](const QString &id) -> std::optional<QString> {
                                    if (id == u"org.example.App")
                                        return u"/apps/org.example.App.desktop"_qs;
                                    return std::nullopt;
                                }});
    QCOMPARE(located.locationOfApplication(u"org.example.App"_qs), u"/apps/org.example.App.desktop"_qs);
    QVERIFY(!located.locationOfApplication(u"org.example.Other"_qs));
}

void TestPortableIconSource::defaultBaseFolders_data()
{
    QTest::addColumn<QStringList>("variables");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("defaults below the home folder")
        << QStringList{u"HOME=/h"_qs}
        << QStringList{u"/h/.icons"_qs, u"/h/.local/share/icons"_qs, u"/usr/local/share/icons"_qs,
                       u"/usr/share/icons"_qs, u"/usr/share/pixmaps"_qs};
    QTest::newRow("the XDG folders, relative ones and repeats left out")
        << QStringList{u"HOME=/h"_qs, u"XDG_DATA_HOME=/d"_qs, u"XDG_DATA_DIRS=/a:rel:/b/:/a"_qs}
        << QStringList{u"/h/.icons"_qs, u"/d/icons"_qs, u"/a/icons"_qs, u"/b/icons"_qs, u"/usr/share/pixmaps"_qs};
}

void TestPortableIconSource::defaultBaseFolders()
{
    QFETCH(QStringList, variables);
    QFETCH(QStringList, expected);
    QProcessEnvironment env;
    for (const auto &variable : variables)
        env.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
    QCOMPARE(PortableIconSource::defaultBaseFolders(env), expected);
}

QTEST_MAIN(TestPortableIconSource)
#include "tst_portableiconsource.moc"
