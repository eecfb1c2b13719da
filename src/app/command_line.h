#ifndef IRWAV_APP_COMMAND_LINE_H_
#define IRWAV_APP_COMMAND_LINE_H_

#include <cstddef>
#include <string>
#include <vector>

/// Whether --help (or -h) or --version stands among `args` before "--":
/// the first one found is set, and it wins over everything else.
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters)
inline bool findHelpOrVersion(const std::vector<std::string>& args, bool* help, bool* version) {
  for (const std::string& arg : args) {
    if (arg == "--") break;
    if (arg == "--help" || arg == "-h") {
      *help = true;
      return true;
    }
    if (arg == "--version") {
      *version = true;
      return true;
    }
  }
  return false;
}

/// The value of the option args[*i], given as "--name=VALUE" or as
/// "--name VALUE": what follows the first "=", or else the next argument,
/// to which *i then moves. Returns false, with "option --name needs a
/// value" in *error, when there is none.
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters)
inline bool takeOptionValue(const std::vector<std::string>& args, size_t* i, std::string* value,
                            std::string* error) {
  const std::string& arg = args[*i];
  const size_t equals = arg.find('=');
  if (equals != std::string::npos) {
    *value = arg.substr(equals + 1);
  } else if (*i + 1 < args.size()) {
    *value = args[++*i];
  } else {
    *error = "option " + arg + " needs a value";
    return false;
  }
  return true;
}

#endif  // IRWAV_APP_COMMAND_LINE_H_
