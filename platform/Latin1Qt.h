#pragma once
// The Latin-1 code page between bytes and QString (see platform/Latin1.h).
#include <QByteArray>
#include <QString>
#include <string>
#include <string_view>

#include "platform/Latin1.h"

inline QString Latin1ToQString(std::string_view Bytes) {
  return QString::fromLatin1(Bytes.data(), static_cast<qsizetype>(Bytes.size()));
}

inline QString Latin1ToQString(const QByteArray& Bytes) { return QString::fromLatin1(Bytes); }

// Characters outside Latin-1 become '?'.
inline std::string QStringToLatin1(const QString& Text) {
  std::string out(static_cast<size_t>(Text.size()), '\0');
  for (qsizetype i = 0; i < Text.size(); ++i) out[static_cast<size_t>(i)] = static_cast<char>(CharToLatin1(Text[i].unicode()));
  return out;
}
