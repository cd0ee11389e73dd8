// Ctrl-C during a long command (a sweep, a fit): sets a stop flag that the command polls, so that it
// ends cleanly with what it has instead of being killed mid-write.
#pragma once

#include <atomic>

namespace pavrin::cli {

// While it lives, SIGINT sets `stop`; the previous handler is put back after.
class InterruptGuard {
public:
    explicit InterruptGuard(std::atomic<bool>& stop);
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

private:
    void (*previous_)(int);
};

} // namespace pavrin::cli
