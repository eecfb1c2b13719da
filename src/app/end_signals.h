#ifndef IRWAV_APP_END_SIGNALS_H_
#define IRWAV_APP_END_SIGNALS_H_

/// A signal handler that ends the program at once because of `signal`:
/// removes the temporary file of any output still being written, so that
/// nothing unfinished is left, then ends as the signal would (on Windows,
/// with status 128 + signal).
extern "C" void endAtOnce(int signal);

/// Sets `handler` for `signal`, unless the signal was ignored when the
/// program started (a background job, nohup): that one stays ignored.
void handleUnlessIgnored(int signal, void (*handler)(int));

#endif  // IRWAV_APP_END_SIGNALS_H_
