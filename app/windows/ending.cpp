// Requests to end on Windows: a console's Ctrl-C, Ctrl-Break and closing (system.h says what each
// does). The control handler runs on a thread of its own; in the viewer's wait it sets an event
// that the wait sleeps on, gives the main thread a moment to close the window and end the process,
// and ends it itself after that. Every request ends the process with STATUS_CONTROL_C_EXIT, as
// Windows's own handler does (Wine 8's would end it with status 0, as if all had gone well).
#include <windows.h>

#include <cstdlib>

#include "constants.h"
#include "local.h"
#include "system.h"

namespace {

volatile LONG caught_request = 0; // the control event, plus one, that arrived in the wait
volatile LONG in_wait = 0;
HANDLE wake_event = nullptr; // set by the control handler, waited on with the message queue
DWORD main_thread = 0;       // the thread that installed the handlers

// On the main thread through the C runtime's exit, so that SDL's entry wrapper still removes an
// empty stdout.txt and stderr.txt; from a control handler's own thread at once.
[[noreturn]] void end_as() {
  if (GetCurrentThreadId() == main_thread) {
    std::exit(static_cast<int>(STATUS_CONTROL_C_EXIT));
  }
  ExitProcess(STATUS_CONTROL_C_EXIT);
}

bool is_ending(DWORD event) {
  return event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT || event == CTRL_CLOSE_EVENT;
}

BOOL WINAPI on_control(DWORD event) {
  if (!is_ending(event)) {
    return FALSE;
  }
  if (in_wait == 0 || InterlockedCompareExchange(&caught_request, event + 1, 0) != 0) {
    end_as();
  }
  SetEvent(wake_event);
  Sleep(CLOSING_GRACE_MS); // the main thread closes the window and ends the process meanwhile
  end_as();
}

BOOL WINAPI on_control_while_saving(DWORD event) {
  if (!is_ending(event)) {
    return FALSE;
  }
  remove_unfinished_file();
  end_as();
}

} // namespace

HANDLE ending_request_event() { return wake_event; }

// The display library needs no preparing.
const char *prepare_viewer() {
  main_thread = GetCurrentThreadId();
  wake_event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  if (wake_event == nullptr || SetConsoleCtrlHandler(on_control, TRUE) == 0) {
    return system_reason();
  }
  return nullptr;
}

bool ending_requested() { return caught_request != 0; }

void end_if_requested() {
  if (caught_request != 0) {
    end_as();
  }
}

void set_waiting(bool waiting) { InterlockedExchange(&in_wait, waiting ? 1 : 0); }

void prepare_exporter() {
  main_thread = GetCurrentThreadId();
  SetConsoleCtrlHandler(on_control_while_saving, TRUE);
}
