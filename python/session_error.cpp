#include "python/session_error.h"

namespace vek::python {

SessionError errorFrom(const FileOutcome& outcome, ErrorKind otherwise) {
  const std::string& message = outcome.error;
  auto names = [&](const char* cause) { return message.find(cause) != std::string::npos; };
  // The causes as the records write them: the C library's own texts after a file's name, and
  // the records' words for a claimed folder and for a folder in a file's place.
  ErrorKind kind = otherwise;
  if (names(": No such file or directory")) kind = ErrorKind::kNotFound;
  else if (names(": Permission denied") || names(": Read-only file system")) kind = ErrorKind::kPermission;
  else if (names(": Is a directory") || names("it is a folder, not a file")) kind = ErrorKind::kIsFolder;
  else if (names(" is in use by ")) kind = ErrorKind::kInUse;
  return SessionError(kind, message);
}

}  // namespace vek::python
