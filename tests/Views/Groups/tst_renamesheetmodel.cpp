#include "groupsfixture.h"
#include "renamesheetmodel.h"

#include <QSignalSpy>
#include <QTest>

// The rename sheet's rules over the state object: what the field starts with, what "保存" stores, and an app that
// goes away.
class TestRenameSheetModel : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void opening_data();
    void opening();
    void saving_data();
    void saving();
    void appGoneWhileOpen();
};

namespace {
const QString calc = u"org.example.calc"_qs;
const QString wechatEx = u"com.tencent.flue.WeChatAppEx"_qs;
} // namespace

void TestRenameSheetModel::opening_data()
{
    QTest::addColumn<QString>("bundleID");
    QTest::addColumn<QString>("storedAlias"); // empty: none
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("subtitle");
    QTest::newRow("no alias: the name") << calc << QString() << true << u"计算器"_qs
                                        << u"原名：计算器（清空即恢复原名）"_qs;
    QTest::newRow("alias without its blanks") << calc << u"\t算盘 "_qs << true << u"算盘"_qs
                                              << u"原名：计算器（清空即恢复原名）"_qs;
    QTest::newRow("embedded app") << wechatEx << QString() << true << u"微信内置浏览器"_qs
                                  << u"原名：微信内置浏览器（清空即恢复原名）"_qs;
    QTest::newRow("unknown identifier closes") << u"org.example.gone"_qs << QString() << false << QString()
                                               << QString();
    QTest::newRow("no prefix match") << u"org.example"_qs << QString() << false << QString() << QString();
}

void TestRenameSheetModel::opening()
{
    QFETCH(QString, bundleID);
    QFETCH(QString, storedAlias);
    QFETCH(bool, found);
    QFETCH(QString, text);
    QFETCH(QString, subtitle);
    GroupsFixture s;
    s.f.existingPaths.append(u"/Applications/WeChat.app/Contents/MacOS/WeChatAppEx.app"_qs);
    if (!storedAlias.isEmpty()) {
        s.store().fetchOrCreateMeta(calc)->setAliasName(storedAlias);
        std::ignore = s.store().save();
        s.state->refreshSortMeta();
    }
    RenameSheetModel sheet(*s.state);
    QCOMPARE(sheet.open(bundleID), found);
    QCOMPARE(sheet.initialText(), text);
    QCOMPARE(sheet.subtitle(), subtitle);
    if (!found)
        QVERIFY(!s.store().hasChanges());
}

void TestRenameSheetModel::saving_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("alias"); // empty: none
    QTest::addColumn<QString>("shown");
    QTest::newRow("blanks remove the alias") << u"  \t "_qs << QString() << u"计算器"_qs;
    QTest::newRow("empty removes the alias") << QString() << QString() << u"计算器"_qs;
    QTest::newRow("trimmed by the state") << u" 算盘\t"_qs << u"算盘"_qs << u"算盘"_qs;
    QTest::newRow("the own name becomes the alias") << u"计算器"_qs << u"计算器"_qs << u"计算器"_qs;
}

void TestRenameSheetModel::saving()
{
    QFETCH(QString, typed);
    QFETCH(QString, alias);
    QFETCH(QString, shown);
    GroupsFixture s;
    s.store().fetchOrCreateMeta(calc)->setAliasName(u"旧名"_qs);
    std::ignore = s.store().save();
    s.state->refreshSortMeta();
    RenameSheetModel sheet(*s.state);
    QVERIFY(sheet.open(calc));
    sheet.save(typed);
    const auto stored = s.store().meta(calc)->aliasName();
    QCOMPARE(stored.value_or(QString()), alias);
    QCOMPARE(stored.has_value(), !alias.isEmpty());
    QCOMPARE(s.state->appName(calc), std::optional(shown));
}

void TestRenameSheetModel::appGoneWhileOpen()
{
    GroupsFixture s;
    RenameSheetModel sheet(*s.state);
    QVERIFY(sheet.open(calc));
    QSignalSpy subtitle(&sheet, &RenameSheetModel::subtitleChanged);
    // The next scan no longer finds the calculator.
    QList<AppDirectorySearch::Hit> hits;
    for (const AppInfo &a : GroupsFixture::apps()) {
        if (a.bundleID != calc)
            hits.append({a.path(), a.name});
    }
    s.f.search.setResults(hits);
    s.f.search.finishGathering();
    s.f.scanExecutor.runAll();
    QTRY_COMPARE(sheet.subtitle(), QString());
    QVERIFY(subtitle.count() >= 1);
    sheet.save(u"算盘"_qs);
    QVERIFY(!s.store().meta(calc));
}

QTEST_GUILESS_MAIN(TestRenameSheetModel)
#include "tst_renamesheetmodel.moc"
