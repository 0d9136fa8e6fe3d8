#include "applists.h"
#include "apppickermodel.h"
#include "apppicklist.h"
#include "apppicklistmodel.h"

#include <QAbstractItemModelTester>
#include <QHash>
#include <QSignalSpy>
#include <QTest>

using AppLists::app;
using AppLists::ids;
using AppLists::idsOf;

// The shared rule of the lists the user picks apps from, and the picker model over a caller's selection.
class TestAppPickers : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void shownList_data();
    void shownList();
    void batchButtonsActOnShownRowsOnly();
    void foreignIdentifiersSurviveEverything();
    void rowClickToggles();
    void pickWritesEvenTheSelectedRowAndReportsPicked();
    void pickSheetChecksTheRowEqualToTheSelection();
    void multiActionsDoNothingOnASingleSelection();
    void newCandidatesAreSortedAndFilteredByTheSearch();
    void sharedRowsFollowTheSearchAndTheShownNames();
    void allRowsChangedSpansTheShownRowsOnly();
};

namespace {

// Ten apps, each named by its capitalised identifier.
QList<AppInfo> tenApps()
{
    QList<AppInfo> apps;
    for (const QString &name : {u"Zoom"_qs, u"Alpha"_qs, u"Calendar"_qs, u"Mail"_qs, u"Maps"_qs, u"Mango"_qs,
                                u"Notes"_qs, u"Photos"_qs, u"Books"_qs, u"Weather"_qs})
        apps.append(app(name.toLower(), name));
    return apps;
}

struct Caller
{
    QSet<QString> selection;
    int writes = 0;
    AppPickerModel::MultiSelection binding()
    {
        return {[this] { return selection; }, [this](const QSet<QString> &s) { selection = s, ++writes; }};
    }
};

QString nameOnly(const AppInfo &a)
{
    return a.name;
}

// The rows both app lists share, with one role of its own: the row's name length.
class LengthRows : public AppPickListModel
{
public:
    static constexpr int lengthRole = FirstOwnRole;
    using AppPickListModel::allRowsChanged;
    using AppPickListModel::setRows;

protected:
    QVariant rowData(const AppInfo &app, int role) const override
    {
        return role == lengthRole ? QVariant(int(app.name.size())) : QVariant();
    }
};

} // namespace

