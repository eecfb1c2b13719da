// POSIX signals.

#include <csignal>

#include "platform/signals.h"

std::vector<int> stopSignals() { return {SIGINT, SIGTERM, SIGHUP}; }

std::vector<int> quitSignals() { return {SIGQUIT}; }

void ignoreBrokenPipe() { std::signal(SIGPIPE, SIG_IGN); }
