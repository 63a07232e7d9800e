// What differs between the systems the programs run on, behind one interface. Each system has a
// folder of its own with the same four files, chosen by the build: posix/ (Linux and other POSIX
// systems, with X11), windows/ and web/ (a web page, through emscripten). The system files report
// facts (what a path is, the system's reason for a failure); the shared code decides and words
// the messages. Paths are UTF-8 everywhere; the Windows files convert them at the system's door.
#pragma once

#include <cstddef>
#include <cstdio>

// The console: standard streams, the command line, the user's view of a failure (console.cpp)
void reopen_closed_standard_streams(); // on the null device, so no other file takes their numbers
void print_utf8_to_console();          // a console shows UTF-8 output as such (Windows)
char **utf8_arguments(int argc, char *argv[]); // on Windows read again from the wide command line
// Shows a failure line (already on stderr) where the user will see it: on Windows a message box,
// as a program started from Explorer has no terminal; elsewhere nothing more.
void show_failure(const char *line);
// The text alternative of the pages, where the window has none of its own: in the browser the
// page's screen reader text ("Page 1 of 4: triangles (19 19 2), ..."); elsewhere nothing.
void describe_label(const char *label); // each triangle's label, as it is drawn
void describe_page(int page);           // the page drawn with those labels is shown

// Requests to end: SIGINT, SIGTERM and SIGHUP, or a console's Ctrl-C, Ctrl-Break and closing
// (signals.cpp). Outside the viewer's wait a request ends the process at once, as the request
// itself would (end_as). In the wait it ends the wait, and the window is closed tidily, but a
// close that takes longer than CLOSING_GRACE_MS is cut short the same way. Install before
// SDL_Init, which then leaves them alone.
bool catch_ending_requests();
int ending_request();                  // 0, or the request that arrived in the wait
[[noreturn]] void end_as(int request); // ends the process as that request would have
void set_waiting(bool waiting);        // the viewer enters or leaves its wait
// For the exporter: a request removes the unfinished page file (write_file_whole) before the
// process ends, and a file size limit is a failed write, not the end of the program.
void remove_unfinished_file_on_ending();

// The display connection and the wait (wait.cpp)
// Where there is no display, the display libraries' own complaints kept off stderr: the viewer
// says it in one line. Call before SDL_Init.
void quiet_display_libraries();
// X errors and a lost connection reported in one line (instead of Xlib's dump or a silent death
// by SIGPIPE). Install before SDL_Init and, through watch_display, again once the window is up.
void install_display_error_handlers();
void watch_display(); // after the window opens: the connection the wait sleeps on
// Sleeps until the display connection has input or an ending request arrived (true), or the sleep
// itself failed (false, reported). The caller pumps SDL before and after.
bool sleep_until_input();

// Files (files.cpp)
enum class PathKind { REGULAR, DIRECTORY, OTHER }; // OTHER: a device, a FIFO, a socket
struct PathFacts {
  int error = 0; // the system's error number if the path could not be examined, else 0
  PathKind kind = PathKind::OTHER;
  long long size = 0;  // bytes
  int write_error = 0; // for a folder: the error number if no file can be made in it, else 0
};
PathFacts path_facts(const char *path);
// Opens a regular file for reading without ever blocking on it, with the facts of the file
// opened; any other kind of file is never opened (nullptr, and facts->kind says why).
FILE *open_regular_file(const char *path, PathFacts *facts);
bool absolute_path(const char *path, char *out, size_t size); // for messages
bool program_folder(char *out, size_t size); // the folder the running program lies in
// For the exporter, which the web build leaves out:
int make_folders(const char *dir); // dir and its missing parents, as `mkdir -p`; 0 or errno
// Writes dir/name whole or not at all (see save.h): `fill` writes the file and returns nullptr or
// the reason it failed; write_file_whole returns nullptr or the reason, and then leaves nothing.
using FileFiller = const char *(*)(FILE *file);
const char *write_file_whole(const char *dir, const char *name, FileFiller fill);
