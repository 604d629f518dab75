// What the Python module's C++ side reports when an operation fails: a message for a person
// that names the file and the fault, and which kind of fault it is, so that Python raises the
// exception a user would catch for it (FileNotFoundError, ValueError, ...).
//
// Plain value; any thread.
#pragma once

#include <stdexcept>
#include <string>

#include "base/file_outcome.h"

namespace vek::python {

enum class ErrorKind {
  kValue,       // a value or file content that cannot be used: ValueError
  kKey,         // no individual or gene of that identifier: KeyError
  kIndex,       // no individual at that index: IndexError
  kNotFound,    // FileNotFoundError
  kExists,      // a world already saved where a new one would go: FileExistsError
  kIsFolder,    // a folder where a file should be: IsADirectoryError
  kPermission,  // PermissionError
  kInUse,       // the folder's world is open in another program: vek.FolderInUseError
  kFile,        // any other failure to read or write a file: OSError
  kClosed,      // the world was closed: ValueError
};

class SessionError : public std::runtime_error {
 public:
  SessionError(ErrorKind kind, const std::string& message) : std::runtime_error(message), mKind(kind) {}
  ErrorKind kind() const { return mKind; }

 private:
  ErrorKind mKind;
};

// The error for a failed file operation of the records. The kind follows the cause the
// message names (a missing file, a refused permission, a folder in use...); `otherwise`
// when it names none, which is the case for malformed contents.
SessionError errorFrom(const FileOutcome& outcome, ErrorKind otherwise);

}  // namespace vek::python
