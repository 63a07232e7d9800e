// The viewer under bad conditions, run as a real process in a fresh working folder: whatever goes
// wrong, one clear line on stderr, exit status 1, and never a hang or a crash.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "process.h"

namespace {

constexpr double DEADLINE_S = 10.0;

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

void copy_font(const std::string &dir, long limit = -1) {
  std::ifstream in(std::string(TRIANGLES_DIR) + "/times.ttf", std::ios::binary);
  std::ofstream out(dir + "/times.ttf", std::ios::binary);
  char ch = 0;
  for (long n = 0; (limit < 0 || n < limit) && in.get(ch); ++n) {
    out.put(ch);
  }
}

// No display unless a test gives one: the invisible driver is chosen explicitly.
const std::vector<std::string> HEADLESS = {
    "DISPLAY=", "WAYLAND_DISPLAY=", "SDL_VIDEODRIVER=offscreen"};

Outcome run(const std::string &program, const std::vector<std::string> &args,
            const std::string &dir, const std::vector<std::string> &env) {
  Child child = start_program(program, args, dir, env);
  Outcome o{wait_program(&child, DEADLINE_S), "", ""};
  o.out = read_file(child.out_path);
  o.err = read_file(child.err_path);
  return o;
}

Outcome run_in(const std::string &dir, const std::vector<std::string> &env) {
  return run(TRIANGLES_EXE, {}, dir, env);
}

// Exit status 1 with the line naming `what` and `reason`, and nothing on stdout.
void expect_failure(const Outcome &o, const std::string &what, const std::string &reason) {
  EXPECT_EQ(o.status, 1) << (o.status == -1 ? "hung and was killed" : "stderr: " + o.err);
  EXPECT_NE(o.err.find("Couldn't"), std::string::npos) << o.err;
  EXPECT_NE(o.err.find(what), std::string::npos) << o.err;
  EXPECT_NE(o.err.find(reason), std::string::npos) << o.err;
  EXPECT_EQ(o.out, "");
}

} // namespace

TEST(BadFont, MissingEmptyGarbageCutShortOrADirectory) {
  {
    SCOPED_TRACE("missing");
    expect_failure(run_in(make_temp_dir(), HEADLESS), "times.ttf", std::strerror(ENOENT));
  }
  {
    SCOPED_TRACE("empty");
    const std::string dir = make_temp_dir();
    std::ofstream(dir + "/times.ttf").close();
    expect_failure(run_in(dir, HEADLESS), "times.ttf", "empty");
  }
  {
    SCOPED_TRACE("random bytes");
    const std::string dir = make_temp_dir();
    std::mt19937 bytes(40);
    std::ofstream out(dir + "/times.ttf", std::ios::binary);
    for (int i = 0; i < 20000; ++i) {
      out.put(static_cast<char>(bytes()));
    }
    out.close();
    expect_failure(run_in(dir, HEADLESS), "times.ttf", "not a usable TrueType font");
  }
  {
    SCOPED_TRACE("cut short after 2000 bytes");
    const std::string dir = make_temp_dir();
    copy_font(dir, 2000);
    expect_failure(run_in(dir, HEADLESS), "times.ttf", "not a usable TrueType font");
  }
  {
    SCOPED_TRACE("a directory");
    const std::string dir = make_temp_dir();
    mkdir((dir + "/times.ttf").c_str(), 0700);
    expect_failure(run_in(dir, HEADLESS), "times.ttf", "directory");
  }
}

TEST(NoDisplay, RefusesTheInvisibleFallback) {
  const std::string dir = make_temp_dir();
  copy_font(dir);
  const Outcome o = run_in(dir, {"DISPLAY=", "WAYLAND_DISPLAY=", "SDL_VIDEODRIVER="});
  expect_failure(o, "window", "no display");
}

TEST(NoDisplay, RunsAsUsualInADriverChosenByName) {
  const std::string dir = make_temp_dir();
  copy_font(dir);
  for (const char *driver : {"offscreen", "dummy"}) {
    SCOPED_TRACE(driver);
    Child child =
        start_program(TRIANGLES_EXE, {}, dir,
                      {"DISPLAY=", "WAYLAND_DISPLAY=", std::string("SDL_VIDEODRIVER=") + driver});
    // It draws the first page and waits for a key that cannot come.
    EXPECT_EQ(wait_program(&child, 1.5), -1) << read_file(child.err_path);
    EXPECT_EQ(read_file(child.err_path), "");
  }
}

TEST(EventWait, AFailingWaitEndsTheRun) {
  const std::string dir = make_temp_dir();
  copy_font(dir);
  std::vector<std::string> env = HEADLESS;
  env.push_back(std::string("LD_PRELOAD=") + FAILING_WAIT_LIB);
  expect_failure(run_in(dir, env), "wait for an event", "simulated");
}

namespace {

Outcome export_into(const std::vector<std::string> &args, const std::string &program = EXPORT_EXE) {
  return run(program, args, make_temp_dir(), {"DISPLAY="});
}

} // namespace

TEST(Export, UsageLine) {
  const Outcome none = export_into({});
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(none.err.rfind("Usage: triangles-export DIR", 0), 0U) << none.err;
  EXPECT_EQ(none.out, "");
  const Outcome help = export_into({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("Usage: triangles-export DIR", 0), 0U) << help.out;
  EXPECT_EQ(help.err, "");
}

TEST(Export, UnusableFolderOrFailedWriteReportsNoSuccess) {
  const std::string base = make_temp_dir();
  expect_failure(export_into({base + "/missing"}), base + "/missing", std::strerror(ENOENT));

  const std::string file = base + "/plain";
  std::ofstream(file).close();
  expect_failure(export_into({file}), file, "not a directory");

  // Page 3 cannot be written: pages 1 and 2 may be on disk, but no path is printed.
  const std::string blocked = make_temp_dir();
  mkdir((blocked + "/page-3.bmp").c_str(), 0700);
  expect_failure(export_into({blocked}), blocked + "/page-3.bmp", std::strerror(EISDIR));
}

TEST(Export, MissingFontIsReportedByName) {
  // A copy of the program with no font beside it or installed with it.
  const std::string alone = make_temp_dir() + "/triangles-export";
  {
    std::ifstream in(EXPORT_EXE, std::ios::binary);
    std::ofstream out(alone, std::ios::binary);
    out << in.rdbuf();
  }
  chmod(alone.c_str(), 0700);
  expect_failure(export_into({make_temp_dir()}, alone), "times.ttf", std::strerror(ENOENT));
}
