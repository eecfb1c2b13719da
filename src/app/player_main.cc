// irwav-play: plays built-in remote-control codes live on the sound card.
// Ctrl-C, SIGTERM or SIGHUP lets the sound already handed over finish; the
// player then ends by that same signal. A second one, or SIGQUIT, ends it at
// once, and so does the first before anything plays (while the arguments
// and their files are read, or a list is printed). A signal that was ignored when the player
// started (a background job, nohup) stays ignored. An output file that was not finished is removed.

#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "app/end_signals.h"
#include "app/player.h"
#include "app/standard_output.h"
#include "platform/arguments.h"
#include "platform/signal_exit.h"
#include "platform/signals.h"
#include "platform/std_descriptors.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;
volatile std::sig_atomic_t playing = 0;

extern "C" void onStopSignal(int signal) {
  // Until something plays there is nothing to finish, whatever the player
  // waits on (an --ir file that is a pipe); once it plays, the next signal
  // ends it at once.
  if (stopRequested != 0 || playing == 0) endAtOnce(signal);
  stopRequested = signal;
  // Windows sets the default action back before calling a handler.
  std::signal(signal, onStopSignal);
}

}  // namespace

int main(int argc, char** argv) {
  openStandardDescriptors();
  // A report that cannot be written stops the player, which says so.
  ignoreBrokenPipe();
  for (int signal : stopSignals()) handleUnlessIgnored(signal, onStopSignal);
  for (int signal : quitSignals()) handleUnlessIgnored(signal, endAtOnce);
  const std::vector<std::string> args = commandLineArguments(argc, argv);
  int status = runPlayer(args, std::cout, std::cerr, nullptr, &stopRequested, &playing);
  status = statusAfterStandardOutput("irwav-play", status);
  const int signal = stopRequested;
  if (signal != 0 && status == 128 + signal) dieBySignal(signal);
  return status;
}
