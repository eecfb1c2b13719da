#include "app/end_signals.h"

#include <csignal>
#include <cstdlib>

#include "platform/file.h"
#include "platform/signal_exit.h"

extern "C" void endAtOnce(int signal) {
  removeUnfinishedFiles();
  dieBySignal(signal);
  std::_Exit(128 + signal);
}

void handleUnlessIgnored(int signal, void (*handler)(int)) {
  if (std::signal(signal, handler) == SIG_IGN) std::signal(signal, SIG_IGN);
}
