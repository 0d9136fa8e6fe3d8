#include "appgroup.h"
#include "applists.h"
#include "appstatefixture.h"
#include "viewtest.h"

#include <QSignalSpy>
#include <QTest>

using AppLists::app;
using AppLists::ids;

// The sheet that adds apps to a group and the add tile, in a window with real events: focus on opening, row clicks,
// a member's row, Return and Escape; the tile's hover colours, lift and click at two icon scales.
class TestGroupAddAppsView : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void typingGoesToTheSearchAtOnce();
    void checkSearchAndBadges();
    void returnAddsAndEscapeCloses_data();
    void returnAddsAndEscapeCloses();
    void noAppsShowTheEmptyStateAtOnce();
    void tileRecoloursAndLifts_data();
    void tileRecoloursAndLifts();

private:
    bool loadSheet();
    AppGroup *m_group = nullptr;
    std::unique_ptr<AppStateFixture> m_fixture;
    std::unique_ptr<ViewTest> m_test;
};

void TestGroupAddAppsView::init()
{
    m_fixture = std::make_unique<AppStateFixture>();
    QVERIFY(&m_fixture->start());
    m_test = std::make_unique<ViewTest>(u"tst_groupaddappsview"_qs);
    m_test->setIconCache(m_fixture->iconCache);
}

void TestGroupAddAppsView::cleanup()
{
    m_test.reset();
    m_fixture.reset();
    m_group = nullptr;
}

bool TestGroupAddAppsView::loadSheet()
{
    AppState &state = *m_fixture->state;
    StoreContext &context = state.container().mainContext();
    m_group = context.insert(std::make_unique<AppGroup>(u"工作"_qs, 0, ids(u"com.example.mail com.example.notes"_qs)));
    std::ignore = context.save();
    state.setSelectedGroupID(m_group->storeID());
    return m_test->loadView(u"GroupAddAppsSheet"_qs, {{u"state"_qs, QVariant::fromValue(&state)}});
}

namespace {

QList<AppInfo> someApps()
{
    QList<AppInfo> apps;
    for (const QString &name : {u"Zoom"_qs, u"Alpha"_qs, u"Calendar"_qs, u"Mail"_qs, u"Maps"_qs, u"Mango"_qs,
                                u"Notes"_qs, u"WeChat"_qs, u"Books"_qs, u"Weather"_qs})
        apps.append(app(u"com.example."_qs + name.toLower(), name));
    return apps;
}

} // namespace

void TestGroupAddAppsView::typingGoesToTheSearchAtOnce()
{
    m_fixture->finishScan(someApps());
    QVERIFY2(loadSheet(), qPrintable(m_test->errors()));
    QCOMPARE(m_test->root()->width(), 480.0);
    QVERIFY(m_test->item(u"searchField"_qs)->hasActiveFocus());
    m_test->type(u"ma"_qs);
    QCOMPARE(m_test->item(u"searchField"_qs)->property("text").toString(), u"ma"_qs);
    QVERIFY(m_test->item(u"clearSearch"_qs)->isVisible());
}

void TestGroupAddAppsView::checkSearchAndBadges()
{
    m_fixture->finishScan(someApps());
    m_fixture->state->setAlias(u"微信"_qs, app(u"com.example.wechat"_qs, u"WeChat"_qs));
    QVERIFY2(loadSheet(), qPrintable(m_test->errors()));
    QQuickItem *button = m_test->item(u"addButton"_qs);
    QCOMPARE(button->property("text").toString(), u"添加应用"_qs);
    QVERIFY(!button->isEnabled());
    m_test->grab(u"添加应用_成员带标记"_qs);

    // A member's row ignores clicks.
    m_test->click(ViewTest::centreOf(m_test->item(u"row_com.example.mail"_qs)));
    QCOMPARE(button->property("text").toString(), u"添加应用"_qs);

    for (const QString &id : {u"com.example.alpha"_qs, u"com.example.books"_qs, u"com.example.maps"_qs})
        m_test->click(ViewTest::centreOf(m_test->item(u"row_"_qs + id)));
    QCOMPARE(button->property("text").toString(), u"添加 3 个应用"_qs);
    QVERIFY(button->isEnabled());
    m_test->mouseMove(ViewTest::centreOf(m_test->item(u"row_com.example.calendar"_qs)));
    QCOMPARE(m_test->cursorShape(), Qt::ArrowCursor); // rows show no pointing hand
    m_test->grab(u"添加应用_勾选三个_悬停"_qs);

    m_test->click(ViewTest::centreOf(m_test->item(u"searchField"_qs)));
    m_test->type(u"ma"_qs);
    QCOMPARE(button->property("text").toString(), u"添加 3 个应用"_qs); // Alpha and Books are hidden, still counted
    QTest::qWait(250); // the focused border eases in
    m_test->grab(u"添加应用_勾选三个_搜索ma"_qs);

    // "全选" checks the shown non-members (Mango; Mail is a member), "清空" unchecks only the shown rows.
    m_test->click(ViewTest::centreOf(m_test->item(u"selectAll"_qs)));
    QCOMPARE(button->property("text").toString(), u"添加 4 个应用"_qs);
    m_test->click(ViewTest::centreOf(m_test->item(u"clearAll"_qs)));
    QCOMPARE(button->property("text").toString(), u"添加 2 个应用"_qs);
}

