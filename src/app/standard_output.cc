#include "app/standard_output.h"

#include <iostream>

int statusAfterStandardOutput(const char* program, int status) {
  if (std::cout.flush()) return status;
  std::cerr << program << ": cannot write to standard output" << std::endl;
  return status == 0 ? 1 : status;
}
