// What Java gets for names that the ANSI code page (the fake's: Latin-1)
// cannot spell: the short form of each existing file or folder they name.
#include "launch/spellable_paths.h"

#include "app/main_sequence.h"
#include "launch/launch_java.h"
#include "launcher_test.h"
#include "support/command_line_split.h"

using ::testing::ElementsAre;

class SpellablePathsTest : public LauncherTest {
 protected:
  void SetUp() override {
    LauncherTest::SetUp();
    fake().currentDirectory = "C:\\App";
    fakeAddFile("C:\\Ява\\bin\\javaw.exe", "");
    fakeSetShortPath("C:\\Ява\\bin\\javaw.exe", "C:\\YAVA~1\\bin\\javaw.exe");
    fakeAddFile("C:\\Program Files\\Ява\\bin\\javaw.exe", "");
    fakeSetShortPath("C:\\Program Files\\Ява\\bin\\javaw.exe", "C:\\PROGRA~1\\YAVA~1\\bin\\javaw.exe");
    fakeAddDirectoryEntry("C:\\App\\классы", "a.class");
    fakeSetShortPath("C:\\App\\классы", "KLASSY~1");
    fakeAddFile("C:\\App\\lib\\ядро.jar", "");
    fakeSetShortPath("C:\\App\\lib\\ядро.jar", "C:\\App\\lib\\YADRO~1.JAR");
    fakeAddFile("C:\\App\\документ.txt", "");
    fakeSetShortPath("C:\\App\\документ.txt", "DOKUME~1.TXT");
    fakeAddFile("C:\\App\\Café.txt", "");
    fakeSetShortPath("C:\\App\\Café.txt", "CAF~1.TXT");  // never needed: Latin-1 spells it
    setSetting(&settings.mainclass, "a.Main");
  }
  std::string commandLineFor(const char* javapath, const std::vector<const char*>& vmpath,
                             const std::vector<const char*>& arguments) {
    setSetting(&settings.javapath, javapath);
    for (const char* entry : vmpath) appendSetting(&settings.vmpath, entry);
    for (const char* argument : arguments) appendSetting(&settings.arguments, argument);
    JavaRun run;
    launchConfigured(kGuiLauncher, &run);
    return fake().processes.empty() ? "(nothing started)" : fake().processes[0].commandLine;
  }
};

TEST_F(SpellablePathsTest, ExistingUnspellablePathsGoToJavaInShortForm) {
  struct Case {
    const char* what;
    const char* javapath;
    std::vector<const char*> vmpath;
    std::vector<const char*> arguments;
    const char* commandLine;
  };
  const Case cases[] = {
      {"the code page spells it: as written", "C:\\jre\\javaw.exe", {"Café.txt"}, {"Café.txt", "é"},
       "C:\\jre\\javaw.exe -classpath Café.txt a.Main Café.txt é "},
      {"the executable", "C:\\Ява\\bin\\javaw.exe", {}, {},
       "C:\\YAVA~1\\bin\\javaw.exe a.Main"},
      {"a quoted executable keeps its quotes", "\"C:/Program Files/Ява/bin/javaw.exe\"", {}, {},
       "\"C:\\PROGRA~1\\YAVA~1\\bin\\javaw.exe\" a.Main"},
      {"class-path entries, relative or absolute, either slash, one by one",
       "j",
       {"классы", "C:/App/lib/ядро.jar;lib/x.jar;\"C:\\App\\lib\\ядро.jar\""},
       {},
       "j -classpath KLASSY~1;C:\\App\\lib\\YADRO~1.JAR;lib/x.jar;\"C:\\App\\lib\\YADRO~1.JAR\" "
       "a.Main"},
      {"arguments that name an existing file", "j", {}, {"документ.txt", "C:\\App\\документ.txt"},
       "j a.Main DOKUME~1.TXT DOKUME~1.TXT "},
      {"what names nothing stays as written", "C:\\Нет\\javaw.exe", {"нет.jar"}, {"не файл"},
       "C:\\Нет\\javaw.exe -classpath нет.jar a.Main \"не файл\" "},
  };
  for (const Case& c : cases) {
    SetUp();  // a fresh world for each case
    EXPECT_EQ(c.commandLine, commandLineFor(c.javapath, c.vmpath, c.arguments)) << c.what;
    EXPECT_TRUE(fake().boxes.empty()) << c.what;
  }
}

