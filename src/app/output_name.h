#ifndef IRWAV_APP_OUTPUT_NAME_H_
#define IRWAV_APP_OUTPUT_NAME_H_

#include <iosfwd>
#include <string>

/// Checks the name of an output file before anything is opened: it must
/// name a file on this platform, and not the file that standard output
/// writes to (the report would land among the samples). Otherwise says why
/// on `err`, naming it, headed by `program`, and returns false.
bool checkOutputName(const char* program, const std::string& name, std::ostream& err);

#endif  // IRWAV_APP_OUTPUT_NAME_H_
