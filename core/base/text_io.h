// Text helpers shared by every file of the system.
//
// Files are written with CR LF line ends, byte for byte, so they move between installations;
// every reader accepts CR LF and LF. Numbers are written and read in the classic "C" locale
// whatever locale the program runs under.
#pragma once

#include <istream>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>

namespace vek {

inline constexpr const char* kEol = "\r\n";

// The line reader: skips white space (empty lines included), then takes the characters up to
// the next line end, of any length, and consumes that line end. `line` receives the text
// without its line end (and without a CR before it). Returns true when a line end was found;
// false at the end of the input, where `line` holds whatever unterminated text was left.
// When nothing but white space remained, the stream's failbit is set.
bool readLine(std::istream& in, std::string& line);

// Skips one line with the line reader, whatever it holds (frame and header lines).
void skipLine(std::istream& in);

// A stream prepared for a saved world: classic locale, general notation, 10 significant digits.
void useWorldNumberFormat(std::ios_base& stream);
// Same format for one number outside a stream ("%.10g").
std::string formatG10(double value);

// Reads one white-space separated number of a saved block. Unlike `in >> value`, a double
// accepts the "inf", "-inf" and "nan" that the writer prints for such values, and the target
// keeps its value when no number could be read (the stream is then failed). An integer beyond
// the 32-bit range is no number a save can hold: the stream fails.
bool readDouble(std::istream& in, double& value);
bool readInt(std::istream& in, int& value);

// A saved file's text being read, which remembers why a block reader refused a value that it
// read well enough but that no save of the program can hold (a negative age, an opcode
// outside 0..31), and where in the text it stood, so the message can name it.
class SavedText : public std::istringstream {
 public:
  explicit SavedText(std::string text) : std::istringstream(std::move(text)) {}
  // "" while no value was refused.
  const std::string& problem() const { return mProblem; }
  std::streamoff problemAt() const { return mProblemAt; }
  void note(const std::string& problem, std::streamoff at) {
    if (mProblem.empty()) {
      mProblem = problem;
      mProblemAt = at;
    }
  }

 private:
  std::string mProblem;
  std::streamoff mProblemAt = -1;
};

// Fails `in` because the value just read cannot stand in a save; `what` says which value and
// why ("the age -5 is negative"). A SavedText keeps the reason and the place.
void rejectValue(std::istream& in, const std::string& what);
// The 1-based line of `text` that holds byte `offset` (0 for no offset): saved worlds reach
// many megabytes, and a line number is what a person can find in an editor.
int lineOfOffset(std::string_view text, std::streamoff offset);

// Converts text with LF line ends to CR LF (a CR already standing before an LF is kept).
std::string toCrLf(std::string_view text);

// Parses the number at the very start of `text` as "%lf" / "%d" would, in the classic locale.
// Returns false (and leaves `value` unchanged) when no number stands there. Integers beyond
// the 32-bit range are clamped.
bool parseLeadingDouble(std::string_view text, double& value);
bool parseLeadingInt(std::string_view text, int& value);

// Writes `bytes` to `path` by way of a temporary file in the same folder (`path` +
// ".tmpXXXXXX") and a rename, so an earlier file of that name is never left half-written.
// Returns false when the file could not be written (the earlier file is then untouched).
bool writeFileAtomically(const std::string& path, std::string_view bytes);
// Writes `bytes` to `path` (replacing it) and forces them to the disk before returning.
bool writeFileDurably(const std::string& path, std::string_view bytes);
// Forces a folder's entries (new names, renames) to the disk.
bool syncFolder(const std::string& folder);
// Forces a file's bytes to the disk.
bool syncFile(const std::string& path);

// Appends `bytes` to `path`, creating it if needed. Returns false on failure.
bool appendToFile(const std::string& path, std::string_view bytes);

}  // namespace vek
