#include "launch/command_line.h"

#include "launcher_test.h"
#include "support/command_line_split.h"

using ::testing::ElementsAre;

class CommandLineTest : public LauncherTest {
 protected:
  void SetUp() override {
    LauncherTest::SetUp();
    setSetting(&settings.javapath, "C:\\j2re1.4.2_05\\bin\\javaw.exe");
    setSetting(&settings.mainclass, "com.example.viewer.Main");
  }
  static std::string build() {
    char* line = buildCommandLine();
    std::string text = line;
    releaseMemory(line);
    return text;
  }
};

TEST_F(CommandLineTest, TheDocumentedExampleByteForByte) {
  appendSetting(&settings.vmparam, "-Xmx256m");
  appendSetting(&settings.vmparam, "-Dviewer.home=C:/Apps/Viewer");
  appendSetting(&settings.vmpath, "classes");
  appendSetting(&settings.vmjars, "lib/a.jar");
  appendSetting(&settings.vmjars, "lib/b.jar");
  appendSetting(&settings.arguments, "-open");
  appendSetting(&settings.arguments, "My File.txt");
  EXPECT_EQ(
      "C:\\j2re1.4.2_05\\bin\\javaw.exe -Xmx256m -Dviewer.home=C:/Apps/Viewer -classpath "
      "classes;lib/a.jar;lib/b.jar com.example.viewer.Main -open \"My File.txt\" ",
      build());
}

TEST_F(CommandLineTest, ReservedLengthFollowsItsCountAndIsTracedInDebugMode) {
  appendSetting(&settings.vmparam, "-Xmx256m");
  appendSetting(&settings.vmpath, "classes");
  appendSetting(&settings.vmjars, "lib/a.jar");
  appendSetting(&settings.arguments, "-open");
  int expected = 29 + 2 + 23 + 2 + 8 + 2 + 7 + 2 + 9 + 2 + 5 + 3 + 12;
  EXPECT_EQ(expected, reservedCommandLineLength());
  build();
  EXPECT_EQ("", fake().output);
  settings.debug = true;
  build();
  EXPECT_EQ("cmdLine is " + std::to_string(expected) + " chars long\n", fake().output);
}

// Texts are UTF-8 inside, but the count stays the one in the ANSI code page:
// "Zürich" is six characters there, though seven bytes in UTF-8.
TEST_F(CommandLineTest, ReservedLengthCountsCharactersOfTheCodePageNotUtf8Bytes) {
  appendSetting(&settings.vmparam, "-Dcity=Z\xC3\xBCrich");
  appendSetting(&settings.arguments, "\xD0\x9A\xD0\xB8");  // two characters the code page lacks
  EXPECT_EQ(29 + 2 + 23 + 2 + 13 + 2 + 2 + 3 + 12, reservedCommandLineLength());
}

TEST_F(CommandLineTest, NoVmparamsAndJarsOnly) {
  appendSetting(&settings.vmjars, "lib/a.jar");
  appendSetting(&settings.vmjars, "lib/b.jar");
  EXPECT_EQ("C:\\j2re1.4.2_05\\bin\\javaw.exe -classpath lib/a.jar;lib/b.jar com.example.viewer.Main",
            build());
}

TEST_F(CommandLineTest, NoClassPathLeavesTheOptionOut) {
  appendSetting(&settings.vmparam, "-Xmx1m");
  EXPECT_EQ("C:\\j2re1.4.2_05\\bin\\javaw.exe -Xmx1m com.example.viewer.Main", build());
}

TEST_F(CommandLineTest, RawPiecesStayExactlyAsStored) {
  setSetting(&settings.javapath, "C:\\Program Files\\jre\\bin\\java.exe");
  appendSetting(&settings.vmparam, "-Dhome=\"C:/Program Files/App\"");
  appendSetting(&settings.vmpath, "\"C:/My Classes\"");
  EXPECT_EQ(
      "C:\\Program Files\\jre\\bin\\java.exe -Dhome=\"C:/Program Files/App\" -classpath "
      "\"C:/My Classes\" com.example.viewer.Main",
      build());
}

