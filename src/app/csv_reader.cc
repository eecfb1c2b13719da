#include "app/csv_reader.h"

bool readCsv(const std::string& text, std::vector<CsvRow>* rows, std::string* error) {
  rows->clear();
  size_t line = 1;
  size_t i = 0;
  const auto fail = [&](const char* what) {
    *error = "line " + std::to_string(line) + ": " + what;
    return false;
  };
  while (i < text.size()) {
    CsvRow row(1);
    for (;;) {
      std::string& field = row.back();
      if (i < text.size() && text[i] == '"') {
        const size_t openedOn = line;
        for (++i;; ++i) {
          if (i >= text.size()) {
            line = openedOn;
            return fail("a quoted field does not end");
          }
          if (text[i] == '"') {
            if (i + 1 < text.size() && text[i + 1] == '"') {
              field += '"';
              ++i;
              continue;
            }
            ++i;
            break;
          }
          if (text[i] == '\n') ++line;
          field += text[i];
        }
      } else {
        while (i < text.size() && text[i] != ',' && text[i] != '\n' && text[i] != '\r' &&
               text[i] != '"')
          field += text[i++];
      }
      if (i < text.size() && text[i] == ',') {
        ++i;
        row.emplace_back();
        continue;
      }
      if (i + 1 < text.size() && text[i] == '\r' && text[i + 1] == '\n') ++i;
      if (i < text.size() && text[i] != '\n') return fail("a quote out of place");
      ++i;
      ++line;
      break;
    }
    rows->push_back(std::move(row));
  }
  return true;
}
