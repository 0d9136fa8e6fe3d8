#include "atomicfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "<missing>";
    return f.readAll();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// Every entry of a folder, hidden ones too, sorted.
QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// "name=contents" of every copy kept aside, in number order.
QStringList copies(const QString &file)
{
    QStringList out;
    for (int n = 1; n <= 6; ++n) {
        const QString name = n == 1 ? file + u".corrupt"_qs : file + u".corrupt-"_qs + QString::number(n);
        if (QFileInfo::exists(name))
            out << QFileInfo(name).fileName() + u'=' + QString::fromUtf8(readAll(name));
    }
    return out;
}

} // namespace

class TestAtomicFile : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void keepAsideNumbersTheCopies_data();
    void keepAsideNumbersTheCopies();
    void writeGoesThroughLinks_data();
    void writeGoesThroughLinks();
    void keepAsideMovesTheLinkedFile();
    void staleTemporariesAreRemoved();
    void invalidUtf8BecomesReplacementCharacters_data();
    void invalidUtf8BecomesReplacementCharacters();
};

void TestAtomicFile::keepAsideNumbersTheCopies_data()
{
    QTest::addColumn<QStringList>("present"); // copies there before, by number, with their contents
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("the first copy") << QStringList{} << QStringList{u"f.corrupt=new"_qs};
    QTest::newRow("a second copy takes the next number")
        << QStringList{u"1=a"_qs} << QStringList{u"f.corrupt=a"_qs, u"f.corrupt-2=new"_qs};
    QTest::newRow("the fifth copy")
        << QStringList{u"1=a"_qs, u"2=b"_qs, u"3=c"_qs, u"4=d"_qs}
        << QStringList{u"f.corrupt=a"_qs, u"f.corrupt-2=b"_qs, u"f.corrupt-3=c"_qs, u"f.corrupt-4=d"_qs,
                       u"f.corrupt-5=new"_qs};
    QTest::newRow("a sixth copy removes the oldest and moves the others down")
        << QStringList{u"1=a"_qs, u"2=b"_qs, u"3=c"_qs, u"4=d"_qs, u"5=e"_qs}
        << QStringList{u"f.corrupt=b"_qs, u"f.corrupt-2=c"_qs, u"f.corrupt-3=d"_qs, u"f.corrupt-4=e"_qs,
                       u"f.corrupt-5=new"_qs};
    QTest::newRow("after a gap the new copy still comes last")
        << QStringList{u"1=a"_qs, u"3=c"_qs} << QStringList{u"f.corrupt=a"_qs, u"f.corrupt-3=c"_qs, u"f.corrupt-4=new"_qs};
    QTest::newRow("a full row with a gap closes up")
        << QStringList{u"2=b"_qs, u"3=c"_qs, u"5=e"_qs}
        << QStringList{u"f.corrupt=b"_qs, u"f.corrupt-2=c"_qs, u"f.corrupt-3=e"_qs, u"f.corrupt-4=new"_qs};
}

void TestAtomicFile::keepAsideNumbersTheCopies()
{
    QFETCH(QStringList, present);
    QFETCH(QStringList, expected);
    QTemporaryDir dir;
    const QString file = dir.filePath(u"f"_qs);
    for (const QString &copy : present) {
        const int n = copy.section(u'=', 0, 0).toInt();
        QVERIFY(writeFile(n == 1 ? file + u".corrupt"_qs : file + u".corrupt-"_qs + QString::number(n),
                          copy.section(u'=', 1).toUtf8()));
    }
    QVERIFY(writeFile(file, "new"));
    QVERIFY(AtomicFile::keepAside(file));
    QVERIFY(!QFileInfo::exists(file));
    QCOMPARE(copies(file), expected);
    QVERIFY(AtomicFile::keepAside(file)); // nothing there: nothing to do
    QCOMPARE(copies(file), expected);
}

void TestAtomicFile::writeGoesThroughLinks_data()
{
    QTest::addColumn<QString>("link");   // relative to the temporary folder
    QTest::addColumn<QString>("points"); // what the link holds; "@" stands for the temporary folder
    QTest::addColumn<QString>("target"); // the file that must get the bytes
    QTest::newRow("a relative link into another folder") << "home/f.json" << "../dotfiles/f.json" << "dotfiles/f.json";
    QTest::newRow("an absolute link") << "home/f.json" << "@/dotfiles/f.json" << "dotfiles/f.json";
    QTest::newRow("a link to a link") << "home/f.json" << "../mid/f.json" << "dotfiles/f.json";
    QTest::newRow("a link whose file is not there yet") << "home/f.json" << "../dotfiles/new.json"
                                                        << "dotfiles/new.json";
}

