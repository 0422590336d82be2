// The Latin-1 code page between bytes and QString.
#include <gtest/gtest.h>

#include <QString>
#include <string>

#include "platform/Latin1Qt.h"

TEST(Latin1Qt, EveryByteRoundTripsThroughQString) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const QString text = Latin1ToQString(all);
  ASSERT_EQ(text.size(), 256);
  for (int b = 0; b < 256; ++b) EXPECT_EQ(text[b].unicode(), b);
  EXPECT_EQ(QStringToLatin1(text), all);
  EXPECT_EQ(Latin1ToQString(QByteArray("\xe9t\xe9", 3)), QString::fromUtf8("\xc3\xa9t\xc3\xa9"));
  // Characters outside Latin-1 cannot be kept: they become '?'.
  EXPECT_EQ(QStringToLatin1(QString::fromUtf8("x\xe2\x82\xacy")), "x?y");
}
