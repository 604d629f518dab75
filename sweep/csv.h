// CSV as the sweep writes it: a header row, comma separated, UTF-8, LF line ends, a field
// quoted only when it holds a comma, a quote or a line end. pandas, R and spreadsheets read it.
//
// Any thread.
#pragma once

#include <string>
#include <vector>

namespace vek::sweep {

// One row with its line end.
std::string csvRow(const std::vector<std::string>& fields);
// Splits one line (without its line end) into its fields, undoing the quotes.
std::vector<std::string> csvFields(const std::string& line);

}  // namespace vek::sweep
