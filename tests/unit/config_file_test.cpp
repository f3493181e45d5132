#include "config/config_file.h"

#include "common/text.h"
#include "launcher_test.h"
#include "runtime/runtime_registry.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class ConfigFileTest : public LauncherTest {
 protected:
  int read(const std::string& content) {
    fakeAddFile("C:\\Work\\app.config", content);
    return readConfig("C:\\Work\\app.config");
  }
};

TEST_F(ConfigFileTest, KeysAreTriedInTableOrderAsPrefixesOfTheLine) {
  fakeAddDirectoryEntry("C:\\Work\\lib", "a.jar");
  read(
      "vmparamX -Dy=1\n"       // a vmparam line, whatever follows the key
      "javapath C:\\jre\\bin\\java.exe\n"
      "addpath classes\n"
      "addjars lib\n"          // tried before "addjar"
      "addjar lib/x.jar\n"
      "mainclass com.example.Main\n"
      "appname Example Viewer\n"
      "argument -open\n"
      "consoleTitle Viewer Console\n"
      "appUserModelId Example.Viewer $NOT_EXPANDED\n"
      "MainClass com.example.Other\n"  // keys are case-sensitive
      " mainclass indented\n"          // an indented line matches nothing
      "unknown key\n");
  EXPECT_THAT(listOf(settings.vmparam), ElementsAre("-Dy=1"));
  EXPECT_STREQ("C:\\jre\\bin\\java.exe", settings.javapath);
  EXPECT_THAT(listOf(settings.vmpath), ElementsAre("classes", "lib/x.jar"));
  EXPECT_THAT(listOf(settings.vmjars), ElementsAre("lib/a.jar"));
  EXPECT_STREQ("com.example.Main", settings.mainclass);
  EXPECT_STREQ("Example Viewer", settings.appname);
  EXPECT_THAT(listOf(settings.arguments), ElementsAre("-open"));
  EXPECT_STREQ("Viewer Console", settings.consoleTitle);
  EXPECT_STREQ("Example.Viewer $NOT_EXPANDED", settings.appUserModelId);
}

TEST_F(ConfigFileTest, CommentsEmptyLinesAndLinesWithoutABlankAreIgnored) {
  read("# mainclass hash\n// mainclass slashes\n/* mainclass star */\n\nmainclass\n"
       "mainclass\tTabbed\n");
  EXPECT_EQ(nullptr, settings.mainclass);
}

TEST_F(ConfigFileTest, ValueIsEverythingAfterTheFirstBlankWithoutTheLineFeed) {
  read("appname  two blanks \nmainclass\ta b\nargument \n");
  EXPECT_STREQ(" two blanks ", settings.appname);
  EXPECT_STREQ("b", settings.mainclass);  // the first blank comes after the tab
  EXPECT_THAT(listOf(settings.arguments), ElementsAre(""));
}

TEST_F(ConfigFileTest, FinalLineWithoutLineFeedKeepsItsLastCharacter) {
  read("appname Viewer\nmainclass com.example.Main");
  EXPECT_STREQ("com.example.Main", settings.mainclass);
}

TEST_F(ConfigFileTest, CarriageReturnBeforeLineFeedIsDroppedButALoneOneStays) {
  read("mainclass com.example.Main\r\nappname a\rb\r\n");
  EXPECT_STREQ("com.example.Main", settings.mainclass);
  EXPECT_STREQ("a\rb", settings.appname);
}

TEST_F(ConfigFileTest, CtrlZEndsTheFile) {
  read("appname Viewer\n\x1amainclass com.example.Main\n");
  EXPECT_STREQ("Viewer", settings.appname);
  EXPECT_EQ(nullptr, settings.mainclass);
}

TEST_F(ConfigFileTest, LongLinesAreReadWholeNotAsSeveralLines) {
  std::string longValue(10000, 'x');
  std::string line = "appname " + std::string(2039, 'a') + "mainclass piece";
  read("vmparam -D" + longValue + "\n" + line + "\n");
  ASSERT_EQ(1, settings.vmparam.count);
  EXPECT_EQ("-D" + longValue, settings.vmparam.items[0]);
  EXPECT_EQ(nullptr, settings.mainclass);  // no piece of the long line is read as a line
  EXPECT_EQ(std::string(2039, 'a') + "mainclass piece", settings.appname);
}

TEST_F(ConfigFileTest, EveryListTakesFarMoreThanAHundredEntriesInOrder) {
  std::vector<std::string> vmparams, paths, jars, arguments;
  std::string content;
  for (int i = 0; i < 250; ++i) {
    std::string n = std::to_string(i);
    vmparams.push_back("-Dn=" + n);
    paths.push_back("classes" + n);
    jars.push_back("lib/j" + n + ".jar");
    arguments.push_back("arg" + n);
    fakeAddDirectoryEntry("C:\\Work\\lib", "j" + n + ".jar");
    content += "vmparam -Dn=" + n + "\n" + (i % 2 ? "addjar " : "addpath ") + paths.back() +
               "\nargument arg" + n + "\n";
  }
  read(content + "addjars lib\n");
  EXPECT_EQ(vmparams, listOf(settings.vmparam));
  EXPECT_EQ(paths, listOf(settings.vmpath));
  EXPECT_EQ(jars, listOf(settings.vmjars));
  EXPECT_EQ(arguments, listOf(settings.arguments));
}

