#include "runtime/java_location.h"

#include "launch/command_line.h"
#include "launcher_test.h"
#include "runtime/runtime_registry.h"

using ::testing::ElementsAre;

class JavaLocationTest : public LauncherTest {
 protected:
  static std::string text(char* heap) {
    if (!heap) return "<none>";
    std::string copy = heap;
    releaseMemory(heap);
    return copy;
  }
  // The executable found for the version, "<none>", or "<missing>" when the
  // version's download was offered.
  std::string forVersion(const char* version) {
    setSetting(&settings.javaVersion, version);
    char* path = nullptr;
    JavaLookup found = findJavaForVersion(&path);
    EXPECT_EQ(found == kJavaFound, path != nullptr);
    return found == kJavaMissing ? "<missing>" : text(path);
  }
  static void installHome(const std::string& version, const std::string& home) {
    fakeSetRegistryValue(RUNTIME_ROOT_KEY "\\" + version, "JavaHome", home);
  }
};

TEST_F(JavaLocationTest, ALocatedJavaIsQuotedOnlyForABlankAndFollowsConsoleJava) {
  struct Case {
    const char* home;
    bool consoleJava;
    const char* command;
  } cases[] = {
      {"C:\\j2re1.4.2", false, "C:\\j2re1.4.2\\bin\\javaw.exe"},
      {"C:\\Program Files\\Java\\j2re1.4.2_05", false,
       "\"C:\\Program Files\\Java\\j2re1.4.2_05\\bin\\javaw.exe\""},
      {"C:\\tab\there", false, "C:\\tab\there\\bin\\javaw.exe"},
      {"C:\\j2re1.4.2", true, "C:\\j2re1.4.2\\bin\\java.exe"},
  };
  for (const Case& c : cases) {
    settings.consoleJava = c.consoleJava;
    char* executable = javaExecutableInHome(c.home);
    useLocatedJava(executable);
    releaseMemory(executable);
    EXPECT_EQ(c.command, text(javaCommandText())) << c.home;
  }
}

TEST_F(JavaLocationTest, ExactPatchReleaseIsUsedWithoutEnumeration) {
  installHome("1.4.2_05", "C:\\j2re1.4.2_05");
  EXPECT_EQ("C:\\j2re1.4.2_05\\bin\\javaw.exe", forVersion("1.4.2_05"));
  EXPECT_EQ("", fake().output);  // the resolution did not run
  EXPECT_EQ(0, fake().openRegistryKeys);
}

TEST_F(JavaLocationTest, FamilyAndMinimumAreResolvedFirst) {
  installHome("1.4.2_03", "C:\\j2re1.4.2_03");
  installHome("1.4.2_08", "C:\\Program Files\\Java\\j2re1.4.2_08");
  EXPECT_EQ("C:\\Program Files\\Java\\j2re1.4.2_08\\bin\\javaw.exe", forVersion("1.4.2_05+"));
  EXPECT_STREQ("1.4.2_08", settings.javaVersion);
  EXPECT_EQ("C:\\Program Files\\Java\\j2re1.4.2_08\\bin\\javaw.exe", forVersion("1.4.2"));
}

TEST_F(JavaLocationTest, MissingVersionKeyPromptsAndReturnsNothing) {
  fakeAddRegistryKey(RUNTIME_ROOT_KEY);
  setSetting(&settings.appname, "Example Viewer");
  settings.debug = true;
  EXPECT_EQ("<none>", forVersion("1.4.2_05"));
  EXPECT_THAT(captions(), ElementsAre("JavaInstallRegPath", "Error Accessing Registry!",
                                      "Java Runtime Environment Not Found"));
  EXPECT_EQ(RUNTIME_ROOT_KEY "\\1.4.2_05", fake().boxes[0].text);
  EXPECT_EQ("Java Current Version", fake().boxes[1].text);
  EXPECT_EQ((unsigned)(kBoxIconError | kBoxYesNo), fake().boxes[2].style);
}

