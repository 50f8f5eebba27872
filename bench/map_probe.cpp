// Starts one program on the X display and measures it:
//
//   map_probe [--settle-ms N] [--idle-s S] [--timeout-s T] -- program [args...]
//
// - start-up: from just before the program is started to the moment the X
//   server reports its top-level window mapped (MapNotify on the root
//   window, which the probe selects before starting the program, so that no
//   polling interval enters the figure);
// - start-up CPU: the CPU time all the program's threads had used by then,
//   which the load of other programs on the machine changes much less;
// - memory: the program's resident set (VmRSS) N ms after the map, once the
//   first paint is done;
// - idle CPU: the user and system time the program uses over the next S
//   seconds, as a share of those seconds (0 leaves it out).
//
// It prints one line, "startup_ms=... startup_cpu_ms=... rss_kib=...
// cpu_percent=... fine_cpu_percent=...", ends the program and exits 0; it
// exits 1 when the program ends or shows no window within the timeout.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

namespace {

double NowMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

void SleepMs(long ms) {
    timespec ts{ms / 1000, (ms % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

// The process id that the window's owner wrote into _NET_WM_PID, if any.
std::optional<long> WindowPid(Display* display, Window window) {
    static const Atom pid_atom = XInternAtom(display, "_NET_WM_PID", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    std::optional<long> pid;
    if (XGetWindowProperty(display, window, pid_atom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &remaining,
                           &data) == Success &&
        type == XA_CARDINAL && format == 32 && count == 1) {
        pid = *reinterpret_cast<long*>(data);
    }
    if (data != nullptr) XFree(data);
    return pid;
}

// A window that is destroyed between its map and our query is not ours to
// count; ignore the error instead of letting Xlib end the probe.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

// Waits for a MapNotify of a top-level window of the process `pid`. Returns
// the time it arrived, or nothing when the process ended or the time ran out.
std::optional<double> WaitForMap(Display* display, pid_t pid, double deadline_ms) {
    const int fd = ConnectionNumber(display);
    while (NowMs() < deadline_ms) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            const double arrived = NowMs();
            if (event.type != MapNotify || event.xmap.override_redirect) continue;
            const std::optional<long> owner = WindowPid(display, event.xmap.window);
            // A window without _NET_WM_PID is taken as the program's: nothing
            // else runs on the benchmark's display.
            if (!owner || *owner == pid) return arrived;
        }
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) return std::nullopt;
        pollfd wait_for{fd, POLLIN, 0};
        poll(&wait_for, 1, 50);
    }
    return std::nullopt;
}

std::optional<long> ResidentKib(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return std::nullopt;
}

// utime + stime of all the process's threads, in clock ticks.
std::optional<unsigned long long> CpuTicks(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // The command name in parentheses may hold blanks: count fields after it.
    const auto close = text.rfind(')');
    if (close == std::string::npos) return std::nullopt;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    unsigned long long utime = 0;
    unsigned long long stime = 0;
    // Field 3 (state) is the first after the name; utime and stime are 14, 15.
    for (int number = 3; number <= 15 && fields >> field; ++number) {
        if (number == 14) utime = std::stoull(field);
        if (number == 15) stime = std::stoull(field);
    }
    if (!fields) return std::nullopt;
    return utime + stime;
}

// The CPU time of all the process's threads in ms, from the scheduler's
// nanosecond counts (the first field of each thread's schedstat).
std::optional<double> ThreadsCpuMs(pid_t pid) {
    std::error_code error;
    double total_ns = 0.0;
    bool any = false;
    for (const auto& task : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
        std::ifstream schedstat(task.path() / "schedstat");
        double ns = 0.0;
        if (schedstat >> ns) {
            total_ns += ns;
            any = true;
        }
    }
    if (!any) return std::nullopt;
    return total_ns / 1e6;
}

void EndProgram(pid_t pid) {
    if (waitpid(pid, nullptr, WNOHANG) != 0) return;  // already ended and reaped
    kill(pid, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) return;
        SleepMs(20);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

int Usage() {
    std::fprintf(stderr,
                 "usage: map_probe [--settle-ms N] [--idle-s S] [--timeout-s T] -- program "
                 "[args...]\n");
    return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
    long settle_ms = 1000;
    long idle_s = 0;
    long timeout_s = 30;
    int first = 1;
    for (; first < argc; ++first) {
        const std::string_view arg = argv[first];
        if (arg == "--") {
            ++first;
            break;
        }
        if (first + 1 >= argc) return Usage();
        const long value = std::strtol(argv[first + 1], nullptr, 10);
        if (arg == "--settle-ms") {
            settle_ms = value;
        } else if (arg == "--idle-s") {
            idle_s = value;
        } else if (arg == "--timeout-s") {
            timeout_s = value;
        } else {
            return Usage();
        }
        ++first;
    }
    if (first >= argc) return Usage();

    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "map_probe: cannot open the X display\n");
        return 1;
    }
    XSetErrorHandler(IgnoreXError);
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    const double started = NowMs();
    const pid_t pid = fork();
    if (pid < 0) {
        std::perror("map_probe: fork");
        return 1;
    }
    if (pid == 0) {
        close(ConnectionNumber(display));
        execvp(argv[first], argv + first);
        std::perror("map_probe: exec");
        _exit(127);
    }

    const double deadline = started + 1000.0 * static_cast<double>(timeout_s);
    const std::optional<double> mapped = WaitForMap(display, pid, deadline);
    if (!mapped) {
        std::fprintf(stderr, "map_probe: %s showed no window\n", argv[first]);
        EndProgram(pid);
        return 1;
    }
    const std::optional<double> startup_cpu = ThreadsCpuMs(pid);
    SleepMs(settle_ms);
    const std::optional<long> rss = ResidentKib(pid);

    double cpu_percent = 0.0;
    double fine_cpu_percent = 0.0;
    if (idle_s > 0) {
        const std::optional<unsigned long long> before = CpuTicks(pid);
        const std::optional<double> fine_before = ThreadsCpuMs(pid);
        const double from = NowMs();
        SleepMs(idle_s * 1000);
        const std::optional<unsigned long long> after = CpuTicks(pid);
        const std::optional<double> fine_after = ThreadsCpuMs(pid);
        const double seconds = (NowMs() - from) / 1000.0;
        if (!before || !after || !fine_before || !fine_after) {
            std::fprintf(stderr, "map_probe: %s ended while idling\n", argv[first]);
            EndProgram(pid);
            return 1;
        }
        const auto ticks_per_second = static_cast<double>(sysconf(_SC_CLK_TCK));
        cpu_percent = 100.0 * static_cast<double>(*after - *before) / ticks_per_second / seconds;
        // The same from the nanosecond counts: the clock ticks above resolve
        // 0.1 % over 10 s; threads that end meanwhile drop out of this one.
        fine_cpu_percent = 100.0 * (*fine_after - *fine_before) / 1000.0 / seconds;
    }
    EndProgram(pid);
    XCloseDisplay(display);
    if (!rss || !startup_cpu) return 1;

    std::printf("startup_ms=%.1f startup_cpu_ms=%.1f rss_kib=%ld cpu_percent=%.2f fine_cpu_percent=%.3f\n",
                *mapped - started, *startup_cpu, *rss, cpu_percent, fine_cpu_percent);
    return 0;
}
