#include "viewsetup.h"

#include "appiconprovider.h"
#include "symbolimageprovider.h"

#include <QQmlEngine>

void ViewSetup::prepareEngine(QQmlEngine &engine, IconCache *icons)
{
    // The static modules live in the resources; without this path one of our QML files importing another module of
    // ours fails with "is not a type".
    engine.addImportPath(QStringLiteral("qrc:/"));
    engine.addImageProvider(QStringLiteral("symbol"), new SymbolImageProvider);
    if (icons)
        engine.addImageProvider(QStringLiteral("appicon"), new AppIconProvider(*icons));
}