TEST_F(JavaLocationTest, MissingJavaHomeIsReportedWithTheKeyPath) {
  fakeAddRegistryKey(RUNTIME_ROOT_KEY "\\1.4.2_05");
  EXPECT_EQ("<none>", forVersion("1.4.2_05"));
  ASSERT_THAT(captions(), ElementsAre("Error!"));
  EXPECT_EQ("No Java Home Directory Found for " RUNTIME_ROOT_KEY "\\1.4.2_05 ", fake().boxes[0].text);
  EXPECT_EQ(0, fake().openRegistryKeys);
  settings.debug = true;
  fake().boxes.clear();
  forVersion("1.4.2_05");
  EXPECT_THAT(captions(), ElementsAre("JavaInstallRegPath", "Error Reading Registry!", "Error!"));
}

TEST_F(JavaLocationTest, EmptyVersionReturnsNothingSilently) {
  EXPECT_EQ("<none>", forVersion(""));
  EXPECT_TRUE(fake().boxes.empty());
}

TEST_F(JavaLocationTest, JavaHomeWithoutTerminatingNulOrOfAnyLength) {
  fakeSetRegistryValue(RUNTIME_ROOT_KEY "\\1.4.2_05", "JavaHome", "C:\\jre", false);
  EXPECT_EQ("C:\\jre\\bin\\javaw.exe", forVersion("1.4.2_05"));
  std::string longHome = "C:\\" + std::string(3000, 'h');
  installHome("1.4.2_06", longHome);
  EXPECT_EQ(longHome + "\\bin\\javaw.exe", forVersion("1.4.2_06"));
}

TEST_F(JavaLocationTest, JavaHomesAroundTheFirstReadSizeWithAndWithoutNul) {
  for (size_t length : {254, 255, 256, 257, 511, 512, 513}) {
    for (bool withNul : {false, true}) {
      std::string home = "C:\\" + std::string(length - 3, 'h');
      fakeSetRegistryValue(RUNTIME_ROOT_KEY "\\1.4.2_05", "JavaHome", home, withNul);
      EXPECT_EQ(home + "\\bin\\javaw.exe", forVersion("1.4.2_05")) << length << withNul;
    }
  }
}

TEST_F(JavaLocationTest, JavaHomeBeyondAnyPathIsRefusedAsUnreadable) {
  installHome("1.4.2_05", std::string((1 << 24) + 1, 'h'));
  EXPECT_EQ("<none>", forVersion("1.4.2_05"));
  EXPECT_THAT(captions(), ElementsAre("Error!"));
  EXPECT_EQ(0, fake().openRegistryKeys);
}

TEST_F(JavaLocationTest, LongVersionKeyPathsAreShownWhole) {
  std::string version = "1.4.2_05" + std::string(300, '9');
  std::string keyPath = RUNTIME_ROOT_KEY "\\" + version;
  fakeAddRegistryKey(keyPath);  // present, without JavaHome
  settings.debug = true;
  EXPECT_EQ("<none>", forVersion(version.c_str()));
  EXPECT_THAT(captions(), ElementsAre("JavaInstallRegPath", "Error Reading Registry!", "Error!"));
  EXPECT_EQ(keyPath, fake().boxes[0].text);
  EXPECT_EQ("No Java Home Directory Found for " + keyPath + " ", fake().boxes[2].text);
}

TEST_F(JavaLocationTest, DefaultJavaFromTheCurrentVersion) {
  fakeSetRegistryValue(RUNTIME_ROOT_KEY, "CurrentVersion", "1.4");
  installHome("1.4", "C:\\j2re1.4.2_08");
  EXPECT_EQ("C:\\j2re1.4.2_08\\bin\\javaw.exe", text(findDefaultJava()));
  settings.consoleJava = true;
  EXPECT_EQ("C:\\j2re1.4.2_08\\bin\\java.exe", text(findDefaultJava()));
  EXPECT_TRUE(fake().boxes.empty());
  EXPECT_EQ(0, fake().openRegistryKeys);
}

