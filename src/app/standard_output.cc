#include "app/standard_output.h"

#include <ostream>

int checkStandardOutput(int status, std::ostream& out, std::ostream& err, const char* program) {
  if (out.flush()) return status;
  err << program << ": cannot write to standard output" << std::endl;
  return status == 0 ? 1 : status;
}
