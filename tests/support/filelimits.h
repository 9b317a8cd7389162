#pragma once

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

// Failures a test provokes through the process's limits, which hold for root too (unlike a
// read-only folder, which root writes into).

/// Runs f with the file-size limit set to `bytes`, so that a write fails part-way as on a full
/// disk.
template<typename F> auto withFileSizeLimit(rlim_t bytes, F f)
{
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &small);
    auto result = f();
    setrlimit(RLIMIT_FSIZE, &saved);
    return result;
}

/// Runs f with no file descriptor to spare, so that no file can be opened or created: the files
/// open now stay usable.
template<typename F> auto withNoFileToOpen(F f)
{
    // The lowest free descriptor becomes the limit.
    const int lowestFree = ::fcntl(0, F_DUPFD, 0);
    ::close(lowestFree);
    rlimit saved{};
    getrlimit(RLIMIT_NOFILE, &saved);
    rlimit none = saved;
    none.rlim_cur = rlim_t(lowestFree);
    setrlimit(RLIMIT_NOFILE, &none);
    auto result = f();
    setrlimit(RLIMIT_NOFILE, &saved);
    return result;
}