TEST_F(JavaLocationTest, DefaultJavaFailuresInOrder) {
  struct Case {
    void (*setUp)();
    const char* debugText;
    const char* debugCaption;
    const char* message;
  } cases[] = {
      {[] {}, RUNTIME_ROOT_KEY, "Error Accessing Registry!", "No Java Installation Found"},
      {[] { fakeAddRegistryKey(RUNTIME_ROOT_KEY); }, "Java Current Version Key",
       "Error Reading Registry", "No Java Installation Found"},
      {[] { fakeSetRegistryValue(RUNTIME_ROOT_KEY, "CurrentVersion", "1.4"); },
       "Java Current Version", "Error Accessing Registry!",
       "No Java Installation (No Current Version) Found"},
      {[] {
         fakeSetRegistryValue(RUNTIME_ROOT_KEY, "CurrentVersion", "1.4");
         fakeAddRegistryKey(RUNTIME_ROOT_KEY "\\1.4");
       },
       "Java Home Directory", "Error Reading Registry!", "No Java Installation Home Directory Found"},
  };
  for (const Case& c : cases) {
    for (bool debug : {false, true}) {
      installFakePlatform();
      c.setUp();
      settings.debug = debug;
      EXPECT_EQ("<none>", text(findDefaultJava())) << c.message;
      ASSERT_EQ(debug ? 2u : 1u, fake().boxes.size()) << c.message;
      if (debug) {
        EXPECT_EQ(c.debugText, fake().boxes[0].text);
        EXPECT_EQ(c.debugCaption, fake().boxes[0].caption);
        EXPECT_EQ((unsigned)kBoxIconError, fake().boxes[0].style);
      }
      EXPECT_EQ(c.message, fake().boxes.back().text);
      EXPECT_EQ("Error!", fake().boxes.back().caption);
      EXPECT_EQ((unsigned)kBoxIconError, fake().boxes.back().style);
      EXPECT_EQ(0, fake().openRegistryKeys);
    }
  }
}

TEST_F(JavaLocationTest, FailingRegistryReadsAreFailuresNotGarbage) {
  fakeSetRegistryValue(RUNTIME_ROOT_KEY, "CurrentVersion", "1.4");
  installHome("1.4", "C:\\jre");
  for (int call = 1; call <= 4; ++call) {
    fake().faults.clear();
    fakeFailCall(kFakeRegistryEntries, call);
    fake().boxes.clear();
    EXPECT_EQ("<none>", text(findDefaultJava())) << call;
    EXPECT_EQ(1u, fake().boxes.size());
  }
}

// The launcher's own lookups read HKLM in the program's own view, nothing else.
TEST_F(JavaLocationTest, LookupsReadTheMachinesKeysInTheProgramsOwnView) {
  struct Case {
    bool program64Bit;
    RegistryHive hive;
    RegistryView view;
    bool found;
  } cases[] = {
      {false, kHiveLocalMachine, kView32Bit, true},
      {false, kHiveLocalMachine, kView64Bit, false},
      {false, kHiveCurrentUser, kViewOwn, false},
      {true, kHiveLocalMachine, kView64Bit, true},
      {true, kHiveLocalMachine, kView32Bit, false},
  };
  for (const Case& c : cases) {
    installFakePlatform();
    fake().program64Bit = c.program64Bit;
    fakeSetRegistryValue(c.hive, c.view, RUNTIME_ROOT_KEY, "CurrentVersion", "1.4");
    fakeSetRegistryValue(c.hive, c.view, RUNTIME_ROOT_KEY "\\1.4.2_05", "JavaHome", "C:\\jre");
    fakeSetRegistryValue(c.hive, c.view, RUNTIME_ROOT_KEY "\\1.4", "JavaHome", "C:\\jre");
    std::string expected = c.found ? "C:\\jre\\bin\\javaw.exe" : "<none>";
    EXPECT_EQ(expected, text(findDefaultJava())) << c.program64Bit << c.hive << c.view;
    EXPECT_EQ(expected, forVersion("1.4.2_05")) << c.program64Bit << c.hive << c.view;
  }
}
