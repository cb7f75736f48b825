// The core's texts are UTF-8 bytes with "\r\n" line breaks; Qt's are QStrings with "\n".
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace tollivane::frontend::qt {

inline QString toQString(std::string_view text) {
  QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return s;
}

inline std::string toStdString(const QString& text) { return text.toUtf8().toStdString(); }

}  // namespace tollivane::frontend::qt
