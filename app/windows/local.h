// What the Windows files share among themselves: paths in UTF-16, the system's reasons, the event
// that wakes the viewer's wait, and the unfinished page that an ending request removes.
#pragma once

#include <windows.h>

bool to_utf16(const char *utf8, wchar_t *out, int size); // a UTF-8 text as the system takes it
// The last error in the system's words, kept until the next call.
const char *system_reason();

HANDLE ending_request_event(); // set once a request arrived in the wait (ending.cpp)
void remove_unfinished_file(); // safe from a console's control handler (writing.cpp)
