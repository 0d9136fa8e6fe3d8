#include "wheelnotches.h"

int WheelNotches::add(int delta, MonotonicInstant now)
{
    if (m_last && now - *m_last > idleReset)
        m_remainder = 0;
    m_last = now;
    if ((m_remainder > 0 && delta < 0) || (m_remainder < 0 && delta > 0))
        m_remainder = 0;
    const qint64 sum = qint64(m_remainder) + delta;
    const qint64 notches = sum / unitsPerNotch; // truncates towards zero, so the remainder keeps the sign
    m_remainder = int(sum - notches * unitsPerNotch);
    return int(notches);
}
