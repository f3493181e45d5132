#include "common/text.h"

#include "launcher_test.h"

class TextTest : public LauncherTest {};

static std::string format(const char* pattern, ...) {
  TextBuffer buffer = {};
  va_list arguments;
  va_start(arguments, pattern);
  textAppendFormatList(&buffer, pattern, arguments);
  va_end(arguments);
  std::string text = buffer.data;
  textFree(&buffer);
  return text;
}

TEST_F(TextTest, FormatDirectives) {
  EXPECT_EQ("a=x, -12 7 %c 100%% y", format("a=%s, %d %u %c 100%% %s", "x", -12, 7u, "y"));
  EXPECT_EQ("(null) -2147483648 4294967295", format("%s %d %lu", (const char*)nullptr,
                                                    -2147483647 - 1, 4294967295UL));
  EXPECT_EQ("", format(""));
  EXPECT_EQ("trailing %", format("trailing %"));
}

TEST_F(TextTest, BufferGrowsPastAnySize) {
  TextBuffer buffer = {};
  std::string expected;
  for (int i = 0; i < 20000; ++i) {
    textAppend(&buffer, "abc");
    expected += "abc";
  }
  char* text = textRelease(&buffer);
  EXPECT_EQ(expected, text);
  EXPECT_EQ(nullptr, buffer.data);
  releaseMemory(text);
}
