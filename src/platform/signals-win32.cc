// Windows: the runtime raises SIGINT for Ctrl-C and SIGTERM on request; a
// broken pipe is an error of the write itself.

#include <csignal>

#include "platform/signals.h"

std::vector<int> stopSignals() { return {SIGINT, SIGTERM}; }

std::vector<int> quitSignals() { return {}; }

void ignoreBrokenPipe() {}
