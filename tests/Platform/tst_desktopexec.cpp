#include "desktopexec.h"

#include <QTest>

class TestDesktopExec : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void expand_data();
    void expand();
    void iconCodeWithoutAnIcon();
};

namespace {

QList<QUrl> urls(const QStringList &texts)
{
    QList<QUrl> out;
    for (const auto &text : texts)
        out.append(QUrl::fromEncoded(text.toUtf8()));
    return out;
}

const QStringList invalid = {u"<invalid>"_qs};

} // namespace

void TestDesktopExec::expand_data()
{
    QTest::addColumn<QString>("exec");
    QTest::addColumn<QStringList>("given"); // URLs, encoded
    QTest::addColumn<QStringList>("expected");

    const QStringList none;
    const QStringList file = {u"file:///tmp/a%20b.txt"_qs};
    const QStringList link = {u"bilibili://search?keyword=%20"_qs};

    QTest::newRow("plain words") << u"tool --flag value"_qs << none << QStringList{u"tool"_qs, u"--flag"_qs, u"value"_qs};
    QTest::newRow("runs of blanks") << u" tool  a\tb "_qs << none << QStringList{u"tool"_qs, u"a"_qs, u"b"_qs};
    QTest::newRow("%f gives a local file as a path") << u"tool %f"_qs << file
                                                     << QStringList{u"tool"_qs, u"/tmp/a b.txt"_qs};
    QTest::newRow("%f leaves out a URL that is no file") << u"tool %f"_qs << link << QStringList{u"tool"_qs};
    QTest::newRow("%F gives one word per local file")
        << u"tool %F"_qs << QStringList{u"file:///a"_qs, u"https://x.example/y"_qs, u"file:///b"_qs}
        << QStringList{u"tool"_qs, u"/a"_qs, u"/b"_qs};
    QTest::newRow("%u keeps the URL encoded") << u"tool %u"_qs << link
                                              << QStringList{u"tool"_qs, u"bilibili://search?keyword=%20"_qs};
    QTest::newRow("%U gives one word per URL") << u"tool %U"_qs << (link + file)
                                               << QStringList{u"tool"_qs, link.first(), file.first()};
    QTest::newRow("%u with no URL drops the word") << u"tool %u --new"_qs << none
                                                   << QStringList{u"tool"_qs, u"--new"_qs};
    QTest::newRow("%U with no URL drops the word") << u"tool %U"_qs << none << QStringList{u"tool"_qs};
    QTest::newRow("%u within a word") << u"tool --open=%u"_qs << link
                                      << QStringList{u"tool"_qs, u"--open=bilibili://search?keyword=%20"_qs};
    QTest::newRow("%i with an icon") << u"tool %i"_qs << none << QStringList{u"tool"_qs, u"--icon"_qs, u"editor"_qs};
    QTest::newRow("%c is the name") << u"tool --title %c"_qs << none
                                    << QStringList{u"tool"_qs, u"--title"_qs, u"My Editor"_qs};
    QTest::newRow("%k is the entry's location") << u"tool %k"_qs << none
                                                << QStringList{u"tool"_qs, u"/apps/editor.desktop"_qs};
    QTest::newRow("%% is a percent sign") << u"tool 100%% %%u"_qs << none
                                          << QStringList{u"tool"_qs, u"100%"_qs, u"%u"_qs};
    QTest::newRow("deprecated codes are dropped") << u"tool %d %D %n %N %v %m end"_qs << none
                                                  << QStringList{u"tool"_qs, u"end"_qs};
    QTest::newRow("double quotes keep blanks") << u"tool \"a b\" c"_qs << none
                                               << QStringList{u"tool"_qs, u"a b"_qs, u"c"_qs};
    QTest::newRow("escapes inside double quotes") << u"tool \"q\\\"d\\$b\\`s\\\\\""_qs << none
                                                  << QStringList{u"tool"_qs, u"q\"d$b`s\\"_qs};
    QTest::newRow("other backslashes inside quotes stay") << u"tool \"a\\nb\""_qs << none
                                                          << QStringList{u"tool"_qs, u"a\\nb"_qs};
    QTest::newRow("empty quotes are an empty word") << u"tool \"\" end"_qs << none
                                                    << QStringList{u"tool"_qs, QString(), u"end"_qs};
    QTest::newRow("a quoted program with a blank") << u"\"/opt/My Tool/run\" %U"_qs << none
                                                   << QStringList{u"/opt/My Tool/run"_qs};
    QTest::newRow("quotes glued to text") << u"tool --name=\"a b\"c"_qs << none
                                          << QStringList{u"tool"_qs, u"--name=a bc"_qs};
    QTest::newRow("single quotes hold literal text") << u"sh -c 'echo \"$HOME\"'"_qs << none
                                                     << QStringList{u"sh"_qs, u"-c"_qs, u"echo \"$HOME\""_qs};
    QTest::newRow("a backslash outside quotes takes the next character") << u"tool a\\ b"_qs << none
                                                                         << QStringList{u"tool"_qs, u"a b"_qs};

    QTest::newRow("a stray % at the end") << u"tool 50%"_qs << none << invalid;
    QTest::newRow("an unknown field code") << u"tool %x"_qs << none << invalid;
    QTest::newRow("an open double quote") << u"tool \"a b"_qs << none << invalid;
    QTest::newRow("an open single quote") << u"tool 'a b"_qs << none << invalid;
    QTest::newRow("%F within a word") << u"tool --files=%F"_qs << file << invalid;
    QTest::newRow("%U inside quotes") << u"tool \"%U\""_qs << link << invalid;
    QTest::newRow("%i glued to text") << u"tool %ix"_qs << none << invalid;
    QTest::newRow("a backslash at the end") << u"tool \\"_qs << none << invalid;
    QTest::newRow("nothing but blanks") << u"   "_qs << none << invalid;
    QTest::newRow("an empty program") << u"\"\" --flag"_qs << none << invalid;
    QTest::newRow("a program that is only a dropped code") << u"%u"_qs << none << invalid;
}

void TestDesktopExec::expand()
{
    QFETCH(QString, exec);
    QFETCH(QStringList, given);
    QFETCH(QStringList, expected);
    DesktopExec::Inputs inputs;
    inputs.urls = urls(given);
    inputs.icon = u"editor"_qs;
    inputs.name = u"My Editor"_qs;
    inputs.desktopFile = u"/apps/editor.desktop"_qs;
    const auto words = DesktopExec::expand(exec, inputs);
    QCOMPARE(words.value_or(invalid), expected);
}

void TestDesktopExec::iconCodeWithoutAnIcon()
{
    // An entry without an Icon gets no "--icon" word, not one followed by an empty value.
    DesktopExec::Inputs inputs;
    inputs.name = u"My Editor"_qs;
    QCOMPARE(DesktopExec::expand(u"tool %i --new"_qs, inputs), std::optional(QStringList{u"tool"_qs, u"--new"_qs}));
}

QTEST_GUILESS_MAIN(TestDesktopExec)
#include "tst_desktopexec.moc"
