// The real program in a real X window (Xvfb), driven with xdotool and a close request, and read
// back pixel by pixel: four pages, each waited for, every label, apex and sampled ring in place.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <pwd.h>
#include <sstream>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "expected_run.h"
#include "png_io.h"
#include "process.h"
#include "x_server.h"

namespace {

constexpr int WIN_W = 800;
constexpr int WIN_H = 600;
constexpr unsigned long BLACK = 0x000000;
constexpr unsigned long WHITE = 0xFFFFFF;
constexpr int LABEL_BOX_H = 30;
constexpr int TITLE_BOX_W = 300;
constexpr int TITLE_BOX_H = 30;
constexpr double PAGE_TIMEOUT_S = 10.0; // for a window to appear or a program to end
constexpr double DRAW_TIMEOUT_S = 3.0;  // for a page to look right once its window is there
constexpr int SETTLE_MS = 400;          // long enough for a wrongly turned page to show
constexpr int TIDY_END_MS = 250;        // a signal in the wait ends the viewer within this

using Clock = std::chrono::steady_clock;

// VIEWER_WRAPPER, when set, is a command the viewer runs under (such as valgrind), and
// VIEWER_TIME_SCALE stretches every deadline for it.
double time_scale() {
  const char *scale = std::getenv("VIEWER_TIME_SCALE");
  return scale != nullptr ? std::atof(scale) : 1.0;
}

// WINDOWS_FOLDER, when set, is the unpacked zip of the Windows build, whose programs then run
// under wine (set up by the caller); WINDOWS_SETUP is its installer.
const char *windows_folder() { return std::getenv("WINDOWS_FOLDER"); }
std::string in_windows(const std::string &name) {
  return std::string(windows_folder()) + "/" + name;
}
constexpr const char *NOT_UNDER_WINE =
    "POSIX signals and the X connection: not in the Windows build";
std::string viewer_dir() { return windows_folder() != nullptr ? windows_folder() : TRIANGLES_DIR; }

std::vector<std::string> viewer_command() {
  if (windows_folder() != nullptr) {
    return {"wine", in_windows("triangles.exe")};
  }
  std::vector<std::string> words;
  if (const char *wrapper = std::getenv("VIEWER_WRAPPER")) {
    std::istringstream in(wrapper);
    for (std::string word; in >> word;) {
      words.push_back(word);
    }
  }
  words.emplace_back(TRIANGLES_EXE);
  return words;
}

void sleep_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

struct Image {
  std::vector<unsigned long> px; // 0xRRGGBB, row by row
  unsigned long at(int x, int y) const { return px[static_cast<size_t>(y) * WIN_W + x]; }
  bool black(int x, int y) const { return at(x, y) == BLACK; }
  bool operator==(const Image &o) const { return px == o.px; }
};

// Writes the image as a PPM file for a person to look at, and returns its path.
std::string save_image(const Image &img, const std::string &name) {
  std::string path = make_temp_dir() + "/" + name + ".ppm";
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << WIN_W << " " << WIN_H << "\n255\n";
  for (unsigned long p : img.px) {
    out.put(static_cast<char>(p >> 16)).put(static_cast<char>(p >> 8)).put(static_cast<char>(p));
  }
  return path;
}

// Reads an uncompressed 24- or 32-bit BMP of the window's size (as the exporter writes them).
bool load_bmp(const std::string &path, Image *img) {
  const std::string data = read_file(path);
  auto u32 = [&](size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(data[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(data[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(data[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(data[at + 3])) << 24;
  };
  if (data.size() < 54 || data[0] != 'B' || data[1] != 'M') {
    return false;
  }
  const std::uint32_t offset = u32(10);
  const auto width = static_cast<std::int32_t>(u32(18));
  const auto height = static_cast<std::int32_t>(u32(22));
  const int bytes = static_cast<unsigned char>(data[28]) / 8;
  if (width != WIN_W || std::abs(height) != WIN_H || (bytes != 3 && bytes != 4)) {
    return false;
  }
  const size_t stride = (static_cast<size_t>(WIN_W) * bytes + 3) / 4 * 4;
  if (data.size() < offset + stride * WIN_H) {
    return false;
  }
  img->px.assign(static_cast<size_t>(WIN_W) * WIN_H, 0);
  for (int y = 0; y < WIN_H; ++y) {
    const size_t row = offset + stride * static_cast<size_t>(height > 0 ? WIN_H - 1 - y : y);
    for (int x = 0; x < WIN_W; ++x) {
      const size_t at = row + static_cast<size_t>(x) * bytes;
      img->px[static_cast<size_t>(y) * WIN_W + x] =
          static_cast<unsigned long>(static_cast<unsigned char>(data[at + 2])) << 16 |
          static_cast<unsigned long>(static_cast<unsigned char>(data[at + 1])) << 8 |
          static_cast<unsigned char>(data[at]);
    }
  }
  return true;
}

// Shuts process `pid`'s sockets (its X connections) for writing, as a server's end that stopped
// reading leaves them: the process still reads what was sent, and its next write fails (EPIPE).
void shut_sockets_for_writing(pid_t pid) {
  const int process = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
  std::istringstream names(listing(fds));
  for (std::string name; names >> name;) {
    char target[64] = "";
    if (readlink(std::string(fds).append("/").append(name).c_str(), target, sizeof target - 1) <=
            0 ||
        std::string(target).rfind("socket:", 0) != 0) {
      continue;
    }
    const int fd = static_cast<int>(syscall(SYS_pidfd_getfd, process, std::stoi(name), 0));
    if (fd >= 0) {
      shutdown(fd, SHUT_WR);
      close(fd);
    }
  }
  close(process);
}

// When a wait of `seconds` (stretched by VIEWER_TIME_SCALE) ends.
Clock::time_point deadline_after(double seconds) {
  return Clock::now() + std::chrono::milliseconds(static_cast<int>(seconds * 1000 * time_scale()));
}

// One Xvfb server for the whole suite.
pid_t xvfb_pid = -1;
Display *dpy = nullptr;

class RealWindow : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    const std::string display = start_xvfb(&xvfb_pid);
    ASSERT_FALSE(display.empty()) << "Xvfb did not start (is it installed?)";
    setenv("DISPLAY", display.c_str(), 1);
    // Windows come and go while the viewer starts; a query about one that went is no failure.
    XSetErrorHandler([](Display *, XErrorEvent *) { return 0; });
    dpy = XOpenDisplay(display.c_str());
    ASSERT_NE(dpy, nullptr) << "cannot open " << display;
  }

  static void TearDownTestSuite() {
    if (dpy != nullptr) {
      XCloseDisplay(dpy);
      dpy = nullptr;
    }
    stop_xvfb(&xvfb_pid);
  }

  void SetUp() override {
    if (dpy == nullptr) {
      GTEST_SKIP() << "no X server";
    }
  }

  void TearDown() override { kill_program(&viewer); }

  Child viewer;
  ::Window win = 0;

  // Starts the viewer (or `command`, such as an installed launcher) in `dir` and finds its window.
  void start_viewer(std::vector<std::string> command = viewer_command(),
                    const std::string &dir = viewer_dir()) {
    const std::string program = command.front();
    command.erase(command.begin());
    viewer = start_program(program, command, dir, {});
    locate_window();
    ASSERT_NE(win, 0U) << "the viewer's window did not appear: " << read_file(viewer.err_path);
  }

  // Shows every page in turn with a key press after each, and returns what was shown.
  std::vector<Image> walk_all_pages() {
    std::vector<Image> shown;
    const char *keys[] = {"a", "b", "c", "d"};
    for (int page = 1; page <= EXPECTED_PAGES; ++page) {
      shown.push_back(expect_page(page));
      xdo(std::string("key ") + keys[page - 1]);
    }
    expect_clean_exit();
    return shown;
  }

  // The viewable top-level window of the viewer's process (SDL may replace a first window by
  // another while starting, so this is asked again whenever the window has gone); under wine, of
  // its program, whatever process wine started it in.
  void locate_window(Display *on = dpy) {
    win = 0;
    const auto deadline = deadline_after(PAGE_TIMEOUT_S);
    while (win == 0 && Clock::now() < deadline) {
      ::Window root = 0;
      ::Window parent = 0;
      ::Window *children = nullptr;
      unsigned int count = 0;
      XQueryTree(on, DefaultRootWindow(on), &root, &parent, &children, &count);
      for (unsigned int i = 0; i < count && win == 0; ++i) {
        XWindowAttributes attrs{};
        XClassHint hint{};
        const pid_t pid = window_pid(on, children[i]);
        const bool ours = windows_folder() != nullptr
                              ? pid >= 0 && XGetClassHint(on, children[i], &hint) != 0 &&
                                    std::string(hint.res_class) == "triangles.exe"
                              : pid == viewer.pid;
        XFree(hint.res_name);
        XFree(hint.res_class);
        if (ours && XGetWindowAttributes(on, children[i], &attrs) != 0 &&
            attrs.map_state == IsViewable) {
          win = children[i];
        }
      }
      if (children != nullptr) {
        XFree(children);
      }
      if (win == 0) {
        sleep_ms(20);
      }
    }
    if (on == dpy) {
      point_at_window();
    }
  }

  // Keys go to the window under the pointer; there is no window manager to give focus. (A
  // window that has just gone is no error: the next capture finds its successor.)
  void point_at_window() const {
    if (win != 0) {
      XWarpPointer(dpy, None, win, 0, 0, 0, 0, WIN_W / 2, WIN_H / 2);
      XSync(dpy, False);
    }
  }

  void xdo(const std::string &args) const {
    point_at_window();
    const std::string command = "xdotool " + args;
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }

  Image capture() {
    Image img;
    img.px.assign(static_cast<size_t>(WIN_W) * WIN_H, 0);
    XImage *x = XGetImage(dpy, win, 0, 0, WIN_W, WIN_H, AllPlanes, ZPixmap);
    if (x == nullptr) {
      locate_window(); // the first window was replaced
      return img;
    }
    for (int y = 0; y < WIN_H; ++y) {
      for (int col = 0; col < WIN_W; ++col) {
        img.px[static_cast<size_t>(y) * WIN_W + col] = XGetPixel(x, col, y) & 0xFFFFFF;
      }
    }
    XDestroyImage(x);
    return img;
  }

  void send_close() const { ::send_close(dpy, win); }

  // Waits for `page` to be on the screen, checks it fully, and returns what was shown. A page that
  // is still wrong after a few seconds ends the test at once: what follows would only wait for it.
  Image expect_page(int page) {
    const auto deadline = deadline_after(DRAW_TIMEOUT_S);
    std::vector<std::string> problems;
    Image img;
    do {
      img = capture();
      problems = page_problems(img, page);
      if (problems.empty()) {
        return img;
      }
      sleep_ms(30);
    } while (Clock::now() < deadline);
    std::string report;
    for (size_t i = 0; i < problems.size() && i < 12; ++i) {
      report += "  " + problems[i] + "\n";
    }
    ADD_FAILURE() << "page " << page << " not as expected (" << problems.size()
                  << " problems); screenshot: " << save_image(img, "page-" + std::to_string(page))
                  << "\n"
                  << report;
    throw std::runtime_error("gave up on page " + std::to_string(page));
  }

  // The page stays as it is and the viewer keeps waiting.
  void expect_still_waiting(const Image &shown, int page) {
    sleep_ms(SETTLE_MS);
    EXPECT_TRUE(still_running(viewer)) << "the viewer ended while page " << page << " was up";
    EXPECT_TRUE(capture() == shown) << "page " << page << " changed without a key";
  }

  // (Under wine the program's output goes to stdout.txt and stderr.txt beside it, removed empty.)
  void expect_clean_exit() {
    EXPECT_EQ(wait_program(&viewer, PAGE_TIMEOUT_S * time_scale()), 0);
    const bool wine = windows_folder() != nullptr;
    EXPECT_EQ(read_file(wine ? in_windows("stdout.txt") : viewer.out_path), "");
    EXPECT_EQ(read_file(wine ? in_windows("stderr.txt") : viewer.err_path), "");
  }

  // Everything a page must show, and nothing else: its labels, outlines and sampled rings.
  static std::vector<std::string> page_problems(const Image &img, int page) {
    std::vector<std::string> problems;
    auto where = [](const char *what, int n, int x, int y) {
      return std::string(what) + " of triangle " + std::to_string(n) + " at (" + std::to_string(x) +
             ", " + std::to_string(y) + ")";
    };
    auto ring = [&](const char *what, int n, int x, int y) {
      for (const auto &o : RING_OFFSETS) {
        if (!img.black(x + o[0], y + o[1])) {
          problems.push_back(where(what, n, x, y) + ": ring pixel (" + std::to_string(x + o[0]) +
                             ", " + std::to_string(y + o[1]) + ") not black");
          return;
        }
      }
    };
    std::vector<bool> allowed(static_cast<size_t>(WIN_W) * WIN_H, false);
    auto allow = [&](int x0, int y0, int x1, int y1) {
      for (int y = std::max(0, y0); y <= std::min(WIN_H - 1, y1); ++y) {
        for (int x = std::max(0, x0); x <= std::min(WIN_W - 1, x1); ++x) {
          allowed[static_cast<size_t>(y) * WIN_W + x] = true;
        }
      }
    };
    auto ink_in = [&](int x0, int y0, int x1, int y1) {
      for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
          if (img.black(x, y)) {
            return true;
          }
        }
      }
      return false;
    };
    if (page == 1) {
      allow(10, 10, 10 + TITLE_BOX_W, 10 + TITLE_BOX_H);
      if (!ink_in(10, 10, 10 + TITLE_BOX_W, 10 + TITLE_BOX_H)) {
        problems.emplace_back("no title on page 1");
      }
    }
    for (int i = 0; i < 33; ++i) {
      const ExpectedTriangle &t = EXPECTED_RUN[i];
      if (t.page != page) {
        continue;
      }
      const int n = i + 1;
      const int right = t.cell_x + UNITS_PX * t.a;
      allow(t.cell_x, t.cell_y, t.cell_x + LABEL_BOX_W, t.cell_y + LABEL_BOX_H);
      allow(t.cell_x - 2, t.apex_y - 2, right + 2, t.cell_y + 2);
      // The label hangs below the base, starting at the cell's left edge.
      if (!ink_in(t.cell_x, t.cell_y + 3, t.cell_x + LABEL_BOX_W, t.cell_y + LABEL_BOX_H)) {
        problems.push_back(where("label", n, t.cell_x, t.cell_y) + " missing");
      }
      if (!img.black(t.apex_x, t.apex_y)) {
        problems.push_back(where("apex", n, t.apex_x, t.apex_y) + " not black");
      }
      for (int x = t.cell_x; x <= right; ++x) {
        if (!img.black(x, t.cell_y)) {
          problems.push_back(where("base", n, x, t.cell_y) + " not black");
          break;
        }
      }
      for (int k = 0; k <= t.a; ++k) {
        ring("base ring", n, t.cell_x + UNITS_PX * k, t.cell_y);
      }
      if (std::find(std::begin(APEX_OFF_MARK), std::end(APEX_OFF_MARK), n) ==
          std::end(APEX_OFF_MARK)) {
        ring("apex ring", n, t.apex_x, t.apex_y);
      }
    }
    for (const ExpectedMark &m : EXPECTED_MARKS) {
      if (EXPECTED_RUN[m.triangle - 1].page == page) {
        ring("side ring", m.triangle, m.x, m.y);
      }
    }
    int strays = 0;
    for (int y = 0; y < WIN_H; ++y) {
      for (int x = 0; x < WIN_W; ++x) {
        const unsigned long p = img.at(x, y);
        if (p != WHITE && (p != BLACK || !allowed[static_cast<size_t>(y) * WIN_W + x])) {
          if (strays++ < 5) {
            problems.push_back("stray pixel " + std::to_string(p) + " at (" + std::to_string(x) +
                               ", " + std::to_string(y) + ")");
          }
        }
      }
    }
    return problems;
  }
};

} // namespace

TEST_F(RealWindow, FourPagesEachAwaitedByKeyOrClose) {
  start_viewer();
  Image shown = expect_page(1);
  XWindowAttributes attrs{};
  XGetWindowAttributes(dpy, win, &attrs);
  EXPECT_EQ(attrs.width, WIN_W);
  EXPECT_EQ(attrs.height, WIN_H);
  // Pointer motion and clicks are not page turns.
  xdo("mousemove --window " + std::to_string(win) + " 100 100 mousemove --window " +
      std::to_string(win) + " 700 500 click 1 click 3 mousemove --window " + std::to_string(win) +
      " 400 300");
  expect_still_waiting(shown, 1);
  // Nor are modifier keys pressed alone (the locks pressed twice, to leave them as they were).
  // (Wine's US layout has no AltGr: it gives X's ISO_Level3_Shift a spare, non-modifier key.)
  xdo(std::string("key Shift_L Control_L Alt_L Super_L Caps_Lock ") +
      (windows_folder() != nullptr ? "" : "ISO_Level3_Shift ") +
      "Num_Lock Caps_Lock Shift_R Num_Lock Control_R");
  expect_still_waiting(shown, 1);

  // A key press turns the page; its release does not turn the next one.
  xdo("keydown a");
  shown = expect_page(2);
  xdo("keyup a");
  expect_still_waiting(shown, 2);

  // Closing the window turns the page and does not end the run.
  send_close();
  shown = expect_page(3);
  expect_still_waiting(shown, 3);

  // A key with a modifier held turns one page, not two.
  xdo("key ctrl+c");
  shown = expect_page(4);
  expect_still_waiting(shown, 4); // the fourth wait

  // At the last page a close request ends the program.
  send_close();
  expect_clean_exit();
}

TEST_F(RealWindow, TwoRunsShowIdenticalPages) {
  start_viewer();
  const std::vector<Image> first = walk_all_pages();
  start_viewer();
  const std::vector<Image> second = walk_all_pages();
  for (int page = 0; page < EXPECTED_PAGES; ++page) {
    EXPECT_TRUE(first[page] == second[page]) << "page " << page + 1 << " differs between runs";
  }

  // The exporter's pictures, in either format, are the very same pages; under wine the Windows
  // exporter's too, written into a folder of non-ASCII characters by a copy of the program's
  // folder under such a name (it finds its font beside itself there).
  std::vector<std::vector<std::string>> exporters = {{EXPORT_EXE}};
  if (windows_folder() != nullptr) {
    const std::string copy = make_temp_dir() + "/Zoë/三角形";
    ASSERT_EQ(
        std::system(("mkdir -p '" + copy + "' && cp -R '" + windows_folder() + "'/. '" + copy + "'")
                        .c_str()),
        0);
    exporters.push_back({"wine", copy + "/triangles-export.exe"});
  }
  for (const auto &[exporter_command, format] :
       std::vector<std::pair<std::vector<std::string>, std::string>>{
           {exporters.back(), "bmp"}, {exporters.front(), "png"}, {exporters.back(), "png"}}) {
    const std::string out = make_temp_dir() + "/Zoë/三角形";
    ASSERT_EQ(std::system(("mkdir -p '" + out + "'").c_str()), 0);
    std::vector<std::string> args(exporter_command.begin() + 1, exporter_command.end());
    args.insert(args.end(), {"--format", format, out});
    Child exporter = start_program(exporter_command.front(), args, make_temp_dir(),
                                   {"DISPLAY=", "LANG=C.UTF-8"});
    ASSERT_EQ(wait_program(&exporter, PAGE_TIMEOUT_S * time_scale()), 0)
        << read_file(exporter.err_path);
    for (int page = 1; page <= EXPECTED_PAGES; ++page) {
      std::string path = out + "/page-" + std::to_string(page);
      path += "." + format;
      Image saved;
      std::vector<std::uint32_t> png;
      if (format == "png" && read_png(path, &png)) {
        saved.px.assign(png.begin(), png.end());
      }
      ASSERT_TRUE(format == "png" ? !saved.px.empty() : load_bmp(path, &saved)) << path;
      EXPECT_TRUE(saved == first[page - 1])
          << "page " << page << " differs from the window; window: "
          << save_image(first[page - 1], "window-" + std::to_string(page)) << ", file: " << path;
    }
  }

  if (windows_folder() == nullptr) {
    return;
  }
  // Ctrl-C (wine turns SIGINT into it) at moments through the Windows exporter's writing: it ends
  // with Windows's status for that, unless it had finished, and leaves only whole pages.
  constexpr int CONTROL_C_STATUS = 0xC000013A & 0xFF; // STATUS_CONTROL_C_EXIT, as wine exits
  const std::string all_pages = "page-1.bmp page-2.bmp page-3.bmp page-4.bmp";
  for (int delay_ms = 0; delay_ms <= 40; delay_ms += 5) {
    SCOPED_TRACE("Ctrl-C " + std::to_string(delay_ms) + " ms after the first file");
    const std::string out = make_temp_dir();
    Child exporter =
        start_program("wine", {exporters.back()[1], out}, make_temp_dir(), {"DISPLAY="});
    while (listing(out).empty() && still_running(exporter)) {
      usleep(500);
    }
    sleep_ms(delay_ms);
    kill(exporter.pid, SIGINT);
    const int status = wait_program(&exporter, PAGE_TIMEOUT_S * time_scale());
    const std::string names = listing(out);
    EXPECT_TRUE(status == CONTROL_C_STATUS || (status == 0 && names == all_pages))
        << "status " << status << " with " << names;
    EXPECT_EQ((" " + names).find(" ."), std::string::npos) << "a temporary file is left: " << names;
    for (int page = 1; page <= EXPECTED_PAGES; ++page) {
      const std::string path = out + "/page-" + std::to_string(page) + ".bmp";
      Image saved;
      EXPECT_TRUE(access(path.c_str(), F_OK) != 0 ||
                  (load_bmp(path, &saved) && saved == first[page - 1]))
          << path << " is not a whole page";
    }
  }
}

TEST_F(RealWindow, InstalledViewerRunsFromAnyFolder) {
  if (const char *windows_setup = std::getenv("WINDOWS_SETUP")) {
    const std::string setup = windows_setup;
    // Windows: the installer installs silently for the user, its Start-menu shortcut starts the
    // viewer in its folder, and its uninstaller leaves nothing behind.
    const std::string wine = std::string(std::getenv("WINEPREFIX")) + "/drive_c/users/" +
                             getpwuid(getuid())->pw_name + "/AppData/";
    const std::string folder = wine + "Local/Programs/Triangles";
    const std::string shortcut =
        wine + "Roaming/Microsoft/Windows/Start Menu/Programs/Triangles.lnk";
    const std::string key =
        "'HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Triangles'";
    ASSERT_EQ(std::system(("wine '" + setup + "' /S && wineserver -w").c_str()), 0);
    ASSERT_NE(read_file(folder + "/triangles.exe"), "") << "not installed in " << folder;
    // Wine's start gets no process back from a shortcut (the shortcut's menu command starts the
    // program), so even with /wait it returns at once, with whatever status (wine 8: 0, wine 10:
    // 4). Without /wait it ends with 0 once the viewer is started; wineserver -w then waits for
    // the viewer to end, having written nothing to stderr.txt beside itself.
    start_viewer({"wine", "start", "/unix", shortcut}, make_temp_dir());
    walk_all_pages();
    ASSERT_EQ(std::system("wineserver -w"), 0);
    EXPECT_EQ(read_file(folder + "/stderr.txt"), "");
    // The uninstaller runs again from a copy in the temporary folder: wineserver -w waits for it.
    ASSERT_EQ(std::system(("wine '" + folder + "/uninstall.exe' /S && wineserver -w").c_str()), 0);
    EXPECT_NE(access(folder.c_str(), F_OK), 0) << folder << " is left";
    EXPECT_NE(access(shortcut.c_str(), F_OK), 0) << shortcut << " is left";
    EXPECT_NE(std::system(("wine reg query " + key + " >/dev/null 2>&1").c_str()), 0);
    return;
  }
  const std::string prefix = make_temp_dir();
  const std::string install = std::string(CMAKE_COMMAND) + " --install " + TRIANGLES_DIR +
                              " --prefix " + prefix + " > /dev/null";
  ASSERT_EQ(std::system(install.c_str()), 0) << install;
  EXPECT_NE(read_file(prefix + "/share/triangles/times.ttf.LICENSE"), "");

  // Installed with cmake, and the Debian package's tree as it unpacks into /usr (its desktop
  // entry names /usr/bin/triangles).
  std::vector<std::pair<std::string, std::string>> installed = {{prefix, prefix}};
#ifdef PACKAGE_ROOT
  installed.emplace_back(std::string(PACKAGE_ROOT) + "/usr", "/usr");
#endif
  for (const auto &[root, final_root] : installed) {
    SCOPED_TRACE(root);
    // The launcher, started from an unrelated folder, finds its font and shows all four pages.
    start_viewer({root + "/bin/triangles"}, make_temp_dir());
    walk_all_pages();

    // The installed exporter finds the installed font from any folder too.
    const std::string out = make_temp_dir();
    Child exporter = start_program(root + "/bin/triangles-export", {out}, make_temp_dir(), {});
    EXPECT_EQ(wait_program(&exporter, PAGE_TIMEOUT_S), 0) << read_file(exporter.err_path);
    std::string paths;
    for (int page = 1; page <= EXPECTED_PAGES; ++page) {
      paths += out + "/page-" + std::to_string(page) + ".bmp\n";
    }
    EXPECT_EQ(read_file(exporter.out_path), paths);

    // And the desktop menu entry starts the launcher.
    const std::string desktop = read_file(root + "/share/applications/triangles.desktop");
    EXPECT_NE(desktop.find("Exec=" + final_root + "/bin/triangles\n"), std::string::npos)
        << desktop;
  }
}

TEST_F(RealWindow, QuickKeysEachTurnOnePage) {
  start_viewer();
  expect_page(1);
  // Three presses in quick succession, while pages are still being drawn: queued, one page each,
  // also with a modifier held.
  xdo("key --delay 5 shift+b c alt+d");
  const Image shown = expect_page(4);
  expect_still_waiting(shown, 4);
  xdo("key e");
  expect_clean_exit();
}

TEST_F(RealWindow, MissingFontIsReportedByName) {
  const std::string empty = make_temp_dir();
  if (windows_folder() != nullptr) {
    // A copy of the folder without the font: the line goes to stderr.txt beside the program and
    // into a message box, which is dismissed.
    ASSERT_EQ(std::system(
                  ("cp -r '" + in_windows(".") + "/.' " + empty + " && rm " + empty + "/times.ttf")
                      .c_str()),
              0);
    start_viewer({"wine", empty + "/triangles.exe"}, empty);
    char *name = nullptr; // the message box, once the viewer's window has gone
    while (win != 0 && (XFetchName(dpy, win, &name) == 0 || std::string(name) != "triangles")) {
      XFree(name);
      name = nullptr;
      sleep_ms(SETTLE_MS);
      locate_window();
    }
    XFree(name);
    xdo("mousemove --window " + std::to_string(win) + " 20 20 key Return");
    EXPECT_EQ(wait_program(&viewer, PAGE_TIMEOUT_S), 1);
    const std::string why = read_file(empty + "/stderr.txt");
    EXPECT_NE(why.find("Couldn't load font "), std::string::npos) << why;
    EXPECT_NE(why.find("times.ttf: No such file or directory"), std::string::npos) << why;
    return;
  }
  Child run = start_program(TRIANGLES_EXE, {}, empty, {});
  EXPECT_EQ(wait_program(&run, PAGE_TIMEOUT_S), 1);
  EXPECT_NE(read_file(run.err_path).find("times.ttf"), std::string::npos)
      << read_file(run.err_path);
  EXPECT_EQ(read_file(run.out_path), "");

  // With the standard descriptors closed, the X connection must not take descriptor 2 and get the
  // error line written into it (the server would then never answer the shutdown).
  for (const char *closing : {"2>&-", "<&- >&- 2>&-"}) {
    SCOPED_TRACE(closing);
    Child closed = start_program("sh", {"-c", std::string("exec \"$0\" ") + closing, TRIANGLES_EXE},
                                 empty, {});
    EXPECT_EQ(wait_program(&closed, PAGE_TIMEOUT_S), 1);
  }
}

TEST_F(RealWindow, SignalsEndTheRunAtOnce) {
  if (windows_folder() != nullptr) {
    GTEST_SKIP() << NOT_UNDER_WINE;
  }
  // In the wait, with the X server answering, the wait ends and the window is closed tidily, well
  // before the half second after which a close that hangs would be cut short.
  for (const int signal_no : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(strsignal(signal_no));
    start_viewer();
    expect_page(1);
    const auto sent = Clock::now();
    kill(viewer.pid, signal_no);
    EXPECT_EQ(wait_program(&viewer, 1.0 * time_scale()), 128 + signal_no);
    EXPECT_LT(Clock::now() - sent,
              std::chrono::milliseconds(static_cast<int>(TIDY_END_MS * time_scale())));
    EXPECT_EQ(read_file(viewer.err_path), "");
  }
  // Also while the first page is still being set up: it is never shown.
  start_viewer();
  kill(viewer.pid, SIGTERM);
  EXPECT_EQ(wait_program(&viewer, 1.0 * time_scale()), 128 + SIGTERM);
}

TEST_F(RealWindow, ARequestJustBeforeTheWaitSleepsStillEndsItTidily) {
  if (windows_folder() != nullptr) {
    GTEST_SKIP() << NOT_UNDER_WINE;
  }
  // Its window lives for milliseconds, so the test does not look for it: the stand-in says when
  // the request came and when the wait woke for it.
  viewer = start_program(TRIANGLES_EXE, {}, TRIANGLES_DIR,
                         {std::string("LD_PRELOAD=") + SIGNAL_BEFORE_SLEEP_LIB});
  EXPECT_EQ(wait_program(&viewer, PAGE_TIMEOUT_S * time_scale()), 128 + SIGTERM);
  const auto ended = Clock::now();
  std::istringstream said(read_file(viewer.out_path));
  std::string word;
  long long requested_ns = -1;
  long long woke_ns = -1;
  said >> word >> requested_ns >> word >> woke_ns;
  ASSERT_GE(requested_ns, 0) << "the viewer never reached its wait: " << read_file(viewer.err_path);
  EXPECT_GE(woke_ns, requested_ns) << "the wait slept on: the request did not wake it";
  const Clock::time_point requested{std::chrono::nanoseconds(requested_ns)};
  EXPECT_LT(ended - requested,
            std::chrono::milliseconds(static_cast<int>(TIDY_END_MS * time_scale())));
  EXPECT_EQ(read_file(viewer.err_path), "");
}

TEST_F(RealWindow, SignalsEndTheRunEvenWhileTheXServerIsStopped) {
  if (windows_folder() != nullptr) {
    GTEST_SKIP() << NOT_UNDER_WINE;
  }
  pid_t server_pid = -1;
  const std::string server = start_xvfb(&server_pid);
  ASSERT_FALSE(server.empty());
  Display *server_dpy = XOpenDisplay(server.c_str());
  ASSERT_NE(server_dpy, nullptr);
  for (const int signal_no : {SIGINT, SIGTERM, SIGHUP}) {
    for (const bool window_up : {false, true}) {
      SCOPED_TRACE(std::string(strsignal(signal_no)) +
                   (window_up ? ", page shown" : ", window not open yet"));
      if (!window_up) {
        kill(server_pid, SIGSTOP);
      }
      viewer = start_program(TRIANGLES_EXE, {}, TRIANGLES_DIR, {"DISPLAY=" + server});
      if (window_up) {
        locate_window(server_dpy);
        ASSERT_NE(win, 0U) << read_file(viewer.err_path);
        sleep_ms(static_cast<int>(SETTLE_MS * time_scale())); // drawn and waiting
        kill(server_pid, SIGSTOP);
      } else {
        sleep_ms(static_cast<int>(SETTLE_MS * time_scale())); // blocked on the server
      }
      kill(viewer.pid, signal_no);
      EXPECT_EQ(wait_program(&viewer, 1.0 * time_scale()), 128 + signal_no);
      kill(server_pid, SIGCONT);
    }
  }
  XCloseDisplay(server_dpy);
  stop_xvfb(&server_pid);
}

TEST_F(RealWindow, XServerTroubleIsReportedInOneLine) {
  if (windows_folder() != nullptr) {
    GTEST_SKIP() << NOT_UNDER_WINE;
  }
  // A server that wants a cookie the viewer does not have.
  const std::string folder = make_temp_dir();
  const std::string cookies = folder + "/cookies";
  {
    // One MIT-MAGIC-COOKIE-1 for any address and display, in the Xauthority file format.
    std::ofstream out(cookies, std::ios::binary);
    auto field = [&](const std::string &text) {
      out.put(static_cast<char>(text.size() >> 8)).put(static_cast<char>(text.size())) << text;
    };
    out.put('\xff').put('\xff');
    field("");
    field("");
    field("MIT-MAGIC-COOKIE-1");
    field("0123456789abcdef");
  }
  pid_t guarded_pid = -1;
  const std::string guarded = start_xvfb(&guarded_pid, {"-auth", cookies});
  ASSERT_FALSE(guarded.empty());
  Child refused = start_program(TRIANGLES_EXE, {}, TRIANGLES_DIR,
                                {"DISPLAY=" + guarded, "XAUTHORITY=" + folder + "/none"});
  EXPECT_EQ(wait_program(&refused, PAGE_TIMEOUT_S), 1);
  const std::string why = read_file(refused.err_path);
  EXPECT_NE(why.find("Couldn't open a window: the X server at DISPLAY=" + guarded),
            std::string::npos)
      << why;
  EXPECT_EQ(why.find("is DISPLAY set?"), std::string::npos) << why;

  // The connection is lost while the viewer waits (once its window is there).
  viewer = start_program(TRIANGLES_EXE, {}, TRIANGLES_DIR,
                         {"DISPLAY=" + guarded, "XAUTHORITY=" + cookies});
  setenv("XAUTHORITY", cookies.c_str(), 1);
  Display *guarded_dpy = XOpenDisplay(guarded.c_str());
  unsetenv("XAUTHORITY");
  ASSERT_NE(guarded_dpy, nullptr);
  locate_window(guarded_dpy);
  EXPECT_NE(win, 0U) << read_file(viewer.err_path);
  XCloseDisplay(guarded_dpy);
  stop_xvfb(&guarded_pid);
  EXPECT_EQ(wait_program(&viewer, 1.0 * time_scale()), 1);
  EXPECT_EQ(read_file(viewer.err_path),
            "Couldn't keep the window: the connection to the X server was lost\n");

  // The connection breaks between the viewer's read and its write: the server (stopped, so that its
  // end stays open) no longer reads, and the viewer, woken by a close request, writes to it.
  start_viewer();
  expect_page(1);
  kill(viewer.pid, SIGSTOP);
  send_close();
  XSync(dpy, False);
  kill(xvfb_pid, SIGSTOP);
  shut_sockets_for_writing(viewer.pid);
  kill(viewer.pid, SIGCONT);
  EXPECT_EQ(wait_program(&viewer, 1.0 * time_scale()), 1);
  kill(xvfb_pid, SIGCONT);
  EXPECT_EQ(read_file(viewer.err_path),
            "Couldn't keep the window: the connection to the X server was lost\n");

  // Another client destroys the window.
  start_viewer();
  expect_page(1);
  XDestroyWindow(dpy, win);
  XSync(dpy, False);
  EXPECT_EQ(wait_program(&viewer, 1.0 * time_scale()), 1);
  const std::string destroyed = read_file(viewer.err_path);
  EXPECT_EQ(destroyed.rfind("Couldn't keep the window: the X server reported an error", 0), 0U)
      << destroyed;
  EXPECT_EQ(destroyed.find('\n'), destroyed.size() - 1) << destroyed;
}

TEST_F(RealWindow, AnIdleWaitIsQuietAndAKeyStillTurnsThePage) {
  // Wine tracks the pointer's leaving a window (TrackMouseEvent, which SDL asks for) with a timer
  // in the program's own thread that ticks at the hover time (400 ms) until a tick finds the
  // pointer gone; Windows does it without waking the program. So under wine the pointer is moved
  // off the window once the page is up (finding the window puts it there), and the count starts
  // after a quiet half second.
  const bool under_wine = windows_folder() != nullptr;
  start_viewer();
  const Image shown = expect_page(1);
  if (under_wine) {
    XWarpPointer(dpy, None, DefaultRootWindow(dpy), 0, 0, 0, 0, WIN_W + 100, WIN_H + 100);
    XSync(dpy, False);
  }
  // A process asleep on its display connection does not run: its threads switch out voluntarily
  // only when woken. SDL's own wait would wake about a hundred times a second.
  int threads = 0;
  auto wake_ups = [&] { return voluntary_switches(viewer.pid, &threads); };
  if (under_wine) {
    long woke = -1; // in the last half second
    for (int tries = 0; tries < 10 && woke != 0; ++tries) {
      const long was = wake_ups();
      sleep_ms(500);
      woke = wake_ups() - was;
    }
    ASSERT_EQ(woke, 0) << "never quiet for half a second in 5 s with the pointer off the window";
  }
  const long before = wake_ups();
  sleep_ms(2000);
  EXPECT_LE(wake_ups() - before, 4) << "woke while nothing happened";
  EXPECT_EQ(threads, 1);
  expect_still_waiting(shown, 1);
  xdo("key a");
  expect_page(2);
}

TEST_F(RealWindow, EventStormAndExposureLeaveThePageAlone) {
  start_viewer();
  const Image shown = expect_page(1);
  // Thousands of pointer movements over the window while it waits.
  for (int i = 0; i < 5000; ++i) {
    XWarpPointer(dpy, None, win, 0, 0, 0, 0, 100 + i % 600, 100 + i % 400);
  }
  XSync(dpy, False);
  expect_still_waiting(shown, 1);

  // Another window covers ours and goes away again: the page must come back.
  XSetWindowAttributes attrs{};
  attrs.override_redirect = True;
  attrs.background_pixel = 0xFF0000;
  const ::Window cover =
      XCreateWindow(dpy, DefaultRootWindow(dpy), 0, 0, 1024, 768, 0, CopyFromParent, InputOutput,
                    CopyFromParent, CWOverrideRedirect | CWBackPixel, &attrs);
  XMapRaised(dpy, cover);
  XSync(dpy, False);
  sleep_ms(200);
  XDestroyWindow(dpy, cover);
  XSync(dpy, False);
  expect_still_waiting(shown, 1);

  xdo("mousemove --window " + std::to_string(win) + " 400 300 key a");
  expect_page(2);
}
