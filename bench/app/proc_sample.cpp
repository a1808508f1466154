// What one process costs over a stretch of real time: its CPU (user and
// system, all threads, those that ended included) and its wake-ups, counted
// as voluntary context switches summed over its threads.
//
//   proc_sample [-v] PID SECONDS
//
// prints one line (with -v, first one line a thread on standard error: its
// name and its wake-ups a second, to tell which thread wakes):
//
//   seconds=S cpu=PERCENT wakeups=PER_SECOND involuntary=PER_SECOND threads=N
//
// The CPU is the process's CPU-time clock (clock_getcpuclockid): user plus
// system time of all its threads, ended ones included, in nanoseconds (the
// clock ticks of /proc/PID/stat are too coarse for a window that sleeps a
// whole second). The kernel keeps context switches only per thread: a thread's count is gone with
// it. So the threads are read every 50 ms, and each thread counts from its figure at the start (or
// from zero when it was born later) to the last figure read; only what a thread did after its last
// reading before it ended is lost. Exits 1 when the process is gone before the end.

#include <sys/types.h>
#include <time.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <thread>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Switches {
    long long voluntary = 0;
    long long involuntary = 0;
};

bool ReadSwitches(const fs::path& status, Switches& out) {
    std::ifstream in(status);
    if (!in) return false;
    std::string line;
    bool seen = false;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string key;
        long long value = 0;
        fields >> key >> value;
        if (key == "voluntary_ctxt_switches:") {
            out.voluntary = value;
            seen = true;
        } else if (key == "nonvoluntary_ctxt_switches:") {
            out.involuntary = value;
        }
    }
    return seen;
}

// User plus system time of the whole process so far, in seconds.
bool ReadCpu(clockid_t clock, double& seconds) {
    timespec now{};
    if (clock_gettime(clock, &now) != 0) return false;
    seconds = static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
    return true;
}

struct Thread {
    Switches base;
    Switches last;
    std::string name;
};

// Reads every thread of the process now; false when the process is gone.
bool Sample(const std::string& pid, std::map<std::string, Thread>& threads, bool first) {
    std::error_code error;
    fs::directory_iterator tasks("/proc/" + pid + "/task", error);
    if (error) return false;
    for (const auto& task : tasks) {
        Switches now;
        if (!ReadSwitches(task.path() / "status", now)) continue;  // ended meanwhile
        const std::string tid = task.path().filename();
        auto [it, born] = threads.try_emplace(tid);
        if (born) {
            if (first) it->second.base = now;
            std::ifstream comm(task.path() / "comm");
            std::getline(comm, it->second.name);
        }
        it->second.last = now;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const bool perThread = argc > 1 && std::string(argv[1]) == "-v";
    if (perThread) {
        --argc;
        ++argv;
    }
    if (argc != 3) {
        std::cerr << "usage: proc_sample [-v] PID SECONDS\n";
        return 2;
    }
    const std::string pid = argv[1];
    const double seconds = std::stod(argv[2]);
    std::map<std::string, Thread> threads;

    clockid_t clock{};
    double cpu0 = 0, cpu1 = 0;
    if (clock_getcpuclockid(static_cast<pid_t>(std::stol(pid)), &clock) != 0) {
        std::cerr << "proc_sample: no CPU clock for process " << pid << '\n';
        return 1;
    }
    const Clock::time_point start = Clock::now();
    if (!ReadCpu(clock, cpu0) || !Sample(pid, threads, true)) {
        std::cerr << "proc_sample: no process " << pid << '\n';
        return 1;
    }
    const Clock::time_point end =
        start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    for (Clock::time_point next = start + std::chrono::milliseconds(50); next < end;
         next += std::chrono::milliseconds(50)) {
        std::this_thread::sleep_until(next);
        if (!Sample(pid, threads, false)) {
            std::cerr << "proc_sample: process " << pid << " ended early\n";
            return 1;
        }
    }
    std::this_thread::sleep_until(end);
    if (!Sample(pid, threads, false) || !ReadCpu(clock, cpu1)) {
        std::cerr << "proc_sample: process " << pid << " ended early\n";
        return 1;
    }
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();

    long long voluntary = 0, involuntary = 0;
    for (const auto& [tid, thread] : threads) {
        voluntary += thread.last.voluntary - thread.base.voluntary;
        involuntary += thread.last.involuntary - thread.base.involuntary;
        if (perThread) {
            std::fprintf(
                stderr, "  thread %s %s: %.2f wake-ups/s\n", tid.c_str(), thread.name.c_str(),
                static_cast<double>(thread.last.voluntary - thread.base.voluntary) / elapsed);
        }
    }
    std::printf("seconds=%.2f cpu=%.4f wakeups=%.2f involuntary=%.2f threads=%zu\n", elapsed,
                100.0 * (cpu1 - cpu0) / elapsed, static_cast<double>(voluntary) / elapsed,
                static_cast<double>(involuntary) / elapsed, threads.size());
    return 0;
}
