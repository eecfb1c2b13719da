// irwav-play: plays built-in remote-control codes live on the sound card.
// Ctrl-C or SIGTERM lets the sound already handed over finish; the player
// then ends by that same signal. A second one ends it at once. A signal
// that was ignored when the player started (a background job, nohup) stays
// ignored.

#include <csignal>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "app/player.h"
#include "app/standard_output.h"
#include "platform/signal_exit.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

const int kStopSignals[] = {SIGINT, SIGTERM};
/// Which of kStopSignals the player handles; set before any can arrive.
bool handled[std::size(kStopSignals)] = {};

extern "C" void onStopSignal(int signal) {
  if (stopRequested == 0) stopRequested = signal;
  // The next one ends the player at once.
  for (size_t i = 0; i < std::size(kStopSignals); ++i) {
    if (handled[i]) std::signal(kStopSignals[i], SIG_DFL);
  }
}

}  // namespace

int main(int argc, char** argv) {
  for (size_t i = 0; i < std::size(kStopSignals); ++i) {
    handled[i] = std::signal(kStopSignals[i], onStopSignal) != SIG_IGN;
    if (!handled[i]) std::signal(kStopSignals[i], SIG_IGN);
  }
  const std::vector<std::string> args(argv + 1, argv + argc);
  int status = runPlayer(args, std::cout, std::cerr, nullptr, &stopRequested);
  status = statusAfterStandardOutput("irwav-play", status);
  const int signal = stopRequested;
  if (signal != 0 && status == 128 + signal) dieBySignal(signal);
  return status;
}
