// Start-up: the time from starting the program to its dialog being mapped on the X server
// named by DISPLAY (an Xvfb of scripts/bench). The map is caught as it happens, through
// the root window's substructure events, so the figure has no polling step in it. Each
// start gets a fresh XDG_RUNTIME_DIR, so the single-instance lock is always free, and is
// ended once its dialog is on screen. The first start warms the file cache and is not kept.
// Usage: lumora_bench_startup PROGRAM [--rounds N]   (one Markdown table row on stdout)

#include "BenchKit.h"
#include "TempDir.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr int kDefaultRounds = 7;
constexpr double kGoalMs = 400;
constexpr int kTimeoutMs = 20000;
constexpr const char* kDialogTitle = "Lumora Ver.2.2.3";

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;

bool IsDialog(Display* display, Window window)
{
    char* name = nullptr;
    if (XFetchName(display, window, &name) == 0 || name == nullptr)
        return false;
    const bool matches = std::string(name) == kDialogTitle;
    XFree(name);
    return matches;
}

// Waits for the dialog's window to be mapped; false after the time-out.
bool WaitForDialogMap(Display* display)
{
    const auto start = BenchClock::now();
    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    while (SecondsBetween(start, BenchClock::now()) * 1e3 < kTimeoutMs) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && IsDialog(display, event.xmap.window))
                return true;
        }
        // Woken by the next event or after a while; either way the queue is looked at again.
        static_cast<void>(poll(&connection, 1, 100));
    }
    return false;
}

// Milliseconds from spawning program to its dialog's map; nothing when it never came.
std::optional<double> TimeOneStart(Display* display, const std::string& program)
{
    const TempDir runtime;
    std::vector<std::string> variables{"XDG_RUNTIME_DIR=" + runtime.path().string(), "QT_QPA_PLATFORM=xcb"};
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string variable = *entry;
        if (!variable.starts_with("XDG_RUNTIME_DIR=") && !variable.starts_with("QT_QPA_PLATFORM="))
            variables.push_back(variable);
    }
    std::vector<char*> envp;
    for (std::string& variable : variables)
        envp.push_back(variable.data());
    envp.push_back(nullptr);
    std::vector<char*> argv{const_cast<char*>(program.c_str()), nullptr};

    // The program's own output is not part of the measurement. These calls fail only for
    // lack of memory, and then the start fails visibly.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);

    XSync(display, True);  // nothing left over from the previous start
    pid_t pid = 0;
    const auto start = BenchClock::now();
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return std::nullopt;
    const bool shown = WaitForDialogMap(display);
    const double ms = SecondsBetween(start, BenchClock::now()) * 1e3;
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);  // how it ended does not matter: it was told to
    if (!shown)
        return std::nullopt;
    return ms;
}

// The whole measurement; main reports what it throws.
int Run(int argc, char** argv)
{
    if (argc < 2 || std::string(argv[1]).starts_with("--")) {
        std::fprintf(stderr, "usage: %s PROGRAM [--rounds N]\n", argv[0]);
        return 2;
    }
    const std::string program = argv[1];
    const int rounds = IntOption(argc, argv, "rounds", kDefaultRounds);
    const DisplayPtr display(XOpenDisplay(nullptr));
    if (!display) {
        std::fprintf(stderr, "no X display: set DISPLAY\n");
        return 1;
    }
    XSelectInput(display.get(), DefaultRootWindow(display.get()), SubstructureNotifyMask);

    std::vector<double> times;
    for (int round = 0; round <= rounds; ++round) {
        const std::optional<double> ms = TimeOneStart(display.get(), program);
        if (!ms) {
            std::fprintf(stderr, "the dialog of %s did not show\n", program.c_str());
            return 1;
        }
        std::fprintf(stderr, "start %d: %.1f ms%s\n", round, *ms, round == 0 ? " (warm-up)" : "");
        if (round > 0)
            times.push_back(*ms);
    }
    const double median = Median(times);
    PrintRow(stdout, {"Start-up to the dialog on screen, Xvfb, median of " + std::to_string(rounds) + " starts",
                      Fixed(median, 0) + " ms", "-", "-", "< " + Fixed(kGoalMs, 0) + " ms",
                      median < kGoalMs ? "met" : "missed"});
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    return RunReportingErrors(argc, argv, Run);
}
