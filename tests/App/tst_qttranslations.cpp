#include "qttranslations.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>

// Qt's own catalogues, from Qt's translations folder (scripts/setup installs them), give Qt's dialogs their
// Chinese buttons. The case without catalogues runs first, before any is installed.
class TestQtTranslations : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void qtsDialogButtonsSpeakChinese_data()
    {
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("chinese");
        QTest::newRow("the save panel's button") << u"Save"_qs << u"保存"_qs;
        QTest::newRow("the open panel's button") << u"Open"_qs << u"打开"_qs;
        QTest::newRow("cancel") << u"Cancel"_qs << u"取消"_qs;
    }
    void qtsDialogButtonsSpeakChinese()
    {
        QFETCH(QString, english);
        QFETCH(QString, chinese);
        static const QStringList installed = QtTranslations::install(*QCoreApplication::instance());
        QCOMPARE(installed, (QStringList{u"qtbase"_qs, u"qtdeclarative"_qs}));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", english.toUtf8().constData()), chinese);
    }
};

// A folder without Qt's catalogues installs nothing and breaks nothing.
class TestQtTranslationsMissing : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void nothingToLoad()
    {
        QTemporaryDir empty;
        QVERIFY(empty.isValid());
        QCOMPARE(QtTranslations::install(*QCoreApplication::instance(), empty.path()), QStringList());
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Save"), u"Save"_qs);
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    TestQtTranslationsMissing missing;
    int failures = QTest::qExec(&missing, argc, argv);
    TestQtTranslations loaded;
    failures += QTest::qExec(&loaded, argc, argv);
    return failures;
}

#include "tst_qttranslations.moc"
