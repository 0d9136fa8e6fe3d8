#include "viewsetup.h"

#include <QProcessEnvironment>
#include <QQuickWindow>
#include <QTest>

// The program's scene graph: software unless the environment names a scene graph or a graphics API for it.
class TestSceneGraphChoice : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void softwareUnlessNamed_data()
    {
        QTest::addColumn<QStringList>("variables"); // NAME=value
        QTest::addColumn<bool>("software");
        QTest::newRow("nothing named") << QStringList{u"DISPLAY=:0"_qs} << true;
        QTest::newRow("named but empty") << QStringList{u"QT_QUICK_BACKEND="_qs, u"QSG_RHI_BACKEND="_qs} << true;
        QTest::newRow("QT_QUICK_BACKEND=rhi") << QStringList{u"QT_QUICK_BACKEND=rhi"_qs} << false;
        QTest::newRow("QT_QUICK_BACKEND=software") << QStringList{u"QT_QUICK_BACKEND=software"_qs} << false;
        QTest::newRow("the older QMLSCENE_DEVICE") << QStringList{u"QMLSCENE_DEVICE=rhi"_qs} << false;
        QTest::newRow("a graphics API") << QStringList{u"QSG_RHI_BACKEND=vulkan"_qs} << false;
    }
    void softwareUnlessNamed()
    {
        QFETCH(QStringList, variables);
        QFETCH(bool, software);
        QProcessEnvironment env;
        for (const QString &variable : variables)
            env.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
        QCOMPARE(ViewSetup::softwareSceneGraphChosen(env), software);
    }

    // Applied before the first window, the choice is what windows get.
    void appliedBeforeTheFirstWindow()
    {
        ViewSetup::chooseSceneGraph(QProcessEnvironment());
        QCOMPARE(QQuickWindow::sceneGraphBackend(), u"software"_qs);
        QQuickWindow window;
        window.resize(40, 30);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(window.rendererInterface());
        QCOMPARE(window.rendererInterface()->graphicsApi(), QSGRendererInterface::Software);
    }
};

QTEST_MAIN(TestSceneGraphChoice)
#include "tst_scenegraphchoice.moc"
