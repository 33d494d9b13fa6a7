// Measures how long each running script has been computing, leaving out the
// time it waited in modal boxes, so that a script that never ends can be
// stopped while one that waits for the player never is. Runs nest: a script
// may run inside a box that another script opened.
#pragma once

#include <chrono>
#include <cstddef>
#include <vector>

namespace player {

class RunClock {
public:
    using Clock = std::chrono::steady_clock;

    // A script run begins (pushed) and ends (popped).
    void BeginRun();
    void EndRun();
    std::size_t Depth() const { return runs_.size(); }

    // Computing time of the innermost run so far; zero outside any run.
    Clock::duration Computing() const;

    // Marks the wait in one modal box; it belongs to the run that opened it.
    class Wait {
    public:
        explicit Wait(RunClock& clock);
        ~Wait();
        Wait(const Wait&) = delete;
        Wait& operator=(const Wait&) = delete;

    private:
        RunClock& clock_;
        std::size_t run_; // 1-based index of the waiting run; 0 when none
        Clock::time_point started_;
    };

private:
    struct Run {
        Clock::time_point started;
        Clock::duration waited{};
    };
    std::vector<Run> runs_;
};

} // namespace player
