// POSIX: arguments are bytes, passed on untouched.

#include "platform/arguments.h"

std::vector<std::string> commandLineArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}
