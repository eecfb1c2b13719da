#ifndef IRWAV_PLATFORM_SIGNALS_H_
#define IRWAV_PLATFORM_SIGNALS_H_

#include <vector>

/// The signals that ask a program to stop: SIGINT and SIGTERM, and SIGHUP
/// (its terminal went away) where the platform has it.
std::vector<int> stopSignals();

/// The signals that end a program at once, without finishing what it does:
/// SIGQUIT where the platform has it.
std::vector<int> quitSignals();

/// Makes a write to a pipe that nobody reads any more fail with an error
/// the program reports, instead of killing it silently (SIGPIPE ignored),
/// where the platform has that signal.
void ignoreBrokenPipe();

#endif  // IRWAV_PLATFORM_SIGNALS_H_
