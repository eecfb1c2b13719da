#include "app/output_name.h"

#include <ostream>

#include "app/visible_text.h"
#include "platform/file.h"

bool checkOutputName(const char* program, const std::string& name,
                     const std::vector<std::string>& inputs, std::ostream& err) {
  std::wstring wide;
  std::string reason;
  if (!wideFileName(name, &wide)) {
    reason = "not a valid file name";
  } else if (isStandardOutputFile(wide.c_str())) {
    reason = "it is standard output too, and the report would land among the samples";
  } else {
    for (const std::string& input : inputs) {
      std::wstring wideInput;
      if (wideFileName(input, &wideInput) && isSameFile(wide.c_str(), wideInput.c_str())) {
        reason = "it is the input file \"" + visibleText(input) + "\", which it would replace";
        break;
      }
    }
  }
  if (reason.empty()) return true;
  err << program << ": cannot write \"" << visibleText(name) << "\": " << reason << std::endl;
  return false;
}
