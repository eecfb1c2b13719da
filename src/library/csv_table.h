#ifndef IRWAV_APP_CSV_TABLE_H_
#define IRWAV_APP_CSV_TABLE_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

/// A table read from CSV text: the header's column names and the rows, each
/// with one field per column.
struct CsvTable {
  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> rows;

  /// The index of the column named `name`, or columns.size() when there is none.
  [[nodiscard]] size_t column(const std::string& name) const;
};

/// Reads CSV text: a header line, then one row a line. Fields are separated
/// by commas; a field in double quotes may hold commas, and a doubled quote
/// stands for one. A line break inside quotes is not allowed (one row a line).
/// Returns false, with the line and the fault in *error, for a row whose
/// field count differs from the header's or a quote out of place.
bool readCsv(std::string_view text, CsvTable* table, std::string* error);

/// Reads CSV text as readCsv does, a row at a time: checks that its header
/// names the `count` columns of `columns`, in that order, and gives each
/// row to `take` with its number (0 the first after the header) and its
/// fields, one per column, which `take` may keep. Returns false, with the
/// fault in *error ("line 1: the columns are not those of WHAT", or what
/// readCsv or `take` says), for text that is not such a table; `take` is
/// not called after a fault.
bool readCsvRows(std::string_view text, const char* const* columns, size_t count,
                 const std::string& what,
                 const std::function<bool(size_t row, std::vector<std::string>& fields,
                                          std::string* error)>& take,
                 std::string* error);

/// As readCsvRows, for text embedded a line a string, a null pointer after
/// the last (cmake/embed_csv.cmake).
bool readCsvRows(const char* const* lines, const char* const* columns, size_t count,
                 const std::string& what,
                 const std::function<bool(size_t row, std::vector<std::string>& fields,
                                          std::string* error)>& take,
                 std::string* error);

/// As readCsvRows, for the lines `next` gives, one a call (false after the
/// last).
bool readCsvLines(const std::function<bool(std::string* line)>& next, const char* const* columns,
                  size_t count, const std::string& what,
                  const std::function<bool(size_t row, std::vector<std::string>& fields,
                                           std::string* error)>& take,
                  std::string* error);

/// Reads a decimal field of at most `max`; an empty one leaves *value as
/// it is, the field's default. Returns false for anything else.
bool readCsvNumber(const std::string& text, int32_t max, int32_t* value);

/// The message for a fault of data row `row` (0 the first after the
/// header): "line N: WHAT".
std::string csvRowFault(size_t row, const std::string& what);

#endif  // IRWAV_APP_CSV_TABLE_H_
