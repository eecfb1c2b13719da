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

namespace {

/// Reads the header and then each row of the lines `next` gives (false
/// after the last), giving each line's fields to `header` or `row`.
bool readLines(
    const std::function<bool(std::string* line)>& next,
    const std::function<bool(std::vector<std::string>& fields, std::string* error)>& header,
    const std::function<bool(size_t row, std::vector<std::string>& fields, std::string* error)>&
        row,
    std::string* error) {
  size_t lineNumber = 0;
  size_t columns = 0;
  for (std::string line; next(&line);) {
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> fields;
    if (!splitLine(line, &fields)) {
      *error = "line " + std::to_string(lineNumber) + ": a quote out of place";
      return false;
    }
    if (lineNumber == 1) {
      columns = fields.size();
      if (!header(fields, error)) return false;
      continue;
    }
    if (fields.size() != columns) {
      *error = "line " + std::to_string(lineNumber) + ": " + std::to_string(fields.size()) +
               " fields where the header has " + std::to_string(columns);
      return false;
    }
    if (!row(lineNumber - 2, fields, error)) return false;
  }
  return true;
}

/// The lines of `text`, one a call.
std::function<bool(std::string* line)> linesOf(std::string_view text) {
  return [text, start = size_t{0}](std::string* line) mutable {
    if (start >= text.size()) return false;
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    *line = std::string(text.substr(start, end - start));
    start = end + 1;
    return true;
  };
}

}  // namespace

bool readCsv(std::string_view text, CsvTable* table, std::string* error) {
  *table = CsvTable();
  return readLines(
      linesOf(text),
      [table](std::vector<std::string>& fields, std::string*) {
        table->columns = std::move(fields);
        return true;
      },
      [table](size_t, std::vector<std::string>& fields, std::string*) {
        table->rows.push_back(std::move(fields));
        return true;
      },
      error);
}

bool readCsvRows(std::string_view text, const char* const* columns, size_t count,
                 const std::string& what,
                 const std::function<bool(size_t row, std::vector<std::string>& fields,
                                          std::string* error)>& take,
                 std::string* error) {
  return readCsvLines(linesOf(text), columns, count, what, take, error);
}

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): as readCsvRows of text
bool readCsvRows(const char* const* lines, const char* const* columns, size_t count,
                 const std::string& what,
                 const std::function<bool(size_t row, std::vector<std::string>& fields,
                                          std::string* error)>& take,
                 std::string* error) {
  const auto next = [lines](std::string* line) mutable {
    if (*lines == nullptr) return false;
    *line = *lines++;
    return true;
  };
  return readCsvLines(next, columns, count, what, take, error);
}

bool readCsvLines(const std::function<bool(std::string* line)>& next, const char* const* columns,
                  size_t count, const std::string& what,
                  const std::function<bool(size_t row, std::vector<std::string>& fields,
                                           std::string* error)>& take,
                  std::string* error) {
  return readLines(
      next,
      [&](std::vector<std::string>& fields, std::string* fault) {
        if (std::equal(columns, columns + count, fields.begin(), fields.end())) return true;
        *fault = "line 1: the columns are not those of " + what;
        return false;
      },
      take, error);
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