TEST_F(ConfigFileTest, ValuesAreExpandedWithTheQuotingOfTheirKey) {
  fakeSetEnvironment("APPDIR", "C:\\Program Files\\Viewer");
  read("addpath $APPDIR\\lib\nmainclass $APPDIR\\lib\nargument $APPDIR\\lib\n");
  EXPECT_THAT(listOf(settings.vmpath), ElementsAre("\"C:/Program Files/Viewer/lib\""));
  EXPECT_STREQ("C:/Program Files/Viewer/lib", settings.mainclass);
  EXPECT_THAT(listOf(settings.arguments), ElementsAre("$APPDIR\\lib"));  // never expanded
}

TEST_F(ConfigFileTest, LaterScalarWins) {
  read("mainclass first\nmainclass second\n");
  EXPECT_STREQ("second", settings.mainclass);
}

TEST_F(ConfigFileTest, UnopenableFileWritesItsErrorLine) {
  EXPECT_EQ(2, readConfig("C:\\Work\\missing.config"));
  EXPECT_EQ("Can't open C:\\Work\\missing.config Error No such file or directory\n",
            fake().error);
  EXPECT_TRUE(fake().boxes.empty());
}

TEST_F(ConfigFileTest, IncludedLinesTakeEffectInPlaceAndRelativeToTheCurrentDirectory) {
  fakeAddFile("C:\\Work\\common.config", "vmparam -Dcommon\nappname Included\n");
  read("vmparam -Dfirst\ninclude common.config\nvmparam -Dlast\ninclude nothere.config\n");
  EXPECT_THAT(listOf(settings.vmparam), ElementsAre("-Dfirst", "-Dcommon", "-Dlast"));
  EXPECT_STREQ("Included", settings.appname);
  EXPECT_EQ("Can't open nothere.config Error No such file or directory\n", fake().error);
  EXPECT_EQ(0, fake().openFiles);
}

TEST_F(ConfigFileTest, FileThatIncludesItselfIsReadOnce) {
  fakeAddFile("C:\\Work\\b.config", "vmparam -Db\ninclude C:/WORK/APP.CONFIG\n");
  read("vmparam -Da\ninclude b.config\ninclude app.config\n");
  EXPECT_THAT(listOf(settings.vmparam), ElementsAre("-Da", "-Db"));
  EXPECT_THAT(fake().error, HasSubstr("Can't include C:/WORK/APP.CONFIG: it is already being read"));
  EXPECT_THAT(fake().error, HasSubstr("Can't include app.config: it is already being read"));
}

TEST_F(ConfigFileTest, DeepNestingStopsAtTheLimitWithAnErrorLine) {
  // Every file names the next: an acyclic chain longer than the limit.
  for (int i = 1; i <= kMaxIncludeDepth + 5; ++i)
    fakeAddFile("C:\\Work\\n" + std::to_string(i) + ".config",
                "vmparam -D" + std::to_string(i) + "\ninclude n" + std::to_string(i + 1) +
                    ".config\n");
  read("include n1.config\n");
  EXPECT_EQ(kMaxIncludeDepth, settings.vmparam.count);
  EXPECT_THAT(fake().error, HasSubstr("includes nested more than 32 deep"));
  EXPECT_EQ(0, fake().openFiles);
}

// A "javaVersion" line stops the read where it stands, its expanded version
// stored and nothing after it applied; the read then goes on, or is given up
// with nothing left open, however deep it stopped.
TEST_F(ConfigFileTest, AJavaVersionLineStopsTheReadWhereItStands) {
  fakeSetEnvironment("V", "1.4.2_05");
  fakeAddFile("C:\\Work\\inner.config", "vmparam -Dinner\njavaVersion $V\nvmparam -Dafter\n");
  fakeAddFile("C:\\Work\\outer.config", "include inner.config\nappname Outer\n");
  ConfigReading reading;
  ASSERT_EQ(kConfigAtJavaVersion, readConfigFile(&reading, "C:\\Work\\outer.config"));
  EXPECT_STREQ("1.4.2_05", settings.javaVersion);
  EXPECT_THAT(listOf(settings.vmparam), ElementsAre("-Dinner"));
  EXPECT_EQ(2, fake().openFiles);
  EXPECT_EQ(kConfigReadWhole, continueConfigRead(&reading));
  EXPECT_THAT(listOf(settings.vmparam), ElementsAre("-Dinner", "-Dafter"));
  EXPECT_STREQ("Outer", settings.appname);
  EXPECT_EQ(0, fake().openFiles);

  resetLaunchSettings();
  ASSERT_EQ(kConfigAtJavaVersion, readConfigFile(&reading, "C:\\Work\\outer.config"));
  abandonConfigRead(&reading);
  EXPECT_EQ(0, fake().openFiles);
  EXPECT_EQ(nullptr, settings.appname);
  EXPECT_EQ("", fake().error);
}

