#include "fake/fakenotifications.h"

void FakeNotifications::answerAll()
{
    const auto pending = std::exchange(m_pending, {});
    for (const auto &answer : pending)
        answer();
}

void FakeNotifications::authorizationStatus(StatusCallback done)
{
    auto answer = [this, done] { done(m_status); };
    if (m_defer)
        m_pending.append(answer);
    else
        answer();
}

void FakeNotifications::requestAuthorization(int options, std::function<void()> done)
{
    m_requested.append(options);
    auto answer = [this, done] {
        if (m_afterRequest)
            m_status = *m_afterRequest;
        done();
    };
    if (m_defer)
        m_pending.append(answer);
    else
        answer();
}

void FakeNotifications::post(const QString &identifier, const QString &title, const QString &body)
{
    m_posts.append({identifier, title, body});
}
