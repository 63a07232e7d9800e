// Running the real program from a test: start it in a given folder with extra environment, with
// its standard output and error captured to files; wait for it with a deadline, after which it is
// killed with SIGKILL (SDL turns SIGTERM into a quit request, which only turns the page).
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

#include "scratch.h"

struct Child {
  pid_t pid = -1;
  std::string out_path; // captured standard output
  std::string err_path; // captured standard error
};

// Starts `program` (a path, or a name looked up in PATH) with `args` in `dir`; `env` entries
// ("NAME=value", or "NAME=" to unset NAME) change the test's own environment for the child only.
Child start_program(const std::string &program, const std::vector<std::string> &args,
                    const std::string &dir, const std::vector<std::string> &env);

// Exit status once the child has ended (128 + n, as a shell reports it, if it died of signal n),
// -1 if it was still running after `seconds` (it is then killed), -2 if it cannot be waited for.
int wait_program(Child *child, double seconds);

bool still_running(const Child &child);
void kill_program(Child *child);

// Voluntary context switches of all the threads of process `pid` so far (each is a wake-up from
// sleep), and in *threads how many threads it has.
long voluntary_switches(pid_t pid, int *threads);
