#ifndef IRWAV_APP_CODE_LISTING_H_
#define IRWAV_APP_CODE_LISTING_H_

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>

#include "library/play_item.h"

/// How --list and --brands print: the table for eyes, or one record per
/// code for programs.
enum class ListFormat { kTable, kTsv, kJson };

/// Reads a --format value: "table", "tsv" or "json". Returns false for
/// anything else.
bool parseListFormat(const std::string& text, ListFormat* format);

/// What a listing says about one code. Where a field is unknown or does not
/// apply, a number holds -1 and a text is empty; both print as empty in TSV
/// and as null in JSON.
struct CodeRecord {
  int64_t index = -1;  ///< its built-in table index
  std::string name;    ///< as the report names it
  std::string brand;
  std::string protocol;  ///< as --code takes it, in its usual spelling
  int64_t device = -1;
  int64_t subdevice = -1;  ///< -1 as well for the protocol's default
  int64_t function = -1;
  std::string extra;  ///< the further fields as --code takes them: "t=1", "m=170:n=90:e=1"
  uint32_t carrierHz = 0;
  size_t marks = 0;
  bool documented = false;  ///< a documented code of its brand
  std::string source;       ///< where it is documented, or why it is a guess
  bool renders = false;     ///< at the sample rate the listing is for
};

/// The record of `item` at `sampleRate`. A built-in code is described by
/// its table entry, a library code by its library row, a universal list's
/// entry by its list, place and decoded fields; a user's code
/// written as --code takes it by the pieces of that text; a code of
/// neither kind (a Pronto code) by its name, carrier and marks alone.
CodeRecord codeRecord(const PlayItem& item, uint32_t sampleRate);

/// Prints records one after the other in TSV (a header line naming the
/// fields, then one line per record, tab-separated, no padding; a tab,
/// line break or backslash inside a text as \t, \n, \r or \\) or as one JSON
/// array of objects. The fields, in order: index, name, brand, protocol,
/// device, subdevice, function, extra, carrier, marks, documented, source,
/// renders. The constructor prints the header line or the array's opening,
/// finish ends the output; call it once, also when no record came.
class RecordPrinter {
 public:
  RecordPrinter(std::ostream& out, ListFormat format);
  void add(const CodeRecord& record);
  void finish();

 private:
  std::ostream& out_;
  ListFormat format_;
  size_t count_ = 0;
};

/// What `--keys all` says about one key code.
struct KeyRecord {
  std::string family;         ///< as --keys takes it: "NECx2:7.7"
  std::string kind;           ///< "tv", "audio", "projector", "box"
  std::string key;            ///< "volume_up"
  std::string code;           ///< as --code takes it: "necx2:7.7:7"
  uint32_t remotes = 0;       ///< the family's files that send this code for the key
  uint32_t filesWithKey = 0;  ///< the family's files that have the key
  std::string unplayable;     ///< why it cannot be sent; "" when it can
};

/// Prints key records as a table (aligned columns), in TSV (a header line,
/// then a line per record) or as one JSON array of objects, text escaped as
/// RecordPrinter does. The fields, in order: family, kind, key, code,
/// remotes, files, unplayable (empty, or null in JSON, when it plays).
class KeyRecordPrinter {
 public:
  KeyRecordPrinter(std::ostream& out, ListFormat format);
  void add(const KeyRecord& record);
  void finish();

 private:
  std::ostream& out_;
  ListFormat format_;
  size_t count_ = 0;
};

#endif  // IRWAV_APP_CODE_LISTING_H_
