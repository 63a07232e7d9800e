// What a run of the viewer costs in a real window: peak memory and wall time of a whole run whose
// every wait is answered at once (by a close request as soon as the window is mapped), and the
// threads and wake-ups of a viewer left waiting. Starts its own Xvfb.
//
//   window_bench [VIEWER [RUNS]]     (VIEWER defaults to ./triangles, run beside times.ttf)
#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "process.h"
#include "x_server.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int IDLE_SECONDS = 5; // how long wake-ups are counted
constexpr int SETTLE_MS = 1000; // after the first page shows, before counting
constexpr int DEFAULT_RUNS = 10;
constexpr double KB_PER_MB = 1024.0;

pid_t start_viewer(const std::string &viewer) {
  const pid_t pid = fork();
  if (pid == 0) {
    execl(viewer.c_str(), viewer.c_str(), static_cast<char *>(nullptr));
    _exit(127);
  }
  return pid;
}

// The viewer's window if `ev` maps it, else 0.
::Window window_mapped(Display *dpy, const XEvent &ev, pid_t pid) {
  return ev.type == MapNotify && window_pid(dpy, ev.xmap.window) == pid ? ev.xmap.window : 0;
}

bool ended(pid_t pid) {
  siginfo_t info{};
  return waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
         info.si_pid == pid;
}

// Follows the viewer's windows (SDL may replace its first window while starting) until the one
// it shows is mapped, and then, unless only `wait_for_map`, answers every wait with a close
// request until the viewer ends. `win` is its window if already known; returns the one last seen.
::Window drive(Display *dpy, pid_t pid, ::Window win, bool wait_for_map) {
  while (!ended(pid)) {
    while (XPending(dpy) > 0) {
      XEvent ev;
      XNextEvent(dpy, &ev);
      if (const ::Window mapped = window_mapped(dpy, ev, pid)) {
        win = mapped;
      }
    }
    if (win != 0 && wait_for_map) {
      return win;
    }
    if (win != 0) {
      send_close(dpy, win);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return win;
}

} // namespace

int main(int argc, char *argv[]) {
  const std::string viewer = argc > 1 ? argv[1] : "./triangles";
  const int runs = argc > 2 ? std::atoi(argv[2]) : DEFAULT_RUNS;
  pid_t xvfb = -1;
  const std::string display = start_xvfb(&xvfb);
  Display *dpy = display.empty() ? nullptr : XOpenDisplay(display.c_str());
  if (dpy == nullptr) {
    std::fprintf(stderr, "Couldn't start Xvfb\n");
    return 1;
  }
  setenv("DISPLAY", display.c_str(), 1);
  // A window that has gone by the time it is asked about is no failure.
  XSetErrorHandler([](Display *, XErrorEvent *) { return 0; });
  XSelectInput(dpy, DefaultRootWindow(dpy), SubstructureNotifyMask);

  std::vector<double> walls;
  long peak_kb = 0;
  for (int run = 0; run < runs; ++run) {
    const auto start = Clock::now();
    const pid_t pid = start_viewer(viewer);
    drive(dpy, pid, 0, false);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    walls.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    peak_kb = std::max(peak_kb, usage.ru_maxrss);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      std::fprintf(stderr, "run %d of %s did not end cleanly\n", run + 1, viewer.c_str());
      return 1;
    }
  }
  std::sort(walls.begin(), walls.end());

  const pid_t idle = start_viewer(viewer);
  const ::Window win = drive(dpy, idle, 0, true);
  std::this_thread::sleep_for(std::chrono::milliseconds(SETTLE_MS));
  int threads = 0;
  const long before = voluntary_switches(idle, &threads);
  std::this_thread::sleep_for(std::chrono::seconds(IDLE_SECONDS));
  const long after = voluntary_switches(idle, &threads);
  drive(dpy, idle, win, false);
  waitpid(idle, nullptr, 0);

  std::printf("viewer: %s\n", viewer.c_str());
  std::printf("peak RSS of a whole run (largest of %d):   %.1f MB\n", runs, peak_kb / KB_PER_MB);
  std::printf("wall time of a whole run (median of %d):   %.3f s\n", runs, walls[walls.size() / 2]);
  std::printf("threads while waiting:                     %d\n", threads);
  std::printf("wake-ups while waiting (over %d s):         %.1f a second\n", IDLE_SECONDS,
              static_cast<double>(after - before) / IDLE_SECONDS);
  XCloseDisplay(dpy);
  kill(xvfb, SIGKILL);
  waitpid(xvfb, nullptr, 0);
  return 0;
}
