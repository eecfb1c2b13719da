#ifndef IRWAV_PLATFORM_SIGNAL_EXIT_H_
#define IRWAV_PLATFORM_SIGNAL_EXIT_H_

/// Ends the process as `signal` would with its default action, so that the
/// parent sees a death by that signal: a shell loop that runs the program
/// stops with it, as it would for a program that never caught the signal.
/// Returns only where a process cannot end that way (on Windows the default
/// action ends it with status 3); the caller then exits with 128 + signal.
void dieBySignal(int signal);

#endif  // IRWAV_PLATFORM_SIGNAL_EXIT_H_
