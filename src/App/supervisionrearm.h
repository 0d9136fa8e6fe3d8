#pragma once

class AppState;

// The calls a writer of supervision data owes once it has saved: rule writers re-arm the launch guards, plan writers
// the quit scheduler, and the rules import also refreshes the status footer. Main thread. The panels and the import
// hold one by reference; the real one forwards to the state object's services, tests hand in a recording fake.
class SupervisionRearm
{
public:
    virtual ~SupervisionRearm() = default;
    virtual void refreshEmbeddedGuard() = 0;     // EmbeddedAppGuard::refresh()
    virtual void sweepRunningBlocked() = 0;      // ExternalLaunchGuard::sweepRunningBlocked()
    virtual void scheduleNextWindowSweep() = 0;  // ExternalLaunchGuard::scheduleNextWindowSweep()
    virtual void rescheduleQuitPlans() = 0;      // QuitPlanScheduler::reschedule()
    virtual void refreshSupervisionStatus() = 0; // AppState::refreshSupervisionStatus()

    // The three launch-guard calls in their order, for writers of rules.
    void rearmGuards()
    {
        refreshEmbeddedGuard();
        sweepRunningBlocked();
        scheduleNextWindowSweep();
    }
};

// The program's side: forwards each call to the state object, which outlives it.
class AppStateSupervisionRearm final : public SupervisionRearm
{
public:
    explicit AppStateSupervisionRearm(AppState &state)
        : m_state(state)
    {
    }
    void refreshEmbeddedGuard() override;
    void sweepRunningBlocked() override;
    void scheduleNextWindowSweep() override;
    void rescheduleQuitPlans() override;
    void refreshSupervisionStatus() override;

private:
    AppState &m_state;
};
