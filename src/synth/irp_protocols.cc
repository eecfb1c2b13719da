#include "synth/irp_protocols.h"

#include <algorithm>
#include <sstream>

#include "synth/decimal.h"

namespace {

/// Applies a line's changes: parameters replace those of the same name,
/// definitions replace the parameter they name.
void applyChanges(const std::vector<IrpParameter>& parameters,
                  const std::vector<IrpDefinition>& definitions, IrpProtocol* irp) {
  auto drop = [irp](const std::string& name) {
    std::vector<IrpParameter>& list = irp->parameters;
    const auto found = std::find_if(list.begin(), list.end(),
                                    [&name](const IrpParameter& p) { return p.name == name; });
    return found == list.end() ? found : list.erase(found);
  };
  for (const IrpParameter& p : parameters) irp->parameters.insert(drop(p.name), p);
  for (const IrpDefinition& d : definitions) {
    drop(d.name);
    irp->definitions.push_back(d);
  }
}

struct Table {
  std::vector<IrpProtocolEntry> entries;
  std::string error;
};

const Table& table() {
  static const Table parsed = [] {
    Table t;
    parseIrpProtocolTable(kIrpProtocolText, &t.entries, &t.error);
    return t;
  }();
  return parsed;
}

}  // namespace

bool parseIrpProtocolTable(const std::string& text, std::vector<IrpProtocolEntry>* entries,
                           std::string* error) {
  std::istringstream lines(text);
  size_t number = 0;
  for (std::string line; std::getline(lines, line);) {
    ++number;
    std::istringstream words(line);
    IrpProtocolEntry entry;
    std::string press;
    std::string changes;
    if (!(words >> entry.name) || entry.name[0] == '#') continue;
    uint64_t frames = 0;
    std::string irpError;
    if (!(words >> press >> changes) || !readDecimal(press, &frames) || frames == 0 ||
        frames > 100) {
      irpError = "expected NAME, PRESS (1 to 100 frames), CHANGES and IRP";
    } else {
      entry.pressFrames = static_cast<uint32_t>(frames);
      std::getline(words >> std::ws, entry.irpText);
      std::vector<IrpParameter> parameters;
      std::vector<IrpDefinition> definitions;
      if (parseIrp(entry.irpText, &entry.irp, &irpError) &&
          (changes == "-" || parseIrpExtras(changes, &parameters, &definitions, &irpError))) {
        applyChanges(parameters, definitions, &entry.irp);
        entries->push_back(std::move(entry));
        continue;
      }
    }
    *error = "line " + std::to_string(number) + " (" + entry.name + "): " + irpError;
    return false;
  }
  return true;
}

const std::vector<IrpProtocolEntry>& irpProtocols() { return table().entries; }

const std::string& irpProtocolTableError() { return table().error; }
