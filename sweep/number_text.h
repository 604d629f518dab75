// Numbers as the sweep's own files write them (CSV, folder names, commands): the shortest text
// that reads back to the same double, '.' as decimal point, whatever the locale.
//
// Any thread.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vek::sweep {

// "0.4", "1000", "1e-05", "inf", "-inf"; "nan" for a value that is not a number.
std::string shortestText(double value);
// The same, but "" for a value that is not a number (an empty CSV field reads as missing in
// pandas, R and spreadsheets).
std::string csvNumber(double value);
// The whole of `text` as a number, or nothing.
std::optional<double> parseNumber(std::string_view text);

}  // namespace vek::sweep
