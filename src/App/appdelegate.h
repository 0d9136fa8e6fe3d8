#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class AppState;

// Answers quit requests. While the launcher window is on screen it knows the state object, and a quit request is
// held open (terminate later) while the state asks the user; without it, a quit ends the program at once. The
// state's approveQuit() and cancelQuit() answer through replyToTermination(). Main thread; owned by TarnwickApp.
class AppDelegate : public QObject
{
    Q_OBJECT
public:
    enum class TerminateReply { now, later };

    // Ends the program; main.cpp passes the application's exit.
    explicit AppDelegate(std::function<void()> terminate, QObject *parent = nullptr);

    // Present exactly while the launcher window's content is on screen.
    QPointer<AppState> state;

    [[nodiscard]] TerminateReply applicationShouldTerminate();
    // A quit request of any origin (Ctrl+Q, the session ending): asks, or ends at once.
    Q_INVOKABLE void requestQuit();
    // The answer to a request held open; without one, nothing happens.
    void replyToTermination(bool approve);
    [[nodiscard]] bool isTerminationPending() const { return m_pending; }

private:
    std::function<void()> m_terminate;
    bool m_pending = false;
};
