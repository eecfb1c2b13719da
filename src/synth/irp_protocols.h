#ifndef IRWAV_SYNTH_IRP_PROTOCOLS_H_
#define IRWAV_SYNTH_IRP_PROTOCOLS_H_

#include <cstdint>
#include <string>
#include <vector>

#include "synth/irp.h"

/// One protocol of the table (data/irp-protocols.txt).
struct IrpProtocolEntry {
  std::string name;
  /// The frames of the repeated part a short press sends (see IrpPress).
  uint32_t pressFrames = 1;
  std::string irpText;  ///< the IRP as the table writes it
  IrpProtocol irp;      ///< parsed, the table's changes applied
};

/// The table's text as the build embeds it.
extern const char kIrpProtocolText[];

/// Parses a table written as data/irp-protocols.txt is: one protocol a
/// line, "NAME PRESS CHANGES IRP", blank lines and "#" comments ignored.
/// Returns false with the line number and the fault in *error.
bool parseIrpProtocolTable(const std::string& text, std::vector<IrpProtocolEntry>* entries,
                           std::string* error);

/// The built-in table, parsed at first use. Should a line not parse, the
/// table ends before it and irpProtocolTableError() says why (a test
/// makes sure the table's file parses whole).
const std::vector<IrpProtocolEntry>& irpProtocols();
const std::string& irpProtocolTableError();

#endif  // IRWAV_SYNTH_IRP_PROTOCOLS_H_
