#include "runtime/java_choice.h"

#include "launcher_test.h"
#include "runtime/runtime_registry.h"
#include "support/java_homes.h"

using ::testing::ElementsAre;

class JavaChoiceTest : public LauncherTest {};

TEST_F(JavaChoiceTest, ConfiguredJavaIsKeptEvenEmptyWithoutALookup) {
  fakeSetRegistryValue(RUNTIME_ROOT_KEY, "CurrentVersion", "1.5");
  fakeSetRegistryValue(RUNTIME_ROOT_KEY "\\1.5", "JavaHome", "C:\\jre1.5.0");
  for (const char* configured : {"C:\\jre\\bin\\javaw.exe", ""}) {
    setSetting(&settings.javapath, configured);
    EXPECT_EQ(kJavaFound, chooseJava());
    EXPECT_STREQ(configured, settings.javapath);
  }
  EXPECT_EQ(0, fakeCallCount(kFakeRegistryEntries));
  EXPECT_TRUE(fake().boxes.empty());
}

TEST_F(JavaChoiceTest, AbsentJavapathFallsBackToTheRegistrysCurrentRuntime) {
  fakeSetRegistryValue(RUNTIME_ROOT_KEY, "CurrentVersion", "1.5");
  fakeSetRegistryValue(RUNTIME_ROOT_KEY "\\1.5", "JavaHome", "C:\\Program Files\\Java\\jre1.5.0");
  EXPECT_EQ(kJavaFound, chooseJava());
  EXPECT_STREQ("C:\\Program Files\\Java\\jre1.5.0\\bin\\javaw.exe", settings.javapath);
  EXPECT_TRUE(settings.javapathQuoted);
}

TEST_F(JavaChoiceTest, NoDefaultRuntimeChoosesNothingAfterSayingSo) {
  EXPECT_EQ(kJavaNotFound, chooseJava());
  EXPECT_EQ(nullptr, settings.javapath);
  EXPECT_THAT(captions(), ElementsAre("Error!"));
}

TEST_F(JavaChoiceTest, SearchKeysReplaceTheCurrentRuntimeButDownloadPageAloneDoesNot) {
  struct Case {
    const char* line;
    const char* chosen;
  } cases[] = {
      {"", "C:\\jre1.5.0\\bin\\javaw.exe"},  // the registry's current runtime, as before
      {"downloadPage https://example.com", "C:\\jre1.5.0\\bin\\javaw.exe"},
      {"minJava 11", "C:\\jdk17\\bin\\javaw.exe"},
      {"maxJava 17", "C:\\jdk17\\bin\\javaw.exe"},
      {"javaBits 64", "C:\\jdk17\\bin\\javaw.exe"},
      {"javaHome C:\\jdk17", "C:\\jdk17\\bin\\javaw.exe"},
      {"minJava ", "C:\\jdk17\\bin\\javaw.exe"},  // even empty, the line asks for the search
  };
  for (const Case& c : cases) {
    installFakePlatform();
    resetLaunchSettings();
    fakeSetRegistryValue(RUNTIME_ROOT_KEY, "CurrentVersion", "1.5");
    fakeSetRegistryValue(RUNTIME_ROOT_KEY "\\1.5", "JavaHome", "C:\\jre1.5.0");
    fakeSetRegistryValue(kHiveLocalMachine, kView64Bit, "SOFTWARE\\JavaSoft\\JDK\\17", "JavaHome",
                         "C:\\jdk17");
    fakeInstallJava("C:\\jre1.5.0", 32);
    fakeInstallJava("C:\\jdk17", 64, "17.0.9");
    fakeAddFile("C:\\Work\\app.config", std::string(c.line) + "\n");
    readConfig("C:\\Work\\app.config");
    EXPECT_EQ(kJavaFound, chooseJava()) << c.line;
    EXPECT_STREQ(c.chosen, settings.javapath) << c.line;
  }
}

TEST_F(JavaChoiceTest, AJavapathOrAFoundJavaVersionStillWinsOverTheSearch) {
  fakeSetRegistryValue(RUNTIME_ROOT_KEY "\\1.4.2_05", "JavaHome", "C:\\j2re1.4.2_05");
  for (const char* config : {"minJava 11\njavapath C:\\mine\\java.exe\n",
                             "javaVersion 1.4.2_05\njavaHome C:\\jdk17\njavaBits 64\n"}) {
    resetLaunchSettings();
    fakeAddFile("C:\\Work\\app.config", config);
    readConfig("C:\\Work\\app.config");
    int callsBefore = fakeCallCount(kFakeRegistryEntries);
    EXPECT_EQ(kJavaFound, chooseJava());
    EXPECT_EQ(callsBefore, fakeCallCount(kFakeRegistryEntries));  // no search
  }
  EXPECT_STREQ("C:\\j2re1.4.2_05\\bin\\javaw.exe", settings.javapath);
  EXPECT_TRUE(fake().boxes.empty());
}
