#include "applists.h"
#include "apppickermodel.h"
#include "viewtest.h"

#include <QSignalSpy>
#include <QTest>

using AppLists::app;

// The two app pickers in a window, driven with real events: the multi-picker's row clicks and batch buttons, the
// pick sheet's focus, search, clear button, pick, Escape and empty state.
class TestAppPickerViews : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void multiPickerClicksAndBatchButtons_data();
    void multiPickerClicksAndBatchButtons();
    void pickSheetTypesIntoItsSearchAtOnce();
    void pickSheetClickWritesAndCloses_data();
    void pickSheetClickWritesAndCloses();
    void pickSheetEscapeWritesNothing();
    void pickSheetWithoutCandidatesShowsTheEmptyState();

private:
    std::unique_ptr<ViewTest> m_test;
};

namespace {

QList<AppInfo> someApps()
{
    return {app(u"com.example.zoom"_qs, u"Zoom"_qs),         app(u"com.example.alpha"_qs, u"Alpha"_qs),
            app(u"com.example.calendar"_qs, u"Calendar"_qs), app(u"com.example.mail"_qs, u"Mail"_qs),
            app(u"com.example.maps"_qs, u"Maps"_qs),         app(u"com.example.mango"_qs, u"Mango"_qs),
            app(u"com.example.notes"_qs, u"Notes"_qs),       app(u"com.example.wechat"_qs, u"WeChat"_qs),
            app(u"com.example.books"_qs, u"Books"_qs),       app(u"com.example.weather"_qs, u"Weather"_qs)};
}

QString aliasOrName(const AppInfo &a)
{
    return a.bundleID == u"com.example.wechat"_qs ? u"微信"_qs : a.name;
}

} // namespace

void TestAppPickerViews::init()
{
    m_test = std::make_unique<ViewTest>(u"tst_apppickerviews"_qs);
}

void TestAppPickerViews::multiPickerClicksAndBatchButtons_data()
{
    QTest::addColumn<double>("listHeight");
    QTest::newRow("quit-plan editor") << 148.0;
    QTest::newRow("app-choice sheet") << 320.0;
}

void TestAppPickerViews::multiPickerClicksAndBatchButtons()
{
    QFETCH(double, listHeight);
    QSet<QString> selection{u"com.example.gone"_qs};
    AppPickerModel model(someApps(), aliasOrName,
                         AppPickerModel::MultiSelection{[&] { return selection; },
                                                         [&](const QSet<QString> &s) { selection = s; }});
    QVERIFY2(m_test->loadView(u"AppMultiPicker"_qs,
                              {{u"model"_qs, QVariant::fromValue(&model)}, {u"listHeight"_qs, listHeight}},
                              QSize(400, int(listHeight) + 31)),
             qPrintable(m_test->errors()));
    QCOMPARE(m_test->item(u"list"_qs)->height(), listHeight);
    // No focus of its own.
    QVERIFY(!m_test->item(u"searchField"_qs)->hasActiveFocus());

    m_test->click(ViewTest::centreOf(m_test->item(u"row_com.example.alpha"_qs)));
    m_test->click(ViewTest::centreOf(m_test->item(u"row_com.example.books"_qs)));
    QCOMPARE(selection, (QSet<QString>{u"com.example.gone"_qs, u"com.example.alpha"_qs, u"com.example.books"_qs}));
    m_test->grab(u"多选_"_qs + QString::number(int(listHeight)) + u"_已勾选两个"_qs);
    m_test->click(ViewTest::centreOf(m_test->item(u"row_com.example.books"_qs)));
    QCOMPARE(selection, (QSet<QString>{u"com.example.gone"_qs, u"com.example.alpha"_qs}));

    m_test->click(ViewTest::centreOf(m_test->item(u"searchField"_qs)));
    m_test->type(u"ma"_qs);
    QTRY_COMPARE(model.count(), 3);
    m_test->click(ViewTest::centreOf(m_test->item(u"selectAll"_qs)));
    QCOMPARE(selection.size(), 5);
    m_test->grab(u"多选_"_qs + QString::number(int(listHeight)) + u"_搜索后全选"_qs);
    m_test->click(ViewTest::centreOf(m_test->item(u"clearAll"_qs)));
    QCOMPARE(selection, (QSet<QString>{u"com.example.gone"_qs, u"com.example.alpha"_qs}));
}

