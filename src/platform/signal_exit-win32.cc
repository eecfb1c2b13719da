// Windows: a process ends by its exit status alone, so there is nothing to
// raise; the caller falls back to 128 + signal.

#include "platform/signal_exit.h"

void dieBySignal(int /*signal*/) {}
