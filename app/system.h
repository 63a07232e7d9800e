// What differs between the systems the programs run on, behind one interface: the standard
// streams and the command line, requests to end, sleeping while the viewer waits, the files the
// programs read and write, and how a failure reaches the user. One implementation per system,
// chosen by the build: posix_*.cpp (Linux and other POSIX systems, with X11) and windows_*.cpp.
// Paths are UTF-8 everywhere; the Windows files convert them at the system's door.
#pragma once

#include <cstddef>
#include <cstdio>

// Start-up
void guard_standard_streams(); // closed standard descriptors reopened on the null device
// The arguments in UTF-8 (on Windows read again from the wide command line).
char **utf8_arguments(int argc, char *argv[]);

// Requests to end: SIGINT, SIGTERM and SIGHUP (on Windows Ctrl-C, Ctrl-Break and the closing of
// a console). Outside the wait one ends the process at once, as that request; in the wait the
// wait returns and the window is closed tidily, but a close that takes more than a moment is cut
// short the same way. Call before SDL_Init, which then leaves them alone.
bool catch_ending_signals();
int ending_signal();            // 0, or the request that arrived in the wait
void die_of(int signal_no);     // ends the process as that request would have
void set_waiting(bool waiting); // the viewer enters or leaves its wait

// The display connection
// Reports a lost display connection or a display error in one line instead of the display
// library's own dump. Call before SDL_Init and, through watch_display, again once the window is up.
void report_display_failures();
void watch_display(); // after the window opens: the connection the wait sleeps on
// Sleeps until the display connection has input or an ending request arrived (true), or the sleep
// itself failed (false, reported). The caller pumps SDL before and after.
bool sleep_until_input();

// Files
// Opens a font for reading without ever blocking on it: anything but a regular file with contents
// is refused, and *why says why.
FILE *open_font_file(const char *path, const char **why);
const char *file_problem(const char *path);  // why path is no regular file to read, or nullptr
const char *folder_problem(const char *dir); // why pages cannot go into dir, or nullptr
bool absolute_path(const char *path, char *out, size_t size); // for messages
bool program_folder(char *out, size_t size); // the folder the running program lies in
// Writes dir/name whole or not at all: `write` fills a new file that takes the name only once it
// is complete and on disk. Returns nullptr, or the reason of the failure (nothing is left then).
using FileWriter = const char *(*)(FILE *file); // nullptr, or the reason it failed
const char *write_file_whole(const char *dir, const char *name, FileWriter write);
// Before writing pages: an ending request during write_file_whole removes the unfinished file
// before the process ends, and a file size limit is a failed write, not the end of the program.
void prepare_page_files();

// Failures
// Shows a failure (already written to stderr) where the user will see it: on Windows a message
// box, as a program started from Explorer has no terminal; elsewhere nothing more.
void show_failure(const char *line);
