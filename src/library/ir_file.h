#ifndef IRWAV_APP_IR_FILE_H_
#define IRWAV_APP_IR_FILE_H_

#include <cstddef>
#include <string>
#include <vector>

#include "library/play_item.h"
#include "synth/ir_protocol.h"

/// One signal of an IR signals file (the handheld-remote collections'
/// `.ir` format).
struct IrFileSignal {
  std::string name;
  size_t line = 0;  ///< of its "name:"
  bool raw = false;
  std::string protocol;  ///< a parsed signal's, as encodeIrCode takes it
  IrFields fields;
  OwnedIrCode rawCode;  ///< a raw signal's durations at its frequency
  /// Why a signal cannot be sent (a protocol or value that does not
  /// convert, a raw signal without a carrier); empty when it can.
  std::string fault;
};

/// Reads the text of an IR signals file: "Filetype: IR signals file" (or
/// "IR library file"), "Version: 1", then blocks that each begin with
/// "name:". A block is "type: parsed" with "protocol:", "address:" and
/// "command:" (each 4 hexadecimal bytes, the low byte first), or "type: raw"
/// with "frequency:" (Hz), "data:" (mark and space durations in µs,
/// starting with a mark) and optionally "duty_cycle:" (a fraction, which
/// the sine drive has no use for). Lines starting with "#" and blank lines
/// are passed over. A parsed signal whose protocol or values do not convert
/// is kept with its fault, and so is a raw signal of frequency 0. Returns false, with the line and
/// the problem in *line and *error, for anything else.
bool readIrFile(const std::string& text, std::vector<IrFileSignal>* signals, size_t* line,
                std::string* error);

/// Reads the IR signals file `fileName` and appends to `items` its signals
/// named in `names` (any case; every signal of a name, in file order), or
/// all of its signals when `names` is empty. Parsed signals can be held
/// (--hold). Returns false, appending nothing, with a message naming the
/// file (and the line) for a file that cannot be read or is not a sound IR
/// signals file, a name that no signal has (the message lists the names),
/// or a chosen signal that cannot be sent.
bool appendIrFileCodes(const std::string& fileName, const std::vector<std::string>& names,
                       std::vector<PlayItem>* items, std::string* error);

#endif  // IRWAV_APP_IR_FILE_H_
