#pragma once

#include <QString>

#include <functional>

// Whether the program may post notifications; the numbers are the platform's. Callers compare with notDetermined
// and denied only.
enum class NotificationAuthorization { notDetermined = 0, denied = 1, authorized = 2, provisional = 3, ephemeral = 4 };

// User notifications: immediate, with the default sound. Answers arrive later, on the main thread.
class Notifications
{
public:
    using StatusCallback = std::function<void(NotificationAuthorization)>;
    enum Option { alert = 4, sound = 2 };

    virtual ~Notifications() = default;
    virtual void authorizationStatus(StatusCallback done) = 0;
    // Asks for permission with the given options (a sum of Option); `done` runs once the answer is in.
    virtual void requestAuthorization(int options, std::function<void()> done) = 0;
    // Posts at once; a refused or failed post goes unnoticed.
    virtual void post(const QString &identifier, const QString &title, const QString &body) = 0;
};
