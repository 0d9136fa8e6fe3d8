#pragma once

#include "notifications.h"

#include <QList>

#include <optional>

// Notifications recorded instead of shown. Answers to status and permission questions come at once unless
// setDeferAnswers(true), in which case answerAll() delivers them.
class FakeNotifications : public Notifications
{
public:
    struct Post
    {
        QString identifier;
        QString title;
        QString body;
    };

    void setStatus(NotificationAuthorization s) { m_status = s; }
    // What the status becomes once permission is asked for.
    void setStatusAfterRequest(NotificationAuthorization s) { m_afterRequest = s; }
    void setDeferAnswers(bool defer) { m_defer = defer; }
    void answerAll();

    void authorizationStatus(StatusCallback done) override;
    void requestAuthorization(int options, std::function<void()> done) override;
    void post(const QString &identifier, const QString &title, const QString &body) override;

    [[nodiscard]] const QList<Post> &posts() const { return m_posts; }
    [[nodiscard]] QList<int> requestedOptions() const { return m_requested; }
    void clearPosts() { m_posts.clear(); }

private:
    NotificationAuthorization m_status = NotificationAuthorization::authorized;
    std::optional<NotificationAuthorization> m_afterRequest;
    bool m_defer = false;
    QList<std::function<void()>> m_pending;
    QList<Post> m_posts;
    QList<int> m_requested;
};
