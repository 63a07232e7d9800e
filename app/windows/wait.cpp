// The sleeping wait on Windows. It sleeps on the thread's message queue
// (MsgWaitForMultipleObjectsEx), where SDL's window receives its messages, and on the event an
// ending request sets, so it wakes only for input (SDL 1.2's own wait wakes some hundred times a
// second here). The display library reports its own failures and needs no watching.
#include <windows.h>

#include "local.h"
#include "report.h"
#include "system.h"

void quiet_display_libraries() {}

void install_display_error_handlers() {}

void watch_display() {}

bool sleep_until_input() {
  HANDLE request = ending_request_event();
  const DWORD woken =
      MsgWaitForMultipleObjectsEx(1, &request, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  if (woken == WAIT_FAILED) {
    report_failure("Couldn't wait for an event: error %lu", GetLastError());
    return false;
  }
  return true;
}
