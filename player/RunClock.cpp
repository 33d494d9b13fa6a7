// The computing-time clock of script runs.
#include "player/RunClock.h"

namespace player {

void RunClock::BeginRun() {
    runs_.push_back({Clock::now(), {}});
}

void RunClock::EndRun() {
    if (!runs_.empty())
        runs_.pop_back();
}

RunClock::Clock::duration RunClock::Computing() const {
    if (runs_.empty())
        return {};
    const Run& run = runs_.back();
    return Clock::now() - run.started - run.waited;
}

RunClock::Wait::Wait(RunClock& clock)
    : clock_(clock), run_(clock.runs_.size()), started_(Clock::now()) {}

RunClock::Wait::~Wait() {
    // Runs nested inside the box have ended by now, so index run_ is again
    // the run that opened it.
    if (run_ > 0 && run_ <= clock_.runs_.size())
        clock_.runs_[run_ - 1].waited += Clock::now() - started_;
}

} // namespace player