// An entry with a blank or a tab and no double quote of its own is quoted,
// so that the class path stays one argument; one with quotes stands as written.
TEST_F(CommandLineTest, ClassPathEntriesWithBlanksAreQuotedIntoOneArgument) {
  struct Case {
    std::vector<const char*> vmpath, vmjars;
    const char* option;     // as the line gives it
    const char* classPath;  // as Java's C runtime reads it
  } cases[] = {
      {{"lib/a.jar"}, {"lib/plugin (1).jar"}, "lib/a.jar;\"lib/plugin (1).jar\"",
       "lib/a.jar;lib/plugin (1).jar"},
      {{"C:\\My Classes\\", "tab\there"}, {}, "\"C:\\My Classes\\\\\";\"tab\there\"",
       "C:\\My Classes\\;tab\there"},
      {{"\"C:/Program Files/App\"/a.jar", "b c.jar"}, {}, "\"C:/Program Files/App\"/a.jar;\"b c.jar\"",
       "C:/Program Files/App/a.jar;b c.jar"},
      {{""}, {}, "\"\"", ""},
  };
  for (const Case& c : cases) {
    SetUp();
    for (const char* entry : c.vmpath) appendSetting(&settings.vmpath, entry);
    for (const char* jar : c.vmjars) appendSetting(&settings.vmjars, jar);
    std::string line = build();
    EXPECT_EQ(std::string("C:\\j2re1.4.2_05\\bin\\javaw.exe -classpath ") + c.option +
                  " com.example.viewer.Main",
              line);
    std::vector<std::string> args = splitLikeCRuntime(line);
    ASSERT_LE(3u, args.size()) << line;
    EXPECT_EQ(c.classPath, args[2]) << line;
  }
}

// Java expands an unquoted '*' or '?' in a program argument into file names:
// an argument reaches it quoted as its caller quoted it.
TEST_F(CommandLineTest, ArgumentsKeepTheQuotingTheirCallerGaveThem) {
  struct Case {
    const char* argument;
    bool callerQuoted;
    const char* onTheLine;
  } cases[] = {
      {"*.java", true, "\"*.java\""},  {"*.java", false, "*.java"},
      {"a?.txt", true, "\"a?.txt\""},  {"C:\\dir\\", true, "\"C:\\dir\\\\\""},
      {"two words", false, "\"two words\""}, {"", false, "\"\""},
  };
  std::string expected = "C:\\j2re1.4.2_05\\bin\\javaw.exe com.example.viewer.Main ";
  for (const Case& c : cases) {
    appendSetting(&settings.arguments, c.argument);
    if (c.callerQuoted) quoteArgument(settings.arguments.count - 1);
    expected += std::string(c.onTheLine) + " ";
  }
  std::string line = build();
  EXPECT_EQ(expected, line);
  std::vector<std::string> args = splitLikeCRuntime(line);
  ASSERT_EQ(2 + sizeof cases / sizeof *cases, args.size());
  for (size_t i = 0; i < sizeof cases / sizeof *cases; ++i) EXPECT_EQ(cases[i].argument, args[i + 2]);
}

TEST_F(CommandLineTest, EachArgumentArrivesAsExactlyItsText) {
  const char* tricky[] = {"plain",       "My File.txt",    "",          "tab\there",
                          "say \"hi\"",  "a\"b",           "C:\\dir\\", "C:\\my dir\\",
                          "back\\\\\"q", "trailing\\\\",   "\\\\server\\share", "-D\"x y\"",
                          "\"",          "\\"};
  for (const char* arg : tricky) appendSetting(&settings.arguments, arg);
  std::string line = build();
  std::vector<std::string> args = splitLikeCRuntime(line);
  ASSERT_EQ(2 + sizeof tricky / sizeof *tricky, args.size()) << line;
  for (size_t i = 0; i < sizeof tricky / sizeof *tricky; ++i) EXPECT_EQ(tricky[i], args[i + 2]);
  EXPECT_EQ(' ', line.back());
}

TEST_F(CommandLineTest, UsualArgumentsKeepTheirSimpleForm) {
  appendSetting(&settings.arguments, "-open");
  appendSetting(&settings.arguments, "C:\\dir\\");
  appendSetting(&settings.arguments, "two words");
  EXPECT_EQ("C:\\j2re1.4.2_05\\bin\\javaw.exe com.example.viewer.Main -open C:\\dir\\ \"two words\" ",
            build());
}

TEST_F(CommandLineTest, ManyEntriesAreAllPresent) {
  for (int i = 0; i < 500; ++i) {
    appendSetting(&settings.vmparam, ("-Dp" + std::to_string(i)).c_str());
    appendSetting(&settings.vmjars, ("lib/" + std::to_string(i) + ".jar").c_str());
  }
  std::string line = build();
  EXPECT_NE(std::string::npos, line.find("-Dp0 -Dp1 "));
  EXPECT_NE(std::string::npos, line.find(" -Dp499 -classpath lib/0.jar;"));
  EXPECT_NE(std::string::npos, line.find(";lib/499.jar com.example.viewer.Main"));
}
