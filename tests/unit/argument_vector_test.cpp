#include "common/argument_vector.h"

#include "common/exit_status.h"
#include "launcher_test.h"

namespace {

struct Argument {
  std::string text;
  bool quoted;
  Argument(const char* text, bool quoted = false) : text(text), quoted(quoted) {}
  bool operator==(const Argument& other) const {
    return text == other.text && quoted == other.quoted;
  }
};

Argument quoted(const char* text) { return {text, true}; }

std::ostream& operator<<(std::ostream& out, const Argument& argument) {
  return out << (argument.quoted ? "quoted " : "") << "[" << argument.text << "]";
}

std::vector<Argument> split(const char* line) {
  ArgumentVector vector = splitCommandLine(line);
  std::vector<Argument> arguments;
  for (int i = 0; i < vector.count; ++i) arguments.push_back({vector.values[i], vector.quoted[i]});
  EXPECT_EQ(nullptr, vector.values[vector.count]) << line;
  releaseMemory(vector.values);
  return arguments;
}

class ArgumentVectorTest : public LauncherTest {};

TEST_F(ArgumentVectorTest, SplitsAsTheCRuntimeDid) {
  struct Row {
    const char* line;
    std::vector<Argument> arguments;
  } rows[] = {
      // The program name: quotes toggle and go, a backslash is a character.
      {"\"C:\\Program Files\\x.exe\" a", {quoted("C:\\Program Files\\x.exe"), "a"}},
      {"\"a b\"c d", {quoted("a bc"), "d"}},
      {"a\\\"b c", {quoted("a\\b c")}},
      {"", {""}},
      {" a", {"", "a"}},
      // Blanks and tabs separate; backslashes are literal but before a quote.
      {"p \ta\t\tb ", {"p", "a", "b"}},
      {"p a\\\\b a\\ \"a\\\\\" b", {"p", "a\\\\b", "a\\", quoted("a\\"), "b"}},
      {"p \\\"a \\\\\"a b\" \\\\\\\"a", {"p", "\"a", quoted("\\a b"), "\\\"a"}},
      {"p \"a b", {"p", quoted("a b")}},
      // Empty quoted parts, and "" inside one: a quote, and the part closes.
      {"p \"\" x\"\"", {"p", quoted(""), quoted("x")}},
      {"p \"a\"\"b c\" d", {"p", quoted("a\"b"), quoted("c d")}},
      {"p \"\"\"\"", {"p", quoted("\"")}},
      // Only a quote that acted as one marks an argument quoted.
      {"p \"*.java\" *.java a\"*\"b \\\"*\\\"", {"p", quoted("*.java"), "*.java", quoted("a*b"), "\"*\""}},
      {"p \"Ява 1\" ё", {"p", quoted("Ява 1"), "ё"}},
  };
  for (const Row& row : rows) EXPECT_EQ(row.arguments, split(row.line)) << row.line;
}

TEST_F(ArgumentVectorTest, TheProcessArgumentsComeFromItsCommandLine) {
  fake().commandLine = "\"C:\\Apps\\Tool\\tool.exe\" -d \"two words\"";
  ArgumentVector vector = commandLineArguments();
  ASSERT_EQ(3, vector.count);
  EXPECT_STREQ("C:\\Apps\\Tool\\tool.exe", vector.values[0]);
  EXPECT_STREQ("two words", vector.values[2]);
  releaseMemory(vector.values);

  fakeFailCall({FAKE_ENTRY(commandLine)}, 1);
  EXPECT_EQ(kExitOutOfMemory, runCatchingExit([] { commandLineArguments(); }).status);
  EXPECT_EQ("Out of memory\n", fake().error);
}

}  // namespace
