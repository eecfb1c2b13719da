#ifndef IRWAV_PLATFORM_ARGUMENTS_H_
#define IRWAV_PLATFORM_ARGUMENTS_H_

#include <string>
#include <vector>

/// The arguments that follow the program name, from main's `argc` and
/// `argv`. On POSIX they are argv's bytes as they are. On Windows they are
/// the wide command line in UTF-8 (a lone surrogate, which a Windows name
/// may hold, in the three bytes UTF-8 would give it), so that every
/// character of a file name survives, whatever the console's code page.
std::vector<std::string> commandLineArguments(int argc, char** argv);

#endif  // IRWAV_PLATFORM_ARGUMENTS_H_
