// What differs between the systems the programs run on, behind one interface. Each system has a
// folder of its own with the same files, chosen by the build: posix/ (Linux and other POSIX
// systems, with X11), windows/, and emscripten/ (a web page), which shares posix/files.cpp. The
// system files report facts (what a path is, the system's reason for a failure); the shared code
// decides, words and prints every line. Paths are UTF-8 everywhere; the Windows files convert
// them at the system's door.
#pragma once

#include <cstddef>
#include <cstdio>

// The console (console.cpp)
// Readies the standard streams and returns the arguments, both as the programs expect them:
// closed standard descriptors reopened on the null device, so that nothing opened later takes
// their numbers; output and arguments in UTF-8 (on Windows read again from the wide command line).
char **start_console(int argc, char *argv[]);
// What the user is shown beside the window: a failure line, already on stderr, where there may be
// no terminal (on Windows in a message box, as a program started from Explorer has none; in a web
// page on the page), and the text alternative of the page shown (what a screen reader says of a
// web page's canvas). A terminal and a window need nothing more.
enum class Shown : unsigned char { FAILURE, PAGE_TEXT };
void show_user(Shown what, const char *text);

// Requests to end (ending.cpp): SIGINT, SIGTERM and SIGHUP, or a console's Ctrl-C, Ctrl-Break and
// closing. Outside the viewer's wait a request ends the process at once, as the request itself
// would. In the wait it wakes the wait (sleep_until_input returns), the viewer closes its window,
// and end_if_requested then ends the process as the request would have; a close that takes longer
// than CLOSING_GRACE_MS is cut short the same way. A web page has none: closing it ends the
// program with none of its code running.
// Before SDL_Init (which then leaves the requests alone), for the viewer: requests caught, and the
// display libraries set up for the window (a software surface, where SDL 2 would load OpenGL to
// show it) with their own complaints kept off stderr where there is no display. nullptr, or the
// system's reason the requests could not be caught.
const char *prepare_viewer();
// For the exporter instead: a request removes the unfinished page file (write_file_whole) before
// the process ends, and a file size limit makes a write fail rather than end the program.
void prepare_exporter();
void set_waiting(bool waiting); // the viewer enters or leaves its wait
bool ending_requested();        // a request arrived in the wait
void end_if_requested();        // ends the process as that request would have

// The display connection and the sleeping wait (display.cpp)
// Once the window is open: the connection the wait sleeps on, and failures of it (X's errors, a
// lost connection) sent to display_failed, as SDL set handlers of its own meanwhile.
void watch_display();
// Sleeps until the display connection has input or a request to end arrived (nullptr), or returns
// the system's reason the sleep failed. The caller pumps SDL before and after.
const char *sleep_until_input();
// Implemented by the shared code (screen.cpp), for the display's failure handlers: says in one
// line that the window is lost, with the display's description of the error (nullptr: the
// connection was lost), and ends the process.
[[noreturn]] void display_failed(const char *error);

// Files (files.cpp)
enum class PathKind : unsigned char { REGULAR, DIRECTORY, OTHER }; // OTHER: a device, a FIFO, ...
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

// Whole files, for the exporter (writing.cpp)
// Writes dir/name whole or not at all: the folder never holds a partial file, and whatever was at
// `name` (even a FIFO or a device) is never opened. `fill` writes `what` into the file and returns
// nullptr or the reason it failed; write_file_whole returns nullptr or the reason, and then leaves
// nothing behind.
using FileFiller = const char *(*)(FILE *file, const void *what);
const char *write_file_whole(const char *dir, const char *name, FileFiller fill, const void *what);
