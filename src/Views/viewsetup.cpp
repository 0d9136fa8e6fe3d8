#include "viewsetup.h"

#include "symbolimageprovider.h"

#include <QQmlEngine>

void ViewSetup::prepareEngine(QQmlEngine &engine, IconCache *icons)
{
    Q_UNUSED(icons);
    // The static modules live in the resources; without this path one of our QML files importing another module of
    // ours fails with "is not a type".
    engine.addImportPath(QStringLiteral("qrc:/"));
    engine.addImageProvider(QStringLiteral("symbol"), new SymbolImageProvider);
}
