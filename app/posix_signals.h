// The signals that end either program at once on POSIX systems, for the viewer's wait and for the
// exporter's clean-up alike: an interrupt, a polite termination, a hang-up.
#pragma once

#include <csignal>

constexpr int ENDING_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP};
