#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM and SIGINT as a notice on the main loop: the handlers only write the signal's number to a pipe, whose
// read end the main loop watches. Ordinary handlers (not a signalfd), because a signalfd needs the signals blocked,
// and a blocked mask would pass to every app the program starts. One per process; main.cpp makes it first.
class TerminationSignals : public QObject
{
    Q_OBJECT
public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

    // False when the pipe or a handler could not be set up (the signals then keep their default action).
    [[nodiscard]] bool isInstalled() const { return m_installed; }

Q_SIGNALS:
    void received(int signal);

private:
    void readPipe();

    QSocketNotifier *m_notifier = nullptr;
    bool m_installed = false;
};
