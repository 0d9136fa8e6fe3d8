#include "linux/gnomefavouritesdockpinning.h"

#include <QTest>

// The gsettings tool is never run here: a scripted runner answers, and the tests check what it was asked.
namespace {

using Result = GnomeFavouritesDockPinning::CommandResult;

struct ScriptedRunner
{
    Result get;
    Result set;
    QList<QStringList> calls;

    GnomeFavouritesDockPinning::CommandRunner runner()
    {
        return [this](const QString &program, const QStringList &arguments) {
            calls.append(QStringList{program} + arguments);
            return arguments.value(0) == u"get" ? get : set;
        };
    }
};

Result output(const QByteArray &text, int exitCode = 0)
{
    return Result{true, exitCode, text};
}

AppInfo desktopApp(const QString &id)
{
    AppInfo a;
    a.bundleID = id;
    a.name = id;
    a.url = QUrl::fromLocalFile(u"/usr/share/applications/"_qs + id + u".desktop"_qs);
    return a;
}

const QStringList getCall = {u"gsettings"_qs, u"get"_qs, u"org.gnome.shell"_qs, u"favorite-apps"_qs};

QStringList setCall(const QString &value)
{
    return {u"gsettings"_qs, u"set"_qs, u"org.gnome.shell"_qs, u"favorite-apps"_qs, value};
}

} // namespace

Q_DECLARE_METATYPE(GnomeFavouritesDockPinning::CommandResult)

class TestGnomeFavouritesDockPinning : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void parsesPrintedLists_data();
    void parsesPrintedLists();
    void formattedListsReadBack();
    void keptAppsAreFound_data();
    void keptAppsAreFound();
    void addOutcomes_data();
    void addOutcomes();
};

void TestGnomeFavouritesDockPinning::parsesPrintedLists_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("valid");
    QTest::newRow("two ids") << QByteArray("['firefox.desktop', 'org.gnome.Nautilus.desktop']\n")
                             << QStringList{u"firefox.desktop"_qs, u"org.gnome.Nautilus.desktop"_qs} << true;
    QTest::newRow("an empty list with its type") << QByteArray("@as []\n") << QStringList{} << true;
    QTest::newRow("an empty list") << QByteArray("[]") << QStringList{} << true;
    QTest::newRow("double quotes around a single quote")
        << QByteArray("[\"it's.desktop\"]") << QStringList{u"it's.desktop"_qs} << true;
    QTest::newRow("escaped quote and backslash") << QByteArray("['a\\'b', 'c\\\\d']")
                                                 << QStringList{u"a'b"_qs, u"c\\d"_qs} << true;
    QTest::newRow("a unicode escape") << QByteArray("['caf\\u00e9.desktop']") << QStringList{u"café.desktop"_qs}
                                      << true;
    QTest::newRow("UTF-8 text") << QByteArray("['编辑器.desktop']") << QStringList{u"编辑器.desktop"_qs} << true;
    QTest::newRow("nothing") << QByteArray("") << QStringList{} << false;
    QTest::newRow("an open list") << QByteArray("['a.desktop'") << QStringList{} << false;
    QTest::newRow("an open string") << QByteArray("['a.desktop]") << QStringList{} << false;
    QTest::newRow("no comma") << QByteArray("['a' 'b']") << QStringList{} << false;
    QTest::newRow("numbers") << QByteArray("[1, 2]") << QStringList{} << false;
    QTest::newRow("text after the list") << QByteArray("['a'] x") << QStringList{} << false;
    QTest::newRow("an error message") << QByteArray("No such schema “org.gnome.shell”") << QStringList{} << false;
}

void TestGnomeFavouritesDockPinning::parsesPrintedLists()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, expected);
    QFETCH(bool, valid);
    const auto parsed = GnomeFavouritesDockPinning::parseStringArray(text);
    QCOMPARE(parsed.has_value(), valid);
    if (valid)
        QCOMPARE(*parsed, expected);
}

void TestGnomeFavouritesDockPinning::formattedListsReadBack()
{
    QCOMPARE(GnomeFavouritesDockPinning::formatStringArray({u"a.desktop"_qs, u"b.desktop"_qs}),
             u"['a.desktop', 'b.desktop']"_qs);
    QCOMPARE(GnomeFavouritesDockPinning::formatStringArray({}), u"[]"_qs);
    const QStringList tricky = {u"o'neil.desktop"_qs, u"back\\slash.desktop"_qs, u"编辑器.desktop"_qs};
    const auto back =
        GnomeFavouritesDockPinning::parseStringArray(GnomeFavouritesDockPinning::formatStringArray(tricky).toUtf8());
    QCOMPARE(back, std::optional(tricky));
}

