#pragma once

#include "instant.h"

#include <QObject>

// Will-sleep and did-wake events of the machine, on the main thread. Each carries the instant it stands for: the
// moment the machine went to sleep (as near as the source can tell) and the moment it woke.
class SleepWake : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

Q_SIGNALS:
    void willSleep(Instant at);
    void didWake(Instant at);
};
