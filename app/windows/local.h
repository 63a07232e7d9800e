// What the Windows files share among themselves: the event that wakes the viewer's wait, and the
// unfinished page that an ending request removes.
#pragma once

#include <windows.h>

HANDLE ending_request_event(); // set once a request arrived in the wait (signals.cpp)
void remove_unfinished_file(); // safe from a console's control handler (files.cpp)