void TestGroupAddAppsView::returnAddsAndEscapeCloses_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<QStringList>("members");
    QTest::newRow("Return") << Qt::Key_Return
                            << ids(u"com.example.mail com.example.notes com.example.alpha com.example.calendar"_qs);
    QTest::newRow("Escape") << Qt::Key_Escape << ids(u"com.example.mail com.example.notes"_qs);
}

void TestGroupAddAppsView::returnAddsAndEscapeCloses()
{
    QFETCH(Qt::Key, key);
    QFETCH(QStringList, members);
    m_fixture->finishScan(someApps());
    QVERIFY2(loadSheet(), qPrintable(m_test->errors()));
    QSignalSpy done(m_test->root(), SIGNAL(done()));
    m_test->click(ViewTest::centreOf(m_test->item(u"row_com.example.calendar"_qs)));
    m_test->click(ViewTest::centreOf(m_test->item(u"row_com.example.alpha"_qs)));
    m_test->key(key);
    QCOMPARE(done.size(), 1);
    QCOMPARE(m_group->bundleIDs(), members);
    QCOMPARE(m_fixture->state->toast().isShown(), key == Qt::Key_Return);
}

void TestGroupAddAppsView::noAppsShowTheEmptyStateAtOnce()
{
    QVERIFY2(loadSheet(), qPrintable(m_test->errors()));
    QQuickItem *empty = m_test->item(u"emptyState"_qs);
    QVERIFY(empty && empty->isVisible());
    QCOMPARE(empty->height(), 296.0);
    // Return with nothing checked does nothing.
    QSignalSpy done(m_test->root(), SIGNAL(done()));
    m_test->key(Qt::Key_Return);
    QCOMPARE(done.size(), 0);
    m_test->grab(u"添加应用_没有应用"_qs);
}

void TestGroupAddAppsView::tileRecoloursAndLifts_data()
{
    QTest::addColumn<double>("scale");
    QTest::addColumn<bool>("pageAnimating");
    QTest::newRow("scale 1") << 1.0 << false;
    QTest::newRow("scale 1.6") << 1.6 << false;
    QTest::newRow("scale 1 while the pages snap") << 1.0 << true;
}

void TestGroupAddAppsView::tileRecoloursAndLifts()
{
    QFETCH(double, scale);
    QFETCH(bool, pageAnimating);
    QVERIFY2(m_test->loadView(u"AddGridCell"_qs, {{u"iconScale"_qs, scale}, {u"pageAnimating"_qs, pageAnimating}}),
             qPrintable(m_test->errors()));
    QQuickItem *cell = m_test->root();
    QQuickItem *plate = m_test->item(u"plate"_qs);
    QCOMPARE(cell->width(), 110 * scale);
    QCOMPARE(plate->width(), 58 * scale);
    const QString suffix = pageAnimating ? u"_翻页中"_qs : QString();
    const QString scaleText = QString::number(scale);

    // A corner of the plate, clear of the dashes and the plus.
    const QPoint probe = ViewTest::pointIn(plate, {plate->width() * 0.25, plate->height() * 0.25}).toPoint();
    const QImage rest = m_test->grab(u"添加格_静止_"_qs + scaleText + suffix);
    QCOMPARE(rest.pixelColor(probe).red(), 246); // white 0.965
    QCOMPARE(m_test->cursorShape(), Qt::ArrowCursor);

    m_test->mouseMove(ViewTest::centreOf(plate));
    QVERIFY(cell->property("hovering").toBool());
    QCOMPARE(m_test->cursorShape(), Qt::ArrowCursor); // no pointing hand
    QTRY_COMPARE(plate->scale(), pageAnimating ? 1.0 : 1.08);
    QTest::qWait(250);
    const QImage hovered = m_test->grab(u"添加格_悬停_"_qs + scaleText + suffix);
    const QPoint liftedProbe = ViewTest::pointIn(plate, {plate->width() * 0.25, plate->height() * 0.25}).toPoint();
    QCOMPARE(hovered.pixelColor(liftedProbe).red(), 240); // white 0.94
    QCOMPARE(plate->scale(), pageAnimating ? 1.0 : 1.08);

    QSignalSpy tapped(cell, SIGNAL(tapped()));
    m_test->click(ViewTest::pointIn(cell, {2, cell->height() - 2})); // a corner of the cell takes the click too
    QCOMPARE(tapped.size(), 1);
    m_test->mouseMove({-10, -10});
    QVERIFY(!cell->property("hovering").toBool());
}

QTEST_MAIN(TestGroupAddAppsView)
#include "tst_groupaddappsview.moc"
