#pragma once

#include "sleepwake.h"

// Sleep and wake on the test's command.
class FakeSleepWake : public SleepWake
{
    Q_OBJECT
public:
    using SleepWake::SleepWake;
    void sendWillSleep(Instant at) { Q_EMIT willSleep(at); }
    void sendDidWake(Instant at) { Q_EMIT didWake(at); }
};