TEST_F(ConfigFileTest, JavaVersionLocatesJavaAtOnceAndLaterLinesOverride) {
  fakeSetRegistryValue(RUNTIME_ROOT_KEY "\\1.4.2_05", "JavaHome", "C:\\j2re1.4.2_05");
  read("javapath C:\\jre\\bin\\java.exe\njavaVersion 1.4.2_05\n");
  EXPECT_STREQ("C:\\j2re1.4.2_05\\bin\\javaw.exe", settings.javapath);
  read("javaVersion 1.4.2_05\njavapath C:\\jre\\bin\\java.exe\n");
  EXPECT_STREQ("C:\\jre\\bin\\java.exe", settings.javapath);
}

TEST_F(ConfigFileTest, JavaVersionWithoutAJavaExecutableEndsWithStatus5AndNothingOpen) {
  EXPECT_EQ(5, read("javaVersion \nmainclass after\n"));
  EXPECT_TRUE(fake().boxes.empty());  // an empty version shows nothing
  EXPECT_EQ(nullptr, settings.mainclass);
  EXPECT_EQ(0, fake().openFiles);

  fakeAddRegistryKey(RUNTIME_ROOT_KEY);
  EXPECT_EQ(5, read("javaVersion 1.4.2_05\n"));
  EXPECT_THAT(captions(), ElementsAre("Java Runtime Environment Not Found"));
  EXPECT_EQ(0, fake().openFiles);
}

TEST_F(ConfigFileTest, SearchKeysAreExpandedUnquotedAndJavaHomeKeepsEveryLineInOrder) {
  fakeSetEnvironment("JAVA_HOME", "C:\\Program Files\\Java\\jdk-17");
  fakeSetEnvironment("SITE", "https://example.com");
  read("minJava 1.8.0_292\nmaxJava 17\njavaBits 64\njavaHome runtime\njavaHome $JAVA_HOME\n"
       "downloadPage $SITE/java\nminJava 11\n");
  EXPECT_STREQ("11", settings.minJava);  // a later line replaces an earlier one
  EXPECT_STREQ("17", settings.maxJava);
  EXPECT_STREQ("64", settings.javaBits);
  EXPECT_THAT(listOf(settings.javaHome), ElementsAre("runtime", "C:/Program Files/Java/jdk-17"));
  EXPECT_STREQ("https://example.com/java", settings.downloadPage);
  EXPECT_EQ(nullptr, settings.javapath);  // reading them looks nothing up
  EXPECT_EQ(0, fakeCallCount(kFakeRegistryEntries));
}

// Where the settings say so (the console launcher), relative paths are taken
// from the exe's directory; others, and other keys' values, stay as written.
TEST_F(ConfigFileTest, RelativePathsAreTakenFromTheExeDirectoryWhereTheSettingsSaySo) {
  const std::string tools = "C:\\Program Files\\Tools";
  fake().programPath = tools + "\\convert.exe";
  settings.pathsFromProgramDirectory = true;
  read("addpath classes\naddjar lib/x.jar\naddpath C:\\abs\naddpath \\rooted\n"
       "addpath \"quoted dir\"\naddpath \nvmparam -Dlibrary=lib\n");
  EXPECT_THAT(listOf(settings.vmpath),
              ElementsAre(tools + "\\classes", tools + "\\lib/x.jar", "C:\\abs", "\\rooted",
                          "\"" + tools + "\\quoted dir\"", ""));
  EXPECT_THAT(listOf(settings.vmparam), ElementsAre("-Dlibrary=lib"));
}

// Made full, a javapath with a blank is quoted: Windows would otherwise try
// C:\Program.exe first.
TEST_F(ConfigFileTest, AJavapathMadeFullIsQuotedWhenItHoldsABlank) {
  struct Row {
    const char* line;
    const char* javapath;
    bool quoted;
  } rows[] = {
      {"javapath jre\\bin\\java.exe", "C:\\Program Files\\Tools\\jre\\bin\\java.exe", true},
      {"javapath \"jre\\bin\\java.exe\"", "\"C:\\Program Files\\Tools\\jre\\bin\\java.exe\"", false},
      {"javapath D:\\jre\\bin\\java.exe", "D:\\jre\\bin\\java.exe", false},
      {"javapath ", "", false},
  };
  for (const Row& row : rows) {
    SetUp();
    fake().programPath = "C:\\Program Files\\Tools\\convert.exe";
    settings.pathsFromProgramDirectory = true;
    read(std::string(row.line) + "\n");
    EXPECT_STREQ(row.javapath, settings.javapath) << row.line;
    EXPECT_EQ(row.quoted, settings.javapathQuoted) << row.line;
  }
}
