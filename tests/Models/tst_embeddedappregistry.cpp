#include "embeddedapp.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

EmbeddedApp row(const QString &id)
{
    return EmbeddedApp{id, id + u" name"_qs, u"/hosts/"_qs + id + u".app"_qs, u"host"_qs, {}};
}

QStringList ids(const QList<EmbeddedApp> &apps)
{
    QStringList out;
    for (const auto &a : apps)
        out.append(a.bundleID);
    return out;
}

} // namespace

class TestEmbeddedAppRegistry : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void builtInTable();
    void lookup_data();
    void lookup();
    void installedAsksOnEveryCall();
    void installedKeepsTableOrder();
    void fileExists_data();
    void fileExists();
    void joinsAppListsAsAppInfo();
};

void TestEmbeddedAppRegistry::builtInTable()
{
    const EmbeddedAppRegistry registry;
    QCOMPARE(registry.all().size(), 1);
    const EmbeddedApp &e = registry.all().first();
    QCOMPARE(e.bundleID, u"com.tencent.flue.WeChatAppEx"_qs);
    QCOMPARE(e.displayName, u"微信内置浏览器"_qs);
    QCOMPARE(e.bundlePath, u"/Applications/WeChat.app/Contents/MacOS/WeChatAppEx.app"_qs);
    QCOMPARE(e.hostBundleID, u"com.tencent.xinWeChat"_qs);
    QCOMPARE(e.aliases, (QStringList{u"WeChatAppEx"_qs, u"微信浏览器"_qs, u"微信小程序"_qs}));
}

void TestEmbeddedAppRegistry::lookup_data()
{
    QTest::addColumn<QString>("bundleID");
    QTest::addColumn<bool>("found");
    QTest::newRow("exact identifier") << "com.tencent.flue.WeChatAppEx" << true;
    QTest::newRow("lower case") << "com.tencent.flue.wechatappex" << false;
    QTest::newRow("the host's identifier") << "com.tencent.xinWeChat" << false;
    QTest::newRow("with a trailing space") << "com.tencent.flue.WeChatAppEx " << false;
    QTest::newRow("empty") << "" << false;
}

void TestEmbeddedAppRegistry::lookup()
{
    QFETCH(QString, bundleID);
    QFETCH(bool, found);
    const EmbeddedAppRegistry registry;
    const auto hit = registry.app(bundleID);
    QCOMPARE(hit.has_value(), found);
    QCOMPARE(registry.contains(bundleID), found);
    if (found)
        QCOMPARE(hit->bundleID, bundleID);
}

void TestEmbeddedAppRegistry::installedAsksOnEveryCall()
{
    bool present = false;
    QStringList asked;
    const EmbeddedAppRegistry registry(EmbeddedAppRegistry::builtIn(), [&](const QString &path) {
        asked.append(path);
        return present;
    });
    QVERIFY(registry.installed().isEmpty());
    present = true;
    QCOMPARE(ids(registry.installed()), QStringList{u"com.tencent.flue.WeChatAppEx"_qs});
    present = false;
    QVERIFY(registry.installed().isEmpty());
    const QString path = u"/Applications/WeChat.app/Contents/MacOS/WeChatAppEx.app"_qs;
    QCOMPARE(asked, (QStringList{path, path, path}));
}

void TestEmbeddedAppRegistry::installedKeepsTableOrder()
{
    const EmbeddedAppRegistry registry({row(u"c"_qs), row(u"a"_qs), row(u"b"_qs)},
                                       [](const QString &path) { return !path.endsWith(u"/a.app"); });
    QCOMPARE(ids(registry.installed()), (QStringList{u"c"_qs, u"b"_qs}));
}

void TestEmbeddedAppRegistry::fileExists_data()
{
    QTest::addColumn<QString>("entry"); // inside a fresh folder holding "file" and "folder"
    QTest::addColumn<bool>("exists");
    QTest::newRow("a file") << "file" << true;
    QTest::newRow("a folder") << "folder" << true;
    QTest::newRow("nothing there") << "missing" << false;
    QTest::newRow("a link to a folder") << "link-to-folder" << true;
    QTest::newRow("a link to a file") << "link-to-file" << true;
    QTest::newRow("a broken link") << "broken-link" << false;
}

void TestEmbeddedAppRegistry::fileExists()
{
    QFETCH(QString, entry);
    QFETCH(bool, exists);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile file(dir.filePath(u"file"_qs));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QVERIFY(QDir(dir.path()).mkdir(u"folder"_qs));
    QVERIFY(QFile::link(dir.filePath(u"folder"_qs), dir.filePath(u"link-to-folder"_qs)));
    QVERIFY(QFile::link(dir.filePath(u"file"_qs), dir.filePath(u"link-to-file"_qs)));
    QVERIFY(QFile::link(dir.filePath(u"gone"_qs), dir.filePath(u"broken-link"_qs)));
    QCOMPARE(EmbeddedAppRegistry::fileExists(dir.filePath(entry)), exists);
}

void TestEmbeddedAppRegistry::joinsAppListsAsAppInfo()
{
    const EmbeddedApp e = EmbeddedAppRegistry::builtIn().first();
    const AppInfo info = e.appInfo();
    QCOMPARE(info.bundleID, e.bundleID);
    QCOMPARE(info.name, e.displayName);
    QCOMPARE(info.path(), e.bundlePath);
    QVERIFY(info.url.isLocalFile());
    QVERIFY(!info.installedAt);
    QCOMPARE(info.aliases, e.aliases);
}

QTEST_GUILESS_MAIN(TestEmbeddedAppRegistry)
#include "tst_embeddedappregistry.moc"
