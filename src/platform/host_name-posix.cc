#include <unistd.h>

#include "platform/host_name.h"

std::string hostName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0) return "";
  std::string text(name);
  return text.substr(0, text.find('.'));
}
