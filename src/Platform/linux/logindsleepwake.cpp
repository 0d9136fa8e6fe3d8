#include "linux/logindsleepwake.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {

constexpr QStringView login1Service = u"org.freedesktop.login1";
constexpr QStringView login1Path = u"/org/freedesktop/login1";
constexpr QStringView managerInterface = u"org.freedesktop.login1.Manager";

} // namespace

LogindSleepWake::LogindSleepWake(const Clock &clock, TimerService &timers, QDBusConnection systemBus,
                                 ClockReader readClocks, QObject *parent)
    : SleepWake(parent)
    , m_clock(clock)
    , m_timers(timers)
    , m_bus(std::move(systemBus))
    , m_readClocks(std::move(readClocks))
{
    if (!m_readClocks)
        m_readClocks = [this] { return SuspendDetector::readClocks(m_clock.now()); };
    startDetector();
    if (!m_bus.isConnected())
        return;
    m_bus.connect(login1Service.toString(), login1Path.toString(), managerInterface.toString(),
                  QStringLiteral("PrepareForSleep"), this, SLOT(prepareForSleep(bool)));
    // The first inhibitor also tells whether logind is there; until it answers, the detector stands in.
    takeInhibitor();
}

void LogindSleepWake::startDetector()
{
    (void)m_detector.observe(m_readClocks());
    m_tick = m_timers.startRepeating(tickInterval, [this] { tick(); });
}

void LogindSleepWake::tick()
{
    if (const auto suspend = m_detector.observe(m_readClocks())) {
        Q_EMIT willSleep(suspend->sleptAt);
        Q_EMIT didWake(suspend->wokeAt);
    }
}

void LogindSleepWake::takeInhibitor()
{
    if (m_inhibiting || m_inhibitor.isValid())
        return;
    m_inhibiting = true;
    auto call = QDBusMessage::createMethodCall(login1Service.toString(), login1Path.toString(),
                                               managerInterface.toString(), QStringLiteral("Inhibit"));
    call << u"sleep"_qs << u"Tarnwick"_qs << u"记下入睡时间，以便醒来后补做错过的定时退出"_qs << u"delay"_qs;
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
        watcher->deleteLater();
        m_inhibiting = false;
        const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *watcher;
        if (reply.isError()) {
            const QString error = reply.error().name();
            // A logind that refuses the inhibitor still sends PrepareForSleep; only a missing one leaves the
            // detector in charge.
            const bool absent = error == u"org.freedesktop.DBus.Error.ServiceUnknown"
                                || error == u"org.freedesktop.DBus.Error.NameHasNoOwner"
                                || error == u"org.freedesktop.DBus.Error.NoReply"
                                || error == u"org.freedesktop.DBus.Error.Disconnected"
                                || error == u"org.freedesktop.DBus.Error.UnknownObject"
                                || error == u"org.freedesktop.DBus.Error.UnknownMethod";
            if (!absent && m_mode == Mode::detecting) {
                m_mode = Mode::logind;
                m_tick.cancel();
            }
            return;
        }
        // An inhibitor that arrives once the machine is on its way to sleep would hold it off until logind's
        // delay runs out: it is let go at once (with the reply), and a new one is taken on wake.
        if (!m_asleep)
            m_inhibitor = reply.value();
        if (m_mode == Mode::detecting) {
            m_mode = Mode::logind;
            m_tick.cancel();
        }
    });
}

void LogindSleepWake::prepareForSleep(bool sleeping)
{
    if (m_mode != Mode::logind) {
        // logind spoke before its inhibitor was answered: it is there.
        m_mode = Mode::logind;
        m_tick.cancel();
    }
    m_asleep = sleeping;
    if (sleeping) {
        Q_EMIT willSleep(m_clock.now());
        // Handled: let the machine go.
        m_inhibitor = QDBusUnixFileDescriptor();
        return;
    }
    Q_EMIT didWake(m_clock.now());
    takeInhibitor();
}