TEST_F(SpellablePathsTest, WithoutShortNamesOneBoxNamesThePathAndNothingStarts) {
  struct Case {
    const char* what;
    bool volumeHasShortNames;
    const char* javapath;
    const char* named;
  };
  const Case cases[] = {
      {"the volume keeps none", false, "C:\\Ява\\bin\\javaw.exe", "C:\\Ява\\bin\\javaw.exe"},
      {"this file has none", true, "C:\\jre\\javaw.exe", "C:\\App\\lib\\ядро2.jar"},
  };
  for (const Case& c : cases) {
    SetUp();  // a fresh world for each case
    fakeAddFile("C:\\App\\lib\\ядро2.jar", "");
    fake().volumeHasShortNames = c.volumeHasShortNames;
    setSetting(&settings.javapath, c.javapath);
    appendSetting(&settings.vmpath, "C:\\App\\lib\\ядро2.jar");
    appendSetting(&settings.arguments, "документ.txt");
    JavaRun run;
    EXPECT_EQ(kOutcomeJavaRefused, launchConfigured(kGuiLauncher, &run)) << c.what;
    EXPECT_TRUE(fake().processes.empty()) << c.what;
    ASSERT_EQ(1u, fake().boxes.size()) << c.what;
    EXPECT_EQ("Error", fake().boxes[0].caption);
    EXPECT_EQ((unsigned)kBoxIconError, fake().boxes[0].style);
    EXPECT_EQ(std::string("Java cannot be given the path\n") + c.named +
                  "\nThe system's code page cannot spell it, and its drive keeps no short (8.3) "
                  "name for it.",
              fake().boxes[0].text)
        << c.what;
  }
}

// Windows gives Java its line in the code page with best fit, where a
// character the page lacks becomes a look-alike or '?': the launcher quotes
// and escapes by the text Java reads, so that no argument's bounds move and
// no wildcard appears that its caller did not type; a JVM option or a
// quoted class-path entry that would read otherwise is refused.
TEST_F(SpellablePathsTest, QuotingFollowsTheTextJavaReadsInTheCodePage) {
  struct Case {
    const char* what;
    int codePage;
    std::vector<const char*> vmparam, vmpath, arguments;
    std::string outcome;  // the command line, or the refused text
    std::vector<std::string> javaReads;  // its arguments as Java reads them; none for a refusal
  };
  const Case cases[] = {
      {"a fullwidth quote in an argument is escaped as the quote Java reads", kFakeLatin1, {}, {},
       {"say ＂hi＂"}, "j a.Main \"say \\\"hi\\\"\" ", {"a.Main", "say \"hi\""}},
      {"an argument that names nothing reaches Java quoted: its '?' are not wildcards",
       kFakeLatin1, {}, {}, {"отчёт.txt"}, "j a.Main \"отчёт.txt\" ", {"a.Main", "?????.txt"}},
      {"a no-break space in 932 is a blank: quoted", kFakeJapanese, {}, {"lib/a\u00A0b.jar"},
       {"x\u00A0y"}, "j -classpath \"lib/a b.jar\" a.Main \"x\u00A0y\" ",
       {"-classpath", "lib/a b.jar", "a.Main", "x y"}},
      {"double-byte characters stand as written", kFakeJapanese, {"-Dname=ソ表"}, {"表\\"},
       {"表 能"}, "j -Dname=ソ表 -classpath 表\\ a.Main \"表 能\" ",
       {"-Dname=ソ表", "-classpath", "表\\", "a.Main", "表 能"}},
      {"look-alikes that mean nothing on the line, and '?' in options, stand as written",
       kFakeLatin1, {"-Dq=it＇s", "-Dname=Жук"}, {}, {}, "j -Dq=it＇s -Dname=Жук a.Main",
       {"-Dq=it's", "-Dname=???", "a.Main"}},
      {"an option that would gain quotes is refused", kFakeLatin1, {"-Dx=＂a b＂"}, {}, {},
       "-Dx=＂a b＂", {}},
      {"a class-path entry that would gain a quote is refused", kFakeLatin1, {}, {"a＂b.jar"}, {},
       "a＂b.jar", {}},
  };
  for (const Case& c : cases) {
    SetUp();
    fake().codePage = c.codePage;
    for (const char* option : c.vmparam) appendSetting(&settings.vmparam, option);
    std::string line = commandLineFor("j", c.vmpath, c.arguments);
    if (c.javaReads.empty()) {
      EXPECT_TRUE(fake().processes.empty()) << c.what;
      ASSERT_EQ(1u, fake().boxes.size()) << c.what;
      EXPECT_EQ("Java cannot be given\n" + c.outcome, fake().boxes[0].text.substr(0, 21 + c.outcome.size()));
      continue;
    }
    EXPECT_EQ(c.outcome, line) << c.what;
    std::string read = fakeAnsiToUtf8Form(c.codePage, fakeAnsiForm(c.codePage, line.c_str(), true).c_str());
    std::vector<bool> quoted;
    std::vector<std::string> args = splitLikeCRuntime(read, &quoted);
    EXPECT_EQ(c.javaReads, std::vector<std::string>(args.begin() + 1, args.end())) << c.what;
    size_t main = std::find(args.begin(), args.end(), "a.Main") - args.begin();
    for (size_t i = main + 1; i < args.size(); ++i)  // Java expands wildcards after the main class
      EXPECT_TRUE(args[i].find('?') == std::string::npos || quoted[i]) << c.what << ": " << args[i];
  }
}