void TestAppPickers::shownList_data()
{
    QTest::addColumn<QList<AppInfo>>("apps");
    QTest::addColumn<QStringList>("aliases"); // "id=alias" pairs: the user's aliases
    QTest::addColumn<bool>("sortByOwnName");  // the add sheet's order; else by the shown name, as the pickers
    QTest::addColumn<QString>("search");
    QTest::addColumn<QStringList>("expected");

    const QList<AppInfo> three = {app(u"c"_qs, u"Cal"_qs), app(u"a"_qs, u"Atlas"_qs), app(u"b"_qs, u"Bolt"_qs)};
    QTest::newRow("no search: sorted") << three << QStringList{} << false << QString() << ids(u"a b c"_qs);
    QTest::newRow("three blanks: every app in order") << three << QStringList{} << false << u"   "_qs
                                                      << ids(u"a b c"_qs);
    QTest::newRow("an ideographic blank is a blank too") << three << QStringList{} << false << u"\u3000"_qs
                                                         << ids(u"a b c"_qs);
    QTest::newRow("a search narrows") << three << QStringList{} << false << u"bo"_qs << ids(u"b"_qs);

    // "z" is named Zed and shown as "Apple": first by the shown name, last by its own.
    const QList<AppInfo> aliased = {app(u"z"_qs, u"Zed"_qs), app(u"m"_qs, u"Mango"_qs)};
    QTest::newRow("pickers sort by the alias") << aliased << QStringList{u"z=Apple"_qs} << false << QString()
                                               << ids(u"z m"_qs);
    QTest::newRow("the add sheet sorts by the own name") << aliased << QStringList{u"z=Apple"_qs} << true
                                                         << QString() << ids(u"m z"_qs);
    QTest::newRow("an alias is found") << aliased << QStringList{u"z=Apple"_qs} << true << u"appl"_qs
                                       << ids(u"z"_qs);
    QTest::newRow("the own name is still found") << aliased << QStringList{u"z=Apple"_qs} << false << u"zed"_qs
                                                 << ids(u"z"_qs);
    QTest::newRow("an alias ranks as high as a name")
        << QList<AppInfo>{app(u"x"_qs, u"Xpad"_qs), app(u"y"_qs, u"Yak"_qs)} << QStringList{u"y=Pad"_qs} << true
        << u"pad"_qs << ids(u"y x"_qs);

    QTest::newRow("equal names keep input order")
        << QList<AppInfo>{app(u"2"_qs, u"Same"_qs), app(u"1"_qs, u"Same"_qs), app(u"0"_qs, u"Other"_qs)}
        << QStringList{} << false << QString() << ids(u"0 2 1"_qs);
    QTest::newRow("equal shown names keep input order")
        << QList<AppInfo>{app(u"2"_qs, u"Beta"_qs), app(u"1"_qs, u"Alpha"_qs)}
        << QStringList{u"2=Same"_qs, u"1=Same"_qs} << false << QString() << ids(u"2 1"_qs);
    QTest::newRow("digits by value") << QList<AppInfo>{app(u"10"_qs, u"App 10"_qs), app(u"9"_qs, u"App 9"_qs)}
                                     << QStringList{} << false << QString() << ids(u"9 10"_qs);

    // A user alias is an extra name: found by its characters, not by its pinyin.
    const QList<AppInfo> chat = {app(u"chat"_qs, u"Chatter"_qs), app(u"wx"_qs, u"Waxwing"_qs)};
    QTest::newRow("a Chinese alias by its characters") << chat << QStringList{u"chat=微信"_qs} << false << u"微"_qs
                                                       << ids(u"chat"_qs);
    QTest::newRow("a Chinese alias not by its pinyin") << chat << QStringList{u"chat=微信"_qs} << false
                                                       << u"weixin"_qs << QStringList{};
    QTest::newRow("nothing to pick from") << QList<AppInfo>{} << QStringList{} << false << u"a"_qs << QStringList{};
}

void TestAppPickers::shownList()
{
    QFETCH(QList<AppInfo>, apps);
    QFETCH(QStringList, aliases);
    QFETCH(bool, sortByOwnName);
    QFETCH(QString, search);
    QFETCH(QStringList, expected);

    QHash<QString, QString> aliasOf;
    for (const QString &pair : aliases)
        aliasOf.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
    const AppPickList::NameOf shownName = [&](const AppInfo &a) { return aliasOf.value(a.bundleID, a.name); };
    const QList<AppInfo> sorted = AppPickList::sorted(apps, sortByOwnName ? AppPickList::NameOf(nameOnly) : shownName);
    QCOMPARE(idsOf(AppPickList::shown(sorted, search, shownName)), expected);

    // The pickers' model shows the same rows, under the shown name.
    if (!sortByOwnName) {
        Caller caller;
        AppPickerModel model(apps, shownName, caller.binding());
        model.setSearch(search);
        QCOMPARE(idsOf(model.shownApps()), expected);
        for (int row = 0; row < model.rowCount(); ++row) {
            const QModelIndex i = model.index(row);
            QCOMPARE(i.data(AppPickerModel::NameRole).toString(),
                     shownName(model.shownApps()[row]));
        }
    }
}

void TestAppPickers::batchButtonsActOnShownRowsOnly()
{
    Caller caller;
    caller.selection = {u"zoom"_qs, u"alpha"_qs};
    AppPickerModel model(tenApps(), nameOnly, caller.binding());
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setSearch(u"ma"_qs); // three of ten
    QCOMPARE(idsOf(model.shownApps()), ids(u"mail mango maps"_qs));
    model.selectAllShown();
    QCOMPARE(caller.selection, (QSet<QString>{u"zoom"_qs, u"alpha"_qs, u"mail"_qs, u"maps"_qs, u"mango"_qs}));
    model.clearShown();
    QCOMPARE(caller.selection, (QSet<QString>{u"zoom"_qs, u"alpha"_qs}));
    QCOMPARE(caller.writes, 2);
}