void TestAppPickerViews::pickSheetTypesIntoItsSearchAtOnce()
{
    QString selection;
    AppPickerModel model(someApps(), aliasOrName,
                         AppPickerModel::SingleSelection{[&] { return selection; }, [&](const QString &) {}});
    QVERIFY2(m_test->loadView(u"AppPickSheet"_qs,
                              {{u"model"_qs, QVariant::fromValue(&model)},
                               {u"title"_qs, u"选择应用"_qs},
                               {u"subtitle"_qs, u"支持名称与拼音搜索，点击即选定"_qs},
                               {u"listHeight"_qs, 320.0}}),
             qPrintable(m_test->errors()));
    QCOMPARE(m_test->root()->width(), 480.0);
    QVERIFY(!m_test->item(u"clearSearch"_qs)->isVisible());
    m_test->type(u"   "_qs);
    QCOMPARE(model.search(), u"   "_qs);
    QCOMPARE(model.count(), 10); // blanks show every app
    QVERIFY(m_test->item(u"clearSearch"_qs)->isVisible());
    m_test->grab(u"选择应用_三个空格"_qs);
    m_test->click(ViewTest::centreOf(m_test->item(u"clearSearch"_qs)));
    QCOMPARE(model.search(), QString());
    QVERIFY(!m_test->item(u"clearSearch"_qs)->isVisible());
    m_test->type(u"微"_qs);
    QCOMPARE(model.count(), 1);
    QVERIFY(m_test->item(u"row_com.example.wechat"_qs));
}

void TestAppPickerViews::pickSheetClickWritesAndCloses_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("row");
    QTest::newRow("another row") << u"com.example.mail"_qs << u"com.example.notes"_qs;
    QTest::newRow("the selected row again") << u"com.example.mail"_qs << u"com.example.mail"_qs;
}

void TestAppPickerViews::pickSheetClickWritesAndCloses()
{
    QFETCH(QString, before);
    QFETCH(QString, row);
    QString selection = before;
    QStringList writes;
    AppPickerModel model(someApps(), aliasOrName,
                         AppPickerModel::SingleSelection{[&] { return selection; }, [&](const QString &s) {
                                                             selection = s;
                                                             writes.append(s);
                                                         }});
    QVERIFY2(m_test->loadView(u"AppPickSheet"_qs,
                              {{u"model"_qs, QVariant::fromValue(&model)},
                               {u"title"_qs, u"选择应用"_qs},
                               {u"subtitle"_qs, u"支持名称与拼音搜索，点击即选定"_qs},
                               {u"listHeight"_qs, 320.0}}),
             qPrintable(m_test->errors()));
    QSignalSpy done(m_test->root(), SIGNAL(done()));
    QQuickItem *target = m_test->item(u"row_"_qs + row);
    QVERIFY(target);
    m_test->mouseMove(ViewTest::centreOf(target));
    QCOMPARE(m_test->cursorShape(), Qt::PointingHandCursor);
    m_test->grab(u"选择应用_已选一行_悬停"_qs);
    QVERIFY(done.isEmpty());
    m_test->click(ViewTest::centreOf(target));
    QCOMPARE(writes, QStringList{row});
    QCOMPARE(done.size(), 1);
}

void TestAppPickerViews::pickSheetEscapeWritesNothing()
{
    QString selection = u"com.example.mail"_qs;
    int writes = 0;
    AppPickerModel model(someApps(), aliasOrName,
                         AppPickerModel::SingleSelection{[&] { return selection; },
                                                          [&](const QString &) { ++writes; }});
    QVERIFY2(m_test->loadView(u"AppPickSheet"_qs, {{u"model"_qs, QVariant::fromValue(&model)}}),
             qPrintable(m_test->errors()));
    QSignalSpy done(m_test->root(), SIGNAL(done()));
    m_test->type(u"ma"_qs);
    m_test->key(Qt::Key_Escape);
    QCOMPARE(done.size(), 1);
    QCOMPARE(writes, 0);
    QCOMPARE(selection, u"com.example.mail"_qs);
}

void TestAppPickerViews::pickSheetWithoutCandidatesShowsTheEmptyState()
{
    QString selection;
    AppPickerModel model({}, aliasOrName, AppPickerModel::SingleSelection{[&] { return selection; }, {}});
    QVERIFY2(m_test->loadView(u"AppPickSheet"_qs,
                              {{u"model"_qs, QVariant::fromValue(&model)},
                               {u"title"_qs, u"选择应用"_qs},
                               {u"subtitle"_qs, u"支持名称与拼音搜索，点击即选定"_qs},
                               {u"listHeight"_qs, 320.0}}),
             qPrintable(m_test->errors()));
    QQuickItem *empty = m_test->item(u"emptyState"_qs);
    QVERIFY(empty && empty->isVisible());
    QCOMPARE(empty->height(), 280.0);
    m_test->grab(u"选择应用_没有应用"_qs);
}

QTEST_MAIN(TestAppPickerViews)
#include "tst_apppickerviews.moc"
