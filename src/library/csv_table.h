#ifndef IRWAV_APP_CSV_TABLE_H_
#define IRWAV_APP_CSV_TABLE_H_

#include <cstddef>
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

#endif  // IRWAV_APP_CSV_TABLE_H_
