// Requests to end and the sleeping wait on Windows. The wait sleeps on the thread's message queue
// (MsgWaitForMultipleObjectsEx), where SDL's window receives its messages, and on an event that
// the console's control handler sets, so it wakes only for input (SDL 1.2's own wait wakes some
// hundred times a second here). Ctrl-C, Ctrl-Break and the closing of a console, where the program
// has one, end it at once outside the wait; in it they end the wait, and the process ends anyway
// if closing the window takes longer than a moment. The display library needs no watching here.
#include <windows.h>

#include <cstdlib>

#include "constants.h"
#include "report.h"
#include "system.h"

namespace {

volatile LONG caught_request = 0; // the control event, plus one, that arrived in the wait
volatile LONG in_wait = 0;
HANDLE wake_event = nullptr; // set by the control handler, waited on with the message queue

// Runs on a thread of its own. Returning FALSE lets the default handler end the process.
BOOL WINAPI on_control(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) {
    return FALSE;
  }
  if (in_wait == 0 || InterlockedCompareExchange(&caught_request, event + 1, 0) != 0) {
    return FALSE;
  }
  SetEvent(wake_event);
  Sleep(CLOSING_GRACE_MS); // the main thread closes the window and ends the process meanwhile
  return FALSE;
}

} // namespace

bool catch_ending_signals() {
  wake_event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  if (wake_event == nullptr || SetConsoleCtrlHandler(on_control, TRUE) == 0) {
    report_failure("Couldn't prepare for requests to end: error %lu", GetLastError());
    return false;
  }
  return true;
}

int ending_signal() { return static_cast<int>(caught_request); }

// As the default handler of a console's control events ends a program.
void die_of(int /*signal_no*/) { std::exit(static_cast<int>(STATUS_CONTROL_C_EXIT)); }

void set_waiting(bool waiting) { InterlockedExchange(&in_wait, waiting ? 1 : 0); }

void report_display_failures() {}

void watch_display() {}

bool sleep_until_input() {
  const DWORD woken =
      MsgWaitForMultipleObjectsEx(1, &wake_event, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  if (woken == WAIT_FAILED) {
    report_failure("Couldn't wait for an event: error %lu", GetLastError());
    return false;
  }
  return true;
}
