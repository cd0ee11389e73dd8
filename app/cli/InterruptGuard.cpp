#include "InterruptGuard.h"

#include <csignal>

namespace pavrin::cli {

namespace {

std::atomic<bool>* gStop = nullptr;

extern "C" void onInterrupt(int) {
    if (gStop)
        gStop->store(true);
}

} // namespace

InterruptGuard::InterruptGuard(std::atomic<bool>& stop) {
    gStop = &stop;
    previous_ = std::signal(SIGINT, onInterrupt);
}

InterruptGuard::~InterruptGuard() {
    std::signal(SIGINT, previous_ == SIG_ERR ? SIG_DFL : previous_);
    gStop = nullptr;
}

} // namespace pavrin::cli
