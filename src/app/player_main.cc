// irwav-play: plays built-in remote-control codes live on the sound card.
// Ctrl-C lets the sound already handed over finish, then ends; a second
// Ctrl-C ends at once.

#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "app/player.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

extern "C" void onInterrupt(int) {
  stopRequested = 1;
  std::signal(SIGINT, SIG_DFL);
}

}  // namespace

int main(int argc, char** argv) {
  std::signal(SIGINT, onInterrupt);
  const std::vector<std::string> args(argv + 1, argv + argc);
  return runPlayer(args, std::cout, std::cerr, nullptr, &stopRequested);
}
