#pragma once

class IconCache;
class QProcessEnvironment;
class QQmlEngine;

// What every engine that shows our views needs: the import path of the static QML modules and the image providers.
// Called by whoever makes an engine (main.cpp, the view tests), on the main thread, before anything loads.
namespace ViewSetup {

// `icons` backs image://appicon; without it that provider is not installed. It must outlive the engine.
void prepareEngine(QQmlEngine &engine, IconCache *icons);

// The program draws its windows with Qt Quick's software scene graph: on the same processor time with or without a
// graphics card, a second's tick of the timer panel costs a fraction of what OpenGL through Mesa's software
// rasteriser costs, and the launcher window's frames stay within their goals. A scene graph or graphics API that the
// environment names (QT_QUICK_BACKEND, QMLSCENE_DEVICE, QSG_RHI_BACKEND) is left to Qt.
[[nodiscard]] bool softwareSceneGraphChosen(const QProcessEnvironment &env);
// Applies that choice; call it before the first window is made.
void chooseSceneGraph(const QProcessEnvironment &env);

} // namespace ViewSetup