void TestAppPickers::foreignIdentifiersSurviveEverything()
{
    Caller caller;
    caller.selection = {u"gone.app"_qs};
    AppPickerModel model(tenApps(), nameOnly, caller.binding());
    model.selectAllShown();
    QCOMPARE(caller.selection.size(), 11);
    model.toggle(0);
    model.toggle(0);
    model.clearShown();
    QCOMPARE(caller.selection, QSet<QString>{u"gone.app"_qs});
}

void TestAppPickers::rowClickToggles()
{
    Caller caller;
    AppPickerModel model(tenApps(), nameOnly, caller.binding());
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.toggle(0); // Alpha, first by name
    QCOMPARE(caller.selection, QSet<QString>{u"alpha"_qs});
    QVERIFY(model.index(0).data(AppPickerModel::CheckedRole).toBool());
    QCOMPARE(changed.size(), 1);
    model.toggle(0);
    QVERIFY(caller.selection.isEmpty());
    QVERIFY(!model.index(0).data(AppPickerModel::CheckedRole).toBool());
    model.toggle(10); // no such row
    model.toggle(-1);
    QCOMPARE(caller.writes, 2);

    // A change the caller makes itself shows after it says so.
    caller.selection = {u"books"_qs};
    model.selectionChanged();
    QVERIFY(model.index(1).data(AppPickerModel::CheckedRole).toBool()); // Alpha, Books, ...
}

void TestAppPickers::pickWritesEvenTheSelectedRowAndReportsPicked()
{
    QString selection = u"alpha"_qs;
    int writes = 0;
    AppPickerModel model(tenApps(), nameOnly,
                         AppPickerModel::SingleSelection{[&] { return selection; },
                                                          [&](const QString &s) { selection = s, ++writes; }});
    QSignalSpy picked(&model, &AppPickerModel::picked);
    model.pick(0);
    QCOMPARE(selection, u"alpha"_qs);
    QCOMPARE(writes, 1);
    QCOMPARE(picked.size(), 1);
    model.setSearch(u"zoo"_qs);
    model.pick(0);
    QCOMPARE(selection, u"zoom"_qs);
    QCOMPARE(picked.size(), 2);
    model.pick(1); // no such row: nothing written, nothing closes
    QCOMPARE(writes, 2);
    QCOMPARE(picked.size(), 2);
}

void TestAppPickers::pickSheetChecksTheRowEqualToTheSelection()
{
    QString selection = u"maps"_qs;
    AppPickerModel model(tenApps(), nameOnly, AppPickerModel::SingleSelection{[&] { return selection; }, {}});
    QStringList checked;
    for (int row = 0; row < model.rowCount(); ++row)
        if (model.index(row).data(AppPickerModel::CheckedRole).toBool())
            checked.append(model.index(row).data(AppPickerModel::BundleIdRole).toString());
    QCOMPARE(checked, QStringList{u"maps"_qs});
}

void TestAppPickers::multiActionsDoNothingOnASingleSelection()
{
    QString selection = u"maps"_qs;
    int writes = 0;
    AppPickerModel model(tenApps(), nameOnly,
                         AppPickerModel::SingleSelection{[&] { return selection; }, [&](const QString &) { ++writes; }});
    model.toggle(0);
    model.selectAllShown();
    model.clearShown();
    QCOMPARE(writes, 0);
}

void TestAppPickers::newCandidatesAreSortedAndFilteredByTheSearch()
{
    Caller caller;
    AppPickerModel model(tenApps(), nameOnly, caller.binding());
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy count(&model, &AppPickerModel::countChanged);
    model.setSearch(u"o"_qs);
    model.setApps({app(u"y"_qs, u"Yo"_qs), app(u"x"_qs, u"Xo"_qs), app(u"q"_qs, u"Q"_qs)});
    QCOMPARE(idsOf(model.shownApps()), ids(u"x y"_qs));
    QCOMPARE(model.count(), 2);
    QCOMPARE(count.size(), 2);
}