TEST_F(SpellablePathsTest, TheLengthLimitCountsCharactersNotBytes) {
  // "j -classpath " + entry + " a.Main": at the limit with two-byte characters.
  std::string entry;
  for (int i = 0; i < kMaxCommandLineLength - 20; ++i) entry += "ж";
  EXPECT_EQ(0, commandLineFor("j", {entry.c_str()}, {}).find("j -classpath "));
  ASSERT_EQ(1u, fake().processes.size());

  SetUp();
  commandLineFor("j", {(entry + "ж").c_str()}, {});
  EXPECT_TRUE(fake().processes.empty());
  ASSERT_EQ(1u, fake().boxes.size());
  EXPECT_EQ("The Java command line is 32767 characters long; Windows accepts at most 32766\n"
            "Java 9 or later would take a line this long.",
            fake().boxes[0].text);
}

// The whole start of an application installed in a folder that the code page
// cannot spell, started by its full path, with a configuration file in UTF-8.
TEST_F(SpellablePathsTest, AnApplicationInAnUnspellableFolderStartsWithShortPaths) {
  fakeAddFile("C:\\Программы\\Вьювер\\viewer.config",
              "\xEF\xBB\xBF"
              "appname Просмотрщик\n"
              "javapath C:\\Ява\\bin\\javaw.exe\n"
              "mainclass a.Main\n"
              "addjars lib\n"
              "argument документ.txt\n");
  fakeAddDirectoryEntry("C:\\Программы\\Вьювер\\lib", "ядро.jar");
  fakeAddFile("C:\\Программы\\Вьювер\\lib\\ядро.jar", "");
  fakeSetShortPath("C:\\Программы\\Вьювер\\lib\\ядро.jar", "lib\\YADRO~1.JAR");
  fakeAddFile("C:\\Программы\\Вьювер\\документ.txt", "");
  fakeSetShortPath("C:\\Программы\\Вьювер\\документ.txt", "DOKUME~1.TXT");
  std::string program = "C:\\Программы\\Вьювер\\viewer.exe";
  fake().programPath = program;
  char* argv[] = {&program[0]};
  EXPECT_EQ(0, runLauncher(kGuiLauncher, 1, argv));
  EXPECT_THAT(fake().directoryChanges, ElementsAre("C:\\Программы\\Вьювер"));
  EXPECT_STREQ("Просмотрщик", settings.appname);
  ASSERT_EQ(1u, fake().processes.size());
  EXPECT_EQ("C:\\YAVA~1\\bin\\javaw.exe -classpath lib\\YADRO~1.JAR a.Main DOKUME~1.TXT ",
            fake().processes[0].commandLine);
}