void TestGnomeFavouritesDockPinning::keptAppsAreFound_data()
{
    QTest::addColumn<QStringList>("desktops");
    QTest::addColumn<QByteArray>("favourites");
    QTest::addColumn<bool>("kept");
    QTest::addColumn<bool>("asked");
    const QStringList gnome = {u"GNOME"_qs};
    QTest::newRow("among the favourites") << gnome << QByteArray("['a.desktop', 'org.example.Editor.desktop']")
                                          << true << true;
    QTest::newRow("not among them") << gnome << QByteArray("['a.desktop']") << false << true;
    QTest::newRow("an id that only starts alike") << gnome << QByteArray("['org.example.Editor.desktop.old']")
                                                  << false << true;
    QTest::newRow("a GNOME-based desktop") << QStringList{u"ubuntu"_qs, u"GNOME"_qs}
                                           << QByteArray("['org.example.Editor.desktop']") << true << true;
    QTest::newRow("another desktop") << QStringList{u"KDE"_qs} << QByteArray("['org.example.Editor.desktop']")
                                     << false << false;
    QTest::newRow("no desktop named") << QStringList{} << QByteArray("['org.example.Editor.desktop']") << false
                                      << false;
}

void TestGnomeFavouritesDockPinning::keptAppsAreFound()
{
    QFETCH(QStringList, desktops);
    QFETCH(QByteArray, favourites);
    QFETCH(bool, kept);
    QFETCH(bool, asked);
    ScriptedRunner runner;
    runner.get = output(favourites);
    GnomeFavouritesDockPinning dock(desktops, runner.runner());
    QCOMPARE(dock.isInDock(desktopApp(u"org.example.Editor"_qs)), kept);
    QCOMPARE(runner.calls, asked ? QList<QStringList>{getCall} : QList<QStringList>{});
}

void TestGnomeFavouritesDockPinning::addOutcomes_data()
{
    QTest::addColumn<QStringList>("desktops");
    QTest::addColumn<QString>("appPath");
    QTest::addColumn<Result>("get");
    QTest::addColumn<Result>("set");
    QTest::addColumn<bool>("added");
    QTest::addColumn<QString>("written"); // the value handed to "gsettings set"; empty: no set

    const QStringList gnome = {u"GNOME"_qs};
    const QString entry = u"/usr/share/applications/org.example.Editor.desktop"_qs;
    QTest::newRow("appended at the end") << gnome << entry << output("['a.desktop', 'b.desktop']\n") << output("")
                                         << true << u"['a.desktop', 'b.desktop', 'org.example.Editor.desktop']"_qs;
    QTest::newRow("into an empty list") << gnome << entry << output("@as []\n") << output("") << true
                                        << u"['org.example.Editor.desktop']"_qs;
    QTest::newRow("already a favourite") << gnome << entry << output("['org.example.Editor.desktop']")
                                         << output("") << false << QString();
    QTest::newRow("the write fails") << gnome << entry << output("['a.desktop']") << output("", 1) << false
                                     << u"['a.desktop', 'org.example.Editor.desktop']"_qs;
    QTest::newRow("the setting is not there") << gnome << entry << output("", 1) << output("") << false
                                              << QString();
    QTest::newRow("the list cannot be read") << gnome << entry << output("garbage") << output("") << false
                                             << QString();
    QTest::newRow("the tool does not finish") << gnome << entry << Result{} << output("") << false << QString();
    QTest::newRow("another desktop") << QStringList{u"KDE"_qs} << entry << output("[]") << output("") << false
                                     << QString();
    QTest::newRow("an .app bundle is no favourite")
        << gnome << u"/Applications/Editor.app"_qs << output("[]") << output("") << false << QString();
}

void TestGnomeFavouritesDockPinning::addOutcomes()
{
    QFETCH(QStringList, desktops);
    QFETCH(QString, appPath);
    QFETCH(Result, get);
    QFETCH(Result, set);
    QFETCH(bool, added);
    QFETCH(QString, written);
    ScriptedRunner runner;
    runner.get = get;
    runner.set = set;
    GnomeFavouritesDockPinning dock(desktops, runner.runner());
    AppInfo app = desktopApp(u"org.example.Editor"_qs);
    app.url = QUrl::fromLocalFile(appPath);

    QCOMPARE(dock.addToDock(app), added);
    QList<QStringList> expected;
    const bool asks = desktops.contains(u"GNOME"_qs) && appPath.endsWith(u".desktop");
    if (asks)
        expected.append(getCall);
    if (!written.isEmpty())
        expected.append(setCall(written));
    QCOMPARE(runner.calls, expected);
}

QTEST_GUILESS_MAIN(TestGnomeFavouritesDockPinning)
#include "tst_gnomefavouritesdockpinning.moc"
