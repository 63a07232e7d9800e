// Child processes for the tests, with POSIX fork/exec and a polling wait, and how often a process
// woke up.
#include "process.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "scratch.h"

namespace {

constexpr int POLL_MS = 10;
constexpr int SIGNAL_STATUS_BASE = 128; // a shell's status for death by signal n is 128 + n

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
