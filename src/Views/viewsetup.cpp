#include "viewsetup.h"

#include "appiconprovider.h"
#include "symbolimageprovider.h"

#include <QProcessEnvironment>
#include <QQmlEngine>
#include <QQuickWindow>

void ViewSetup::prepareEngine(QQmlEngine &engine, IconCache *icons)
{
    // The static modules live in the resources; without this path one of our QML files importing another module of
    // ours fails with "is not a type".
    engine.addImportPath(QStringLiteral("qrc:/"));
    engine.addImageProvider(QStringLiteral("symbol"), new SymbolImageProvider);
    if (icons)
        engine.addImageProvider(QStringLiteral("appicon"), new AppIconProvider(*icons));
}

bool ViewSetup::softwareSceneGraphChosen(const QProcessEnvironment &env)
{
    for (const char *name : {"QT_QUICK_BACKEND", "QMLSCENE_DEVICE", "QSG_RHI_BACKEND"}) {
        if (!env.value(QString::fromLatin1(name)).isEmpty())
            return false;
    }
    return true;
}

void ViewSetup::chooseSceneGraph(const QProcessEnvironment &env)
{
    if (softwareSceneGraphChosen(env))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}
