// The viewer under bad conditions, run as a real process in a fresh working folder: whatever goes
// wrong, one clear line on stderr, exit status 1, and never a hang or a crash.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "process.h"

namespace {

constexpr double DEADLINE_S = 10.0;

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

std::string font_bytes() { return read_file(std::string(TRIANGLES_DIR) + "/times.ttf"); }

void write_font(const std::string &dir, const std::string &bytes) {
  std::ofstream(dir + "/times.ttf", std::ios::binary) << bytes;
}

void copy_font(const std::string &dir, long limit = -1) {
  const std::string bytes = font_bytes();
  write_font(dir, limit < 0 ? bytes : bytes.substr(0, static_cast<size_t>(limit)));
}

// The build's font damaged as tests/make_fonts.py describes.
std::string damaged_font(const std::string &name) {
  return read_file(std::string(TEST_FONTS_DIR) + "/" + name + ".ttf");
}

// No display unless a test gives one: a driver that shows nothing, chosen explicitly (both SDL
// 1.2 implementations have "dummy").
const std::vector<std::string> HEADLESS = {"DISPLAY=", "WAYLAND_DISPLAY=", "SDL_VIDEODRIVER=dummy"};

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

// `count` copies of `text`.
std::string repeated(const std::string &text, int count) {
  std::string all;
  for (int i = 0; i < count; ++i) {
    all += text;
  }
  return all;
}

// True when every character of the UTF-8 `text` is whole: each lead byte is followed by as many
// continuation bytes as it announces, and no continuation byte stands alone.
bool whole_characters(const std::string &text) {
  int due = 0; // continuation bytes still to come
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    const bool continuation = (byte & 0xC0) == 0x80;
    if (continuation != (due > 0)) {
      return false;
    }
    due = continuation ? due - 1 : (byte >= 0xF0) + (byte >= 0xE0) + (byte >= 0xC0);
  }
  return due == 0;
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
    SCOPED_TRACE("missing: named by its full path, with where to start the viewer instead");
    const std::string dir = make_temp_dir();
    expect_failure(run_in(dir, HEADLESS), "Couldn't load font " + dir + "/times.ttf: ",
                   std::string(std::strerror(ENOENT)) +
                       " (start triangles in the folder that holds times.ttf, such as " +
                       TRIANGLES_DIR + ", or through the installed triangles launcher)\n");
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

TEST(BadFont, OddFilesNeverBlockAndTheSystemsReasonIsGiven) {
  {
    SCOPED_TRACE("a FIFO");
    const std::string dir = make_temp_dir();
    mkfifo((dir + "/times.ttf").c_str(), 0600);
    expect_failure(run_in(dir, HEADLESS), "times.ttf", "not a regular file");
  }
  {
    SCOPED_TRACE("a device");
    const std::string dir = make_temp_dir();
    ASSERT_EQ(symlink("/dev/zero", (dir + "/times.ttf").c_str()), 0);
    expect_failure(run_in(dir, HEADLESS), "times.ttf", "not a regular file");
  }
  {
    SCOPED_TRACE("not readable by the user");
    const std::string dir = make_temp_dir();
    copy_font(dir);
    chmod((dir + "/times.ttf").c_str(), 0);
    Outcome o{};
    if (geteuid() == 0) { // root reads anything: run as nobody instead
      chmod(dir.c_str(), 0755);
      o = run("setpriv", {"--reuid=nobody", "--regid=nogroup", "--clear-groups", TRIANGLES_EXE},
              dir, HEADLESS);
    } else {
      o = run_in(dir, HEADLESS);
    }
    expect_failure(o, "times.ttf", std::strerror(EACCES));
  }
  {
    SCOPED_TRACE("out of file descriptors");
    const std::string dir = make_temp_dir();
    copy_font(dir);
    // The lowest limit at which the viewer gets as far as opening the font.
    bool reached = false;
    for (int limit = 4; limit <= 16 && !reached; ++limit) {
      const Outcome o =
          run("prlimit", {"--nofile=" + std::to_string(limit), TRIANGLES_EXE}, dir, HEADLESS);
      if (o.err.find("times.ttf") != std::string::npos) {
        reached = true;
        expect_failure(o, "times.ttf", std::strerror(EMFILE));
      }
    }
    EXPECT_TRUE(reached);
  }
}

TEST(BadFont, DamagedOrIncompleteFontsAreRefusedByBothPrograms) {
  {
    SCOPED_TRACE("one byte changed in the metrics of the digit 4");
    const std::string dir = make_temp_dir();
    write_font(dir, damaged_font("four-far-left"));
    expect_failure(run_in(dir, HEADLESS), "'4'", "outside");
    const std::string out = make_temp_dir();
    expect_failure(run(EXPORT_EXE, {out}, dir, {"DISPLAY="}), "'4'", "outside");
    EXPECT_EQ(listing(out), "");
  }
  {
    SCOPED_TRACE("cut in the middle of its outlines: it loads, but they are gone");
    const std::string dir = make_temp_dir();
    write_font(dir, damaged_font("outlines-cut"));
    expect_failure(run_in(dir, HEADLESS), "times.ttf", "blank");
    const std::string out = make_temp_dir();
    expect_failure(run(EXPORT_EXE, {out}, dir, {"DISPLAY="}), "times.ttf", "blank");
  }
}

TEST(NoDisplay, RefusesTheWindowlessFallback) {
  const std::string dir = make_temp_dir();
  copy_font(dir);
  // As on a server, in a container or a cron job: no display, no XDG_RUNTIME_DIR and no TERM,
  // where libwayland (SDL 2) or ncurses (under classic SDL's text art) would add a line of its own.
  const Outcome o = run_in(
      dir, {"DISPLAY=", "WAYLAND_DISPLAY=", "SDL_VIDEODRIVER=", "XDG_RUNTIME_DIR=", "TERM="});
  // (Classic SDL 1.2 falls back to text art on the terminal, whose set-up reaches stdout.)
  EXPECT_EQ(o.status, 1) << (o.status == -1 ? "hung and was killed" : o.err);
  EXPECT_EQ(o.err.rfind("Couldn't open a window: no display", 0), 0U) << o.err;
  EXPECT_EQ(o.err.find('\n'), o.err.size() - 1) << "not one line: " << o.err;
}

TEST(NoDisplay, ValuesFromTheEnvironmentStayOnOneLine) {
  const std::string dir = make_temp_dir();
  copy_font(dir);
  // A value is shown cut after 64 bytes, which here (after ":97" or "none" and the escapes) end
  // inside a three-byte character: that character is left out whole.
  const std::string odd = "\n\x1b[2J" + repeated("\u4E09", 100);
  for (const std::string &env : {"DISPLAY=:97" + odd, "SDL_VIDEODRIVER=none" + odd}) {
    SCOPED_TRACE(env.substr(0, env.find('=')));
    const Outcome o = run_in(dir, {"WAYLAND_DISPLAY=", env});
    EXPECT_EQ(o.status, 1) << o.err;
    const std::string line = o.err.substr(std::min(o.err.find("Couldn't"), o.err.size()));
    EXPECT_EQ(line.find('\n'), line.size() - 1) << "not one line: " << o.err;
    // (Classic SDL 1.2 does not repeat the name of a driver it lacks.)
    if (line.find("none") != std::string::npos || env[0] == 'D') {
      EXPECT_NE(line.find("\\n\\x1B[2J"), std::string::npos) << line;
    }
    EXPECT_LT(line.size(), 260U) << "the value was not cut: " << line;
    EXPECT_TRUE(whole_characters(line)) << "a character was cut in two: " << line;
  }
}

TEST(NoDisplay, RunsAsUsualInADriverChosenByName) {
  const std::string dir = make_temp_dir();
  copy_font(dir);
  // Classic SDL 1.2 has no "offscreen" driver; its test run names only the drivers it has.
  const char *offered = std::getenv("TEST_VIDEO_DRIVERS");
  std::istringstream drivers(offered != nullptr ? offered : "offscreen dummy");
  for (std::string driver; drivers >> driver;) {
    SCOPED_TRACE(driver);
    // Every page is drawn and awaited, each wait answered by a key, and the run ends as usual.
    const Outcome o = run_in(dir, {"DISPLAY=", "WAYLAND_DISPLAY=", "SDL_VIDEODRIVER=" + driver,
                                   std::string("LD_PRELOAD=") + ANSWER_WAITS_LIB});
    EXPECT_EQ(o.status, 0) << (o.status == -1 ? "hung and was killed" : o.err);
    EXPECT_EQ(o.err, "");
  }
}

TEST(EventWait, AFailingWaitEndsTheRun) {
  const std::string dir = make_temp_dir();
  copy_font(dir);
  std::vector<std::string> env = HEADLESS;
  env.push_back(std::string("LD_PRELOAD=") + ANSWER_WAITS_LIB);
  env.emplace_back("ANSWER_WAITS=fail");
  expect_failure(run_in(dir, env), "wait for an event", "simulated");
}

namespace {

Outcome export_into(const std::vector<std::string> &args, const std::string &program = EXPORT_EXE) {
  return run(program, args, make_temp_dir(), {"DISPLAY="});
}

} // namespace

TEST(Export, ArgumentsAndWhatIsWrongWithThem) {
  const std::string usage = "Usage: triangles-export [--format bmp|png] DIR";
  const std::string dir = make_temp_dir();
  const std::string said = "Couldn't read the arguments: ";
  const auto line = [&](const std::string &reason) { return said + reason + ". " + usage + "\n"; };
  const std::string wide = repeated("\u4E09", 400); // 1,200 bytes of three-byte characters
  const std::vector<std::pair<std::vector<std::string>, std::string>> wrong = {
      {{}, line("missing DIR")},
      {{"--format", "jpg", dir}, line("unknown format 'jpg' (bmp or png)")},
      {{"--format=gif", dir}, line("unknown format 'gif' (bmp or png)")},
      {{"--format"}, line("--format needs a value (bmp or png)")},
      {{"-x", dir}, line("unknown option '-x'")},
      {{dir, "--format", "png"}, line("unexpected argument '--format'")},
      {{dir, "x\n\x1b[2J"}, line("unexpected argument 'x\\n\\x1B[2J'")}, // one line, escaped
      // Cut at 1,020 bytes, which end inside a character: the line stops before it, and says so.
      {{dir, wide},
       said + "unexpected argument '" + wide.substr(0, std::size_t{323} * 3) + "...\n"}};
  for (const auto &[args, expected] : wrong) {
    SCOPED_TRACE(expected.substr(0, 80));
    const Outcome o = export_into(args);
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, expected);
    EXPECT_EQ(o.out, "");
  }
  const Outcome help = export_into({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind(usage + "\n", 0), 0U) << help.out;
  EXPECT_NE(help.out.find("as by mkdir -p"), std::string::npos) << help.out;
  EXPECT_EQ(help.err, "");
  EXPECT_EQ(export_into({"--version"}).out, "triangles-export " TRIANGLES_VERSION "\n");
  EXPECT_EQ(export_into({"--vers"}).out, "triangles-export " TRIANGLES_VERSION "\n"); // as getopt

  // A folder that does not exist yet is made, with its missing parents, as `mkdir -p` does.
  const std::string made = make_temp_dir() + "/new/pages";
  const Outcome fresh = run("sh", {"-c", "umask 027 && exec \"$0\" \"$@\"", EXPORT_EXE, made},
                            make_temp_dir(), {"DISPLAY="});
  EXPECT_EQ(fresh.status, 0) << fresh.err;
  EXPECT_EQ(listing(made), "page-1.bmp page-2.bmp page-3.bmp page-4.bmp");
  struct stat folder = {};
  EXPECT_EQ(stat(made.c_str(), &folder), 0);
  EXPECT_EQ(folder.st_mode & 07777, 0750U);

  // "--format=png", and "--" before a folder whose name begins with '-'.
  const std::string dashed = make_temp_dir() + "/-pages";
  mkdir(dashed.c_str(), 0700);
  const Outcome o = run(EXPORT_EXE, {"--format=png", "--", "-pages"}, dashed + "/..", {"DISPLAY="});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(listing(dashed), "page-1.png page-2.png page-3.png page-4.png");
}

TEST(Export, UnusableFolderOrFailedWriteReportsNoSuccess) {
  const std::string base = make_temp_dir();
  const std::string file = base + "/plain";
  std::ofstream(file).close();
  expect_failure(export_into({file}), file, "not a directory");
  expect_failure(export_into({file + "/pages"}), file + "/pages", std::strerror(ENOTDIR));

  // A folder no file can be made in is refused before anything is drawn, with the system's
  // reason. (Root may write anywhere, so as root it is tried as nobody, from its parent.)
  chmod(base.c_str(), 0755);
  const std::string locked = base + "/locked";
  mkdir(locked.c_str(), 0555);
  const Outcome refused =
      geteuid() == 0
          ? run("setpriv",
                {"--reuid=nobody", "--regid=nogroup", "--clear-groups", EXPORT_EXE, "locked"}, base,
                {"DISPLAY="})
          : run(EXPORT_EXE, {"locked"}, base, {"DISPLAY="});
  expect_failure(refused, "Couldn't write pages into locked: ", std::strerror(EACCES));
  EXPECT_EQ(listing(locked), "");

  // Page 3 cannot be written: pages 1 and 2 are on disk and whole, but no path is printed, and
  // nothing half-written is left behind.
  const std::string blocked = make_temp_dir();
  mkdir((blocked + "/page-3.bmp").c_str(), 0700);
  expect_failure(export_into({blocked}), blocked + "/page-3.bmp", std::strerror(EISDIR));
  EXPECT_EQ(listing(blocked), "page-1.bmp page-2.bmp page-3.bmp");
}

// The exporter's surroundings for the whole-page tests: as they are, and on a file system without
// unnamed files, where each page is written under a hidden name first.
const std::vector<std::vector<std::string>> FILE_SYSTEMS = {
    {"DISPLAY="}, {"DISPLAY=", std::string("LD_PRELOAD=") + NO_UNNAMED_FILES_LIB}};

TEST(Export, WholePagesOrNone) {
  for (const std::vector<std::string> &env : FILE_SYSTEMS) {
    SCOPED_TRACE(env.back());
    {
      SCOPED_TRACE("a FIFO where page 2 goes is replaced, never opened");
      const std::string out = make_temp_dir();
      mkfifo((out + "/page-2.bmp").c_str(), 0600);
      const Outcome o = run(EXPORT_EXE, {out}, make_temp_dir(), env);
      EXPECT_EQ(o.status, 0) << (o.status == -1 ? "hung and was killed" : o.err);
      struct stat first = {};
      struct stat second = {};
      EXPECT_EQ(stat((out + "/page-1.bmp").c_str(), &first), 0);
      EXPECT_EQ(stat((out + "/page-2.bmp").c_str(), &second), 0);
      EXPECT_TRUE(S_ISREG(second.st_mode));
      EXPECT_EQ(second.st_size, first.st_size);
      EXPECT_EQ(listing(out), "page-1.bmp page-2.bmp page-3.bmp page-4.bmp");
    }
    // A file size limit stops page 1 half-way, as a full disk would.
    for (const auto &format_limit :
         {std::make_pair("bmp", "1000000"), std::make_pair("png", "4000")}) {
      SCOPED_TRACE(format_limit.first);
      const std::string out = make_temp_dir();
      const Outcome o = run("prlimit",
                            {std::string("--fsize=") + format_limit.second, EXPORT_EXE, "--format",
                             format_limit.first, out},
                            make_temp_dir(), env);
      expect_failure(o, out + "/page-1." + format_limit.first, std::strerror(EFBIG));
      EXPECT_EQ(listing(out), "");
    }
  }
}

TEST(Export, InterruptedRunsLeaveOnlyWholePages) {
  // A signal at one moment after another through the run, SIGKILL as well where pages are
  // unnamed until whole: whatever it interrupts, no temporary file is left behind.
  const std::string font_dir = TRIANGLES_DIR;
  for (const std::vector<std::string> &env : FILE_SYSTEMS) {
    const bool unnamed = env.size() == 1;
    for (int delay_ms = 0; delay_ms <= 60; delay_ms += 3) {
      const int signal_no = delay_ms % 2 == 0 || !unnamed ? SIGTERM : SIGKILL;
      SCOPED_TRACE(env.back() + ", " + strsignal(signal_no) + " after " + std::to_string(delay_ms) +
                   " ms");
      const std::string out = make_temp_dir();
      Child exporter = start_program(EXPORT_EXE, {out}, font_dir, env);
      usleep(static_cast<useconds_t>(delay_ms) * 1000);
      kill(exporter.pid, signal_no);
      const int status = wait_program(&exporter, DEADLINE_S);
      EXPECT_TRUE(status == 0 || status == 128 + signal_no) << status;
      const std::string names = " " + listing(out);
      EXPECT_EQ(names.find(" ."), std::string::npos) << "a temporary file is left:" << names;
    }
  }
}

TEST(Export, LostStandardOutputIsAFailure) {
  // Output to a full device or a closed descriptor; and unbuffered, where each write fails at once
  // and the flush at the end, with nothing left to write, succeeds: only the stream's error says.
  for (const char *command : {"exec \"$0\" \"$@\" >/dev/full", "exec \"$0\" \"$@\" >&-",
                              "exec stdbuf -o0 \"$0\" \"$@\" >/dev/full"}) {
    for (const std::string &arg : {make_temp_dir(), std::string("--help")}) {
      SCOPED_TRACE(std::string(command) + " " + arg);
      const Outcome o = run("sh", {"-c", command, EXPORT_EXE, arg}, make_temp_dir(), {"DISPLAY="});
      EXPECT_EQ(o.status, 1) << o.err;
      EXPECT_NE(o.err.find("Couldn't write to standard output"), std::string::npos) << o.err;
    }
  }
}

TEST(Export, MissingFontIsReportedByName) {
  // A copy of the program with no font beside it or installed with it: each place is named.
  const std::string bin = make_temp_dir();
  const std::string alone = bin + "/triangles-export";
  {
    std::ifstream in(EXPORT_EXE, std::ios::binary);
    std::ofstream out(alone, std::ios::binary);
    out << in.rdbuf();
  }
  chmod(alone.c_str(), 0700);
  const std::string here = make_temp_dir();
  const Outcome o = run(alone, {make_temp_dir()}, here, {"DISPLAY="});
  expect_failure(o, here + "/times.ttf", std::strerror(ENOENT));
  EXPECT_NE(o.err.find(bin + "/times.ttf or " + bin + "/../share/triangles/times.ttf"),
            std::string::npos)
      << o.err;
}
