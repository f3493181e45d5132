// The end of Java's standard error, as the box shows it.
#include "launch/error_tail.h"

#include "launcher_test.h"

namespace {

std::string numberedLines(int first, int last, const std::string& ending = "\r\n") {
  std::string lines;
  for (int i = first; i <= last; ++i) lines += "line " + std::to_string(i) + ending;
  return lines;
}

using ErrorTailTest = LauncherTest;

TEST_F(ErrorTailTest, ShowsTheLastWholeLinesWithinTheLimits) {
  const std::string x400(400, 'x');
  struct Case {
    const char* what;
    std::vector<std::string> reads;
    std::string shown;  // "(none)": nothing to show
  } cases[] = {
      {"no output", {}, "(none)"},
      {"only blank lines", {"\r\n  \r\n\r\n"}, "(none)"},
      {"a last line without a line break", {"Exception in thread \"main\"\r\n\tat a.Main", ""},
       "Exception in thread \"main\"\n\tat a.Main"},
      {"twenty lines: the last twelve", {numberedLines(1, 20)},
       numberedLines(9, 19, "\n") + "line 20"},
      {"lines split across reads", {"Caused by: java.lang.Unsupp", "ortedClassVersionError\n"},
       "Caused by: java.lang.UnsupportedClassVersionError"},
      {"1,500 characters: the last three of five lines of 401",
       {"a" + x400 + "\nb" + x400 + "\nc" + x400 + "\nd" + x400 + "\ne" + x400 + "\n"},
       "c" + x400 + "\nd" + x400 + "\ne" + x400},
      {"a last line too long alone: its start", {"first\n" + std::string(2000, 'y')},
       std::string(1497, 'y') + "..."},
      {"the code page's text, a NUL shown as a blank", {std::string("caf\xE9\0!\n", 7)},
       "caf\xC3\xA9 !"},
      {"more than is kept: the line whose start was dropped is left out",
       {std::string(9000, 'z') + "\n", "last\n"}, "last"},
  };
  for (const Case& c : cases) {
    ErrorTail tail = {};
    for (const std::string& read : c.reads) keepErrorTail(&tail, read.data(), read.size());
    char* shown = errorTailLines(&tail);
    EXPECT_EQ(c.shown, shown ? shown : "(none)") << c.what;
    releaseMemory(shown);
  }
}

TEST_F(ErrorTailTest, KeepsTheLastBytesOfAnyNumberOfReads) {
  ErrorTail tail = {};
  std::string written;
  for (int i = 0; i < 3000; ++i) {
    std::string read = numberedLines(i, i);
    keepErrorTail(&tail, read.data(), read.size());
    written += read;
  }
  EXPECT_EQ(written.substr(written.size() - kErrorTailBytes), std::string(tail.bytes, tail.kept));
  EXPECT_TRUE(tail.cut);
}

}  // namespace
