#include "library/csv_table.h"

#include <algorithm>
#include <iterator>

#include "synth/decimal.h"

namespace {

/// Splits one line into its fields; false when a quote is out of place.
bool splitLine(const std::string& line, std::vector<std::string>* fields) {
  fields->assign(1, std::string());
  size_t i = 0;
  while (i <= line.size()) {
    std::string& field = fields->back();
    if (i < line.size() && line[i] == '"') {
      // A quoted field runs to the quote that is not doubled.
      for (++i;; ++i) {
        if (i >= line.size()) return false;
        if (line[i] != '"') {
          field += line[i];
        } else if (i + 1 < line.size() && line[i + 1] == '"') {
          field += '"';
          ++i;
        } else {
          break;
        }
      }
      ++i;
      if (i < line.size() && line[i] != ',') return false;
    } else {
      for (; i < line.size() && line[i] != ','; ++i) {
        if (line[i] == '"') return false;
        field += line[i];
      }
    }
    if (i >= line.size()) break;
    fields->emplace_back();
    ++i;
  }
  return true;
}

}  // namespace

size_t CsvTable::column(const std::string& name) const {
  return static_cast<size_t>(std::find(columns.begin(), columns.end(), name) - columns.begin());
}

bool readCsv(const std::string& text, CsvTable* table, std::string* error) {
  *table = CsvTable();
  size_t lineNumber = 0;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> fields;
    if (!splitLine(line, &fields)) {
      *error = "line " + std::to_string(lineNumber) + ": a quote out of place";
      return false;
    }
    if (lineNumber == 1) {
      table->columns = std::move(fields);
      continue;
    }
    if (fields.size() != table->columns.size()) {
      *error = "line " + std::to_string(lineNumber) + ": " + std::to_string(fields.size()) +
               " fields where the header has " + std::to_string(table->columns.size());
      return false;
    }
    table->rows.push_back(std::move(fields));
  }
  return true;
}

bool readCsvTable(const std::string& text, const char* const* columns, size_t count,
                  const std::string& what, CsvTable* table, std::string* error) {
  if (!readCsv(text, table, error)) return false;
  if (std::equal(columns, columns + count, table->columns.begin(), table->columns.end()))
    return true;
  *error = "line 1: the columns are not those of " + what;
  return false;
}

bool readCsvNumber(const std::string& text, int32_t max, int32_t* value) {
  uint64_t v = 0;
  if (text.empty()) return true;
  if (!readDecimal(text, &v) || v > static_cast<uint64_t>(max)) return false;
  *value = static_cast<int32_t>(v);
  return true;
}

std::string csvRowFault(size_t row, const std::string& what) {
  return "line " + std::to_string(row + 2) + ": " + what;
}
