#ifndef IRWAV_APP_OUTPUT_NAME_H_
#define IRWAV_APP_OUTPUT_NAME_H_

#include <iosfwd>
#include <string>
#include <vector>

/// Checks the name of an output file before anything is opened: it must
/// name a file on this platform, and not the file that standard output
/// writes to (the report would land among the samples), nor, by whatever
/// name, one of the files `inputs` (it would replace what it was made
/// from). Otherwise says why on `err`, naming it, headed by `program`, and
/// returns false.
bool checkOutputName(const char* program, const std::string& name,
                     const std::vector<std::string>& inputs, std::ostream& err);

#endif  // IRWAV_APP_OUTPUT_NAME_H_
