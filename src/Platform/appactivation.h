#pragma once

#include <QObject>

// The program's own activity on the desktop: whether it is the active application, the notices when it becomes
// active or stops being so (a hide counts as stopping), and the two things it asks of the desktop for itself:
// to come to the front, or to get out of the way. Main thread; owned by main.cpp (or a test).
class AppActivation : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    [[nodiscard]] virtual bool isActive() const = 0;
    // Shows the main window un-minimised, raises it and asks for the keyboard focus, ahead of other applications.
    virtual void activate() = 0;
    // The program hides itself: the main window is minimised; floating panels stay where they are.
    virtual void hide() = 0;

Q_SIGNALS:
    void becameActive();
    void resignedActive();
};
