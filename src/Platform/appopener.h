#pragma once

#include <QString>
#include <QUrl>

enum class [[nodiscard]] OpenResult {
    started, // handed to the system; whether the app then comes up is not followed
    refused, // could not be started at all: no way to run it here, or its program is missing
};

// Opens apps for the user, bringing them to the front: an app at its location (a desktop entry or an .app bundle),
// or a URL with a given app. Fire-and-forget past the start. Main thread; owned by main.cpp (or a test).
class AppOpener
{
public:
    virtual ~AppOpener() = default;

    virtual OpenResult openApplication(const QString &appPath) = 0;
    virtual OpenResult openURL(const QUrl &url, const QString &appPath) = 0;
};
