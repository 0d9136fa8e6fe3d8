#pragma once

class IconCache;
class QQmlEngine;

// What every engine that shows our views needs: the import path of the static QML modules and the image providers.
// Called by whoever makes an engine (main.cpp, the view tests), on the main thread, before anything loads.
namespace ViewSetup {

// `icons` backs image://appicon; without it that provider is not installed. It must outlive the engine.
void prepareEngine(QQmlEngine &engine, IconCache *icons);

} // namespace ViewSetup
