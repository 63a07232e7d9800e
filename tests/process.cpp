// Child processes for the tests, with POSIX fork/exec and a polling wait.
#include "process.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <ftw.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int POLL_MS = 10;
constexpr int SIGNAL_STATUS_BASE = 128; // a shell's status for death by signal n is 128 + n
constexpr int FTW_DESCRIPTORS = 16;     // folders nftw keeps open at once

void apply_env(const std::vector<std::string> &env) {
  for (const std::string &entry : env) {
    const size_t eq = entry.find('=');
    const std::string name = entry.substr(0, eq);
    const std::string value = eq == std::string::npos ? "" : entry.substr(eq + 1);
    if (value.empty()) {
      unsetenv(name.c_str());
    } else {
      setenv(name.c_str(), value.c_str(), 1);
    }
  }
}

} // namespace

namespace {

void remove_temp_root();

// Every folder a test makes lies in one folder of its process, removed when the process ends,
// also after a failed test.
const std::string &temp_root() {
  static const std::string *root = [] {
    const char *base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/triangles-test-XXXXXX";
    const char *made = mkdtemp(pattern.data());
    std::atexit(remove_temp_root);
    return new std::string(made != nullptr ? made : ""); // outlives every exit handler
  }();
  return *root;
}

void remove_temp_root() { remove_tree(temp_root()); }

} // namespace

std::string make_temp_dir() {
  std::string pattern = temp_root() + "/XXXXXX";
  char *made = temp_root().empty() ? nullptr : mkdtemp(pattern.data());
  return made != nullptr ? std::string(made) : std::string();
}

void remove_tree(const std::string &path) {
  if (!path.empty()) {
    nftw(
        path.c_str(),
        [](const char *name, const struct stat *, int, FTW *) { return remove(name); },
        FTW_DESCRIPTORS, FTW_DEPTH | FTW_PHYS);
  }
}

Child start_program(const std::string &program, const std::vector<std::string> &args,
                    const std::string &dir, const std::vector<std::string> &env) {
  Child child;
  const std::string logs = make_temp_dir();
  child.out_path = logs + "/stdout";
  child.err_path = logs + "/stderr";
  child.pid = fork();
  if (child.pid == 0) {
    const int out = open(child.out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(child.err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int in = open("/dev/null", O_RDONLY);
    if (out < 0 || err < 0 || in < 0 || chdir(dir.c_str()) != 0) {
      _exit(127);
    }
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    apply_env(env);
    std::vector<char *> argv;
    argv.push_back(const_cast<char *>(program.c_str()));
    for (const std::string &a : args) {
      argv.push_back(const_cast<char *>(a.c_str()));
    }
    argv.push_back(nullptr);
    execvp(program.c_str(), argv.data());
    _exit(127);
  }
  return child;
}

int wait_program(Child *child, double seconds) {
  const auto deadline = std::chrono::steady_clock::now() +
                        std::chrono::milliseconds(static_cast<int>(seconds * 1000));
  for (;;) {
    int status = 0;
    const pid_t done = waitpid(child->pid, &status, WNOHANG);
    if (done == child->pid) {
      child->pid = -1;
      return WIFEXITED(status) ? WEXITSTATUS(status) : SIGNAL_STATUS_BASE + WTERMSIG(status);
    }
    if (done < 0 && errno != EINTR) {
      return -2;
    }
    if (std::chrono::steady_clock::now() > deadline) {
      kill_program(child);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(POLL_MS));
  }
}

bool still_running(const Child &child) {
  if (child.pid <= 0) {
    return false;
  }
  siginfo_t info{};
  return waitid(P_PID, static_cast<id_t>(child.pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
         info.si_pid == 0;
}

void kill_program(Child *child) {
  if (child->pid > 0) {
    kill(child->pid, SIGKILL);
    int status = 0;
    waitpid(child->pid, &status, 0);
    child->pid = -1;
  }
}

std::string read_file(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string listing(const std::string &dir) {
  std::vector<std::string> names;
  if (DIR *folder = opendir(dir.c_str())) {
    while (const dirent *entry = readdir(folder)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") {
        names.push_back(name);
      }
    }
    closedir(folder);
  }
  std::sort(names.begin(), names.end());
  std::string joined;
  for (const std::string &name : names) {
    joined += (joined.empty() ? "" : " ") + name;
  }
  return joined;
}

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

long voluntary_switches(pid_t pid, int *threads) {
  long total = 0;
  *threads = 0;
  const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
  if (DIR *folder = opendir(tasks.c_str())) {
    while (const dirent *task = readdir(folder)) {
      if (task->d_name[0] == '.') {
        continue;
      }
      std::ifstream status(tasks + "/" + task->d_name + "/status");
      for (std::string line; std::getline(status, line);) {
        if (line.rfind("voluntary_ctxt_switches:", 0) == 0) {
          total += std::atol(line.c_str() + line.find(':') + 1);
          ++*threads;
        }
      }
    }
    closedir(folder);
  }
  return total;
}
