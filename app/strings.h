// Conversions between the engine's UTF-8 texts and file paths (std::string) and Qt's QString.
// Plain functions; any thread.
#pragma once

#include <QFile>
#include <QString>
#include <string>

namespace app {

inline QString qText(const std::string& utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// Texts that hold CR LF (reports, listings) are shown with the plain line ends Qt expects.
inline QString qLines(const std::string& crlf) { return qText(crlf).replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }


// A path as the file system spells it.
inline std::string stdPath(const QString& path) { return QFile::encodeName(path).toStdString(); }
inline QString qPath(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

}  // namespace app
