#pragma once

#include <QQuickWindow>
#include <QUrl>
#include <QVariantMap>

#include <memory>

class FloatingWindowSetup;
class QQmlEngine;

// Makes a floating window (the toast, the timer panel) from its QML file and sets it up as floating before it is
// ever shown. Main thread.
namespace FloatingWindowLoader {

// Null when the file does not make a window; `error` then gets the loader's message.
[[nodiscard]] std::unique_ptr<QQuickWindow> load(QQmlEngine &engine, const QUrl &url, const QVariantMap &properties,
                                                 const FloatingWindowSetup &setup, bool passClicks,
                                                 QString *error = nullptr);

} // namespace FloatingWindowLoader
