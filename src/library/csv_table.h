#ifndef IRWAV_APP_CSV_TABLE_H_
#define IRWAV_APP_CSV_TABLE_H_

#include <cstddef>
#include <cstdint>
#include <string>
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
bool readCsv(const std::string& text, CsvTable* table, std::string* error);

/// Reads CSV text as readCsv does, and checks that its header names the
/// `count` columns of `columns`, in that order. Returns false, with the
/// fault in *error ("line 1: the columns are not those of WHAT"), for text
/// that is not such a table.
bool readCsvTable(const std::string& text, const char* const* columns, size_t count,
                  const std::string& what, CsvTable* table, std::string* error);

/// Reads a decimal field of at most `max`; an empty one leaves *value as
/// it is, the field's default. Returns false for anything else.
bool readCsvNumber(const std::string& text, int32_t max, int32_t* value);

/// The message for a fault of data row `row` (0 the first after the
/// header): "line N: WHAT".
std::string csvRowFault(size_t row, const std::string& what);

#endif  // IRWAV_APP_CSV_TABLE_H_
