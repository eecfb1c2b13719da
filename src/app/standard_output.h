#ifndef IRWAV_APP_STANDARD_OUTPUT_H_
#define IRWAV_APP_STANDARD_OUTPUT_H_

#include <iosfwd>

/// The exit status once everything meant for `out` has been written out:
/// `status`, or 1 in place of 0 when `out` lost anything (a full disk, a
/// closed pipe), which is then said in one line on `err`, headed by
/// `program`. A report that was never written is no success.
int checkStandardOutput(int status, std::ostream& out, std::ostream& err, const char* program);

#endif  // IRWAV_APP_STANDARD_OUTPUT_H_
