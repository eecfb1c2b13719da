#ifndef IRWAV_APP_CSV_READER_H_
#define IRWAV_APP_CSV_READER_H_

#include <string>
#include <vector>

/// One row of a CSV text: its fields, unquoted.
using CsvRow = std::vector<std::string>;

/// Splits CSV text into rows of fields: fields are separated by commas and
/// rows by line breaks ("\n" or "\r\n"); a field in double quotes may hold
/// commas, line breaks and quotes written twice (""). A final line break
/// adds no row. Returns false, with the line number in *error, for a quote
/// that is never closed, a quote inside an unquoted field, or anything but a
/// comma or a line break right after a closing quote.
bool readCsv(const std::string& text, std::vector<CsvRow>* rows, std::string* error);

#endif  // IRWAV_APP_CSV_READER_H_
