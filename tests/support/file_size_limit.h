// Runs a step while no file may grow past a number of bytes, as on a full disk: writes
// past the limit fail (no signal is raised) and the limit is lifted afterwards.
#pragma once
#if defined(__linux__)
#include <sys/resource.h>

#include <csignal>

template <typename Step>
bool WithFileSizeLimit(rlim_t bytes, Step step) {
    rlimit saved{};
    if (getrlimit(RLIMIT_FSIZE, &saved) != 0) return false;
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = bytes;
    const bool limited = setrlimit(RLIMIT_FSIZE, &small) == 0;
    if (limited) step();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    return limited;
}
#endif
