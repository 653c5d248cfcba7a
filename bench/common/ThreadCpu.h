#pragma once

#include <ctime>

// Milliseconds of CPU time the calling thread has used: unlike wall time, it leaves out the time
// the thread waited for a core on a busy machine.
inline double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}
