#pragma once

#include <QObject>
#include <QtQml/qqmlregistration.h>

class AppDelegate;
class AppState;

// What the stand-in launcher window shows until the launcher window is built: the number of installed apps once the
// first scan is done, and the quit confirmation while the state asks for it. Main thread; made by main.cpp.
class StandInWindowModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made in C++ and handed to the window")
    Q_PROPERTY(bool scanDone READ scanDone NOTIFY changed)
    Q_PROPERTY(int appCount READ appCount NOTIFY changed)
    Q_PROPERTY(bool showQuitConfirm READ showQuitConfirm NOTIFY changed)
public:
    StandInWindowModel(AppState &state, AppDelegate &delegate, QObject *parent = nullptr);

    [[nodiscard]] bool scanDone() const;
    [[nodiscard]] int appCount() const;
    [[nodiscard]] bool showQuitConfirm() const;

    // Ctrl+Q: a quit request through the delegate.
    Q_INVOKABLE void requestQuit();
    // The card's choices; Return, Escape and a click beside the card keep the program running.
    Q_INVOKABLE void approveQuit();
    Q_INVOKABLE void cancelQuit();

Q_SIGNALS:
    void changed();

private:
    AppState &m_state;
    AppDelegate &m_delegate;
};
