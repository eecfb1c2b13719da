#include "app/output_name.h"

#include <ostream>

#include "platform/file.h"

bool checkOutputName(const char* program, const std::string& name, std::ostream& err) {
  std::wstring wide;
  const char* reason = nullptr;
  if (!wideFileName(name, &wide))
    reason = "not a valid file name";
  else if (isStandardOutputFile(wide.c_str()))
    reason = "it is standard output too, and the report would land among the samples";
  if (!reason) return true;
  err << program << ": cannot write \"" << name << "\": " << reason << std::endl;
  return false;
}
