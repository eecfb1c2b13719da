#ifndef IRWAV_APP_STANDARD_OUTPUT_H_
#define IRWAV_APP_STANDARD_OUTPUT_H_

/// The exit status once everything meant for standard output has been
/// written out: `status`, or 1 in place of 0 when standard output lost
/// anything (a full disk, a closed pipe), which is then said in one line on
/// standard error, headed by `program`. A report that was never written is
/// no success.
int statusAfterStandardOutput(const char* program, int status);

#endif  // IRWAV_APP_STANDARD_OUTPUT_H_