void TestAppPickers::sharedRowsFollowTheSearchAndTheShownNames()
{
    LengthRows rows;
    QAbstractItemModelTester tester(&rows, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy count(&rows, &AppPickListModel::countChanged);
    QSignalSpy search(&rows, &AppPickListModel::searchChanged);
    QSignalSpy resets(&rows, &QAbstractItemModel::modelReset);

    // The owner's order is kept; "z" shows as 苹果 and is found by it.
    rows.setRows({app(u"z"_qs, u"Zed"_qs), app(u"m"_qs, u"Mango"_qs), app(u"k"_qs, u"Kiwi"_qs)},
                 {{u"z"_qs, u"苹果"_qs}});
    QCOMPARE(idsOf(rows.shownApps()), ids(u"z m k"_qs));
    QCOMPARE(count.size(), 1);
    const QModelIndex first = rows.index(0);
    QCOMPARE(first.data(AppPickListModel::BundleIdRole).toString(), u"z"_qs);
    QCOMPARE(first.data(AppPickListModel::NameRole).toString(), u"苹果"_qs);
    QCOMPARE(first.data(Qt::DisplayRole).toString(), u"苹果"_qs);
    QVERIFY(!first.data(AppPickListModel::IconSourceRole).toString().isEmpty());
    QCOMPARE(first.data(LengthRows::lengthRole).toInt(), 3); // the owner's role sees the app itself
    QVERIFY(!first.data(Qt::DecorationRole).isValid());
    QCOMPARE(rows.roleNames().value(AppPickListModel::NameRole), QByteArray("name"));

    rows.setSearch(u"苹"_qs);
    QCOMPARE(idsOf(rows.shownApps()), ids(u"z"_qs));
    QCOMPARE(rows.rowCount(), 1);
    QCOMPARE(count.size(), 2);
    QCOMPARE(search.size(), 1);
    rows.setSearch(u"苹"_qs); // the same search again: nothing happens
    QCOMPARE(search.size(), 1);

    // New rows are filtered by the search as it stands; an unchanged count sends no countChanged, a reset always.
    const qsizetype resetsBefore = resets.size();
    rows.setRows({app(u"k"_qs, u"Kiwi"_qs), app(u"p"_qs, u"Pear"_qs)}, {{u"p"_qs, u"苹梨"_qs}});
    QCOMPARE(idsOf(rows.shownApps()), ids(u"p"_qs));
    QCOMPARE(count.size(), 2);
    QCOMPARE(resets.size(), resetsBefore + 1);
    rows.setSearch(QString());
    QCOMPARE(idsOf(rows.shownApps()), ids(u"k p"_qs));
    QCOMPARE(count.size(), 3);
}

void TestAppPickers::allRowsChangedSpansTheShownRowsOnly()
{
    LengthRows rows;
    QSignalSpy changed(&rows, &QAbstractItemModel::dataChanged);
    rows.allRowsChanged({LengthRows::lengthRole});
    QCOMPARE(changed.size(), 0); // no rows, no signal

    rows.setRows({app(u"a"_qs, u"Alpha"_qs), app(u"b"_qs, u"Beta"_qs), app(u"c"_qs, u"Gamma"_qs)}, {});
    rows.setSearch(u"ta"_qs); // Beta only
    QCOMPARE(rows.rowCount(), 1);
    rows.allRowsChanged({LengthRows::lengthRole});
    QCOMPARE(changed.size(), 1);
    const QList<QVariant> args = changed.takeFirst();
    QCOMPARE(args.at(0).toModelIndex(), rows.index(0));
    QCOMPARE(args.at(1).toModelIndex(), rows.index(0));
    QCOMPARE(args.at(2).value<QList<int>>(), QList<int>{LengthRows::lengthRole});
}

QTEST_MAIN(TestAppPickers)
#include "tst_apppickers.moc"