void TestAtomicFile::writeGoesThroughLinks()
{
    QFETCH(QString, link);
    QFETCH(QString, points);
    QFETCH(QString, target);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(u"home"_qs));
    QVERIFY(QDir(dir.path()).mkpath(u"mid"_qs));
    QVERIFY(writeFile(dir.filePath(u"dotfiles/f.json"_qs), "old"));
    QVERIFY(QFile::link(u"../dotfiles/f.json"_qs, dir.filePath(u"mid/f.json"_qs)));
    points.replace(u'@', dir.path());
    QVERIFY(QFile::link(points, dir.filePath(link)));

    QCOMPARE(AtomicFile::resolvedPath(dir.filePath(link)), QDir::cleanPath(dir.filePath(target)));
    QVERIFY(AtomicFile::write(dir.filePath(link), "new"));
    QVERIFY(QFileInfo(dir.filePath(link)).isSymLink());
    QCOMPARE(readAll(dir.filePath(target)), QByteArray("new"));
    QCOMPARE(readAll(dir.filePath(link)), QByteArray("new"));
    // No temporary file stays behind, in either folder.
    QCOMPARE(entries(dir.filePath(u"home"_qs)), QStringList{u"f.json"_qs});
    for (const QString &name : entries(dir.filePath(u"dotfiles"_qs)))
        QVERIFY2(!name.startsWith(u'.'), qPrintable(name));
}

void TestAtomicFile::keepAsideMovesTheLinkedFile()
{
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath(u"dotfiles/f.json"_qs), "{broken"));
    QVERIFY(QDir(dir.path()).mkpath(u"home"_qs));
    QVERIFY(QFile::link(u"../dotfiles/f.json"_qs, dir.filePath(u"home/f.json"_qs)));
    QVERIFY(AtomicFile::keepAside(dir.filePath(u"home/f.json"_qs)));
    QCOMPARE(readAll(dir.filePath(u"dotfiles/f.json.corrupt"_qs)), QByteArray("{broken"));
    QVERIFY(AtomicFile::write(dir.filePath(u"home/f.json"_qs), "{}"));
    QVERIFY(QFileInfo(dir.filePath(u"home/f.json"_qs)).isSymLink());
    QCOMPARE(readAll(dir.filePath(u"dotfiles/f.json"_qs)), QByteArray("{}"));
}

void TestAtomicFile::staleTemporariesAreRemoved()
{
    QTemporaryDir dir;
    const QStringList ours{u".defaults.json.AbC123"_qs, u".defaults.json.zzzzzz"_qs, u".defaults.json.000000"_qs};
    const QStringList others{
        u"defaults.json"_qs,           u".defaults.json.AbC12"_qs,  u".defaults.json.AbC1234"_qs,
        u".defaults.json.AbC-12"_qs,   u"defaults.json.AbC123"_qs,  u".sessions.json.AbC123"_qs,
        u"defaults.json.corrupt"_qs,   u".defaults.json.corrupt"_qs,
    };
    for (const QString &name : ours + others)
        QVERIFY(writeFile(dir.filePath(name), "x"));
    // Beside the file a link points to as well.
    QVERIFY(writeFile(dir.filePath(u"dotfiles/.defaults.json.Q1w2E3"_qs), "x"));
    QVERIFY(writeFile(dir.filePath(u"dotfiles/defaults.json"_qs), "{}"));
    QVERIFY(QDir(dir.path()).mkpath(u"home"_qs));
    QVERIFY(writeFile(dir.filePath(u"home/.defaults.json.R4t5Y6"_qs), "x"));
    QVERIFY(QFile::link(u"../dotfiles/defaults.json"_qs, dir.filePath(u"home/defaults.json"_qs)));

    AtomicFile::removeStaleTemporaries(dir.filePath(u"defaults.json"_qs));
    QStringList expected = others;
    expected << u"dotfiles"_qs << u"home"_qs;
    expected.sort();
    QCOMPARE(entries(dir.path()), expected);

    AtomicFile::removeStaleTemporaries(dir.filePath(u"home/defaults.json"_qs));
    QCOMPARE(entries(dir.filePath(u"home"_qs)), QStringList{u"defaults.json"_qs});
    QCOMPARE(entries(dir.filePath(u"dotfiles"_qs)), QStringList{u"defaults.json"_qs});
}

void TestAtomicFile::invalidUtf8BecomesReplacementCharacters_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("valid text is kept byte for byte") << QByteArray("{\"a\":\"专注\"}") << QByteArray("{\"a\":\"专注\"}");
    QTest::newRow("a stray byte") << QByteArray("[\"a\xff" "b\"]") << QByteArray("[\"a\xef\xbf\xbd" "b\"]");
    QTest::newRow("a character cut short")
        << QByteArray("[\"\xe4\xb8\"]") << QByteArray("[\"\xef\xbf\xbd\xef\xbf\xbd\"]");
    QTest::newRow("an encoded surrogate") << QByteArray("[\"\xed\xa0\x80\"]")
                                          << QByteArray("[\"\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\"]");
}

void TestAtomicFile::invalidUtf8BecomesReplacementCharacters()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, expected);
    QCOMPARE(AtomicFile::validUtf8(bytes), expected);
}

QTEST_GUILESS_MAIN(TestAtomicFile)
#include "tst_atomicfile.moc"
