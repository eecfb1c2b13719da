// POSIX: arguments are bytes, passed on untouched.

#include "platform/arguments.h"

std::vector<std::string> commandLineArguments(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return args;
}
