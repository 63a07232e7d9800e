// The sleeping wait on Windows. It sleeps on the thread's message queue
// (MsgWaitForMultipleObjectsEx), where SDL's window receives its messages, and on the event an
// ending request sets, so it wakes only for input. The display library reports its own failures
// and needs no watching.
#include <windows.h>

#include "local.h"
#include "system.h"

void watch_display() {}

const char *sleep_until_input() {
  HANDLE request = ending_request_event();
  const DWORD woken =
      MsgWaitForMultipleObjectsEx(1, &request, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  if (woken == WAIT_FAILED) {
    return system_reason();
  }
  return nullptr;
}
