#include <gtest/gtest.h>

#include "core/TextLines.h"

TEST(TextLines, EveryLineEndKindEndsALineAndOnlyLfAfterCrIsSkipped) {
  EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  // CR CR is two line ends (an empty line between), LF CR too.
  EXPECT_EQ(SplitLines("a\r\rb"), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(SplitLines("a\n\rb"), (std::vector<std::string>{"a", "", "b"}));
  // The byte after a CR is kept unless it is an LF.
  EXPECT_EQ(SplitLines("a\rxb"), (std::vector<std::string>{"a", "xb"}));
}

TEST(TextLines, LastLineWithoutLineEndIsALineAndEmptyTextHasNone) {
  EXPECT_EQ(SplitLines("a\r\nb"), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(SplitLines("a\r\n"), (std::vector<std::string>{"a"}));
  EXPECT_TRUE(SplitLines("").empty());
  EXPECT_EQ(SplitLines("\r\n"), (std::vector<std::string>{""}));
}
