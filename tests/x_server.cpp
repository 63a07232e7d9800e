// An X server of the tests' own and what they ask of it.
#include "x_server.h"

#include <X11/Xatom.h>

#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

std::string start_xvfb(pid_t *pid, const std::vector<std::string> &extra) {
  int fds[2];
  if (pipe(fds) != 0) {
    return "";
  }
  const std::string fd = std::to_string(fds[1]);
  std::vector<std::string> words = {"Xvfb", "-displayfd",  fd,          "-screen",
                                    "0",    "1024x768x24", "-nolisten", "tcp"};
  words.insert(words.end(), extra.begin(), extra.end());
  *pid = fork();
  if (*pid == 0) {
    close(fds[0]);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    std::vector<char *> argv;
    argv.reserve(words.size() + 1);
    for (std::string &w : words) {
      argv.push_back(w.data());
    }
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  close(fds[1]);
  std::string number;
  char ch = 0;
  while (read(fds[0], &ch, 1) == 1 && ch != '\n') {
    number += ch;
  }
  close(fds[0]);
  return number.empty() ? "" : ":" + number;
}

void stop_xvfb(pid_t *pid) {
  if (*pid > 0) {
    kill(*pid, SIGKILL);
    waitpid(*pid, nullptr, 0);
    *pid = -1;
  }
}

void send_close(Display *dpy, ::Window win) {
  XEvent ev{};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = win;
  ev.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = static_cast<long>(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
  ev.xclient.data.l[1] = CurrentTime;
  XSendEvent(dpy, win, False, NoEventMask, &ev);
  XFlush(dpy);
}

pid_t window_pid(Display *dpy, ::Window win) {
  const Atom pid_atom = XInternAtom(dpy, "_NET_WM_PID", False);
  Atom type = 0;
  int format = 0;
  unsigned long items = 0;
  unsigned long after = 0;
  unsigned char *data = nullptr;
  pid_t pid = -1;
  if (XGetWindowProperty(dpy, win, pid_atom, 0, 1, False, XA_CARDINAL, &type, &format, &items,
                         &after, &data) == Success &&
      data != nullptr) {
    pid = items == 1 ? static_cast<pid_t>(*reinterpret_cast<unsigned long *>(data)) : 0;
    XFree(data);
  }
  return pid;
}
