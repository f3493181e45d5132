#include "runtime/java_search.h"

#include <set>

#include "launcher_test.h"
#include "runtime/no_suitable_java.h"
#include "support/java_homes.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class JavaSearchTest : public LauncherTest {
 protected:
  // The chosen Java executable, or "<none>" when nothing fits.
  static std::string search() {
    char* executable = searchJava();
    std::string result = executable ? executable : "<none>";
    releaseMemory(executable);
    EXPECT_EQ(0, fake().openRegistryKeys);
    EXPECT_EQ(0, fake().openFiles);
    return result;
  }
  // A runtime registered under SOFTWARE\key with its home in valueName.
  static void registerJava(RegistryHive hive, RegistryView view, const std::string& key,
                           const std::string& valueName, const std::string& home) {
    fakeSetRegistryValue(hive, view, "SOFTWARE\\" + key, valueName, home);
  }
  static void registerJavaSoft(RegistryView view, const std::string& version,
                               const std::string& home) {
    registerJava(kHiveLocalMachine, view, "JavaSoft\\JDK\\" + version, "JavaHome", home);
  }
  static std::vector<std::string> traceLines() {
    std::vector<std::string> lines;
    std::string output = fake().output;
    for (size_t start = 0, end; (end = output.find('\n', start)) != std::string::npos; start = end + 1)
      lines.push_back(output.substr(start, end - start));
    return lines;
  }
  static std::string command(const std::string& home) { return home + "\\bin\\javaw.exe"; }
};

TEST_F(JavaSearchTest, EachVendorLayoutIsFoundWithTheVersionItsKeyNames) {
  struct Case {
    const char* key;  // under SOFTWARE
    const char* valueName;
    const char* home;  // as the installer stores it
    const char* version;
  } cases[] = {
      {"JavaSoft\\Java Runtime Environment\\1.8.0_392", "JavaHome", "C:\\jre8", "1.8.0_392"},
      {"JavaSoft\\Java Development Kit\\1.8.0_392", "JavaHome", "C:\\jdk8", "1.8.0_392"},
      {"JavaSoft\\JRE\\17.0.9", "JavaHome", "C:\\jre17", "17.0.9"},
      {"JavaSoft\\JDK\\21.0.1", "JavaHome", "C:\\jdk21", "21.0.1"},
      {"Eclipse Adoptium\\JDK\\21.0.1.12\\hotspot\\MSI", "Path", "C:\\Temurin\\jdk-21.0.1.12-hotspot\\",
       "21.0.1.12"},
      {"Eclipse Adoptium\\JRE\\8.0.392.8\\hotspot\\MSI", "Path", "C:\\Temurin\\jre8\\", "8.0.392.8"},
      {"Eclipse Foundation\\JDK\\17.0.2.8\\hotspot\\MSI", "Path", "C:\\Foundation\\", "17.0.2.8"},
      {"AdoptOpenJDK\\JRE\\11.0.11.9\\openj9\\MSI", "Path", "C:\\Adopt\\jre11\\", "11.0.11.9"},
      {"Temurin\\JDK\\16.0.2.7\\hotspot\\MSI", "Path", "C:\\Temurin16", "16.0.2.7"},
      {"Microsoft\\JDK\\17.0.9.8\\hotspot\\MSI", "Path", "C:\\Microsoft\\jdk-17.0.9.8-hotspot\\",
       "17.0.9.8"},
      {"Semeru\\JRE\\8.0.382.5\\openj9\\MSI", "Path", "C:\\Semeru\\jre8", "8.0.382.5"},
      {"Azul Systems\\Zulu\\zulu-17", "InstallationPath", "C:\\Zulu\\zulu-17\\", "17"},
      {"Azul Systems\\Zulu 32-bit\\zulu-8-jre", "InstallationPath", "C:\\Zulu\\zulu-8-jre", "8"},
      {"BellSoft\\Liberica\\jdk-11", "InstallationPath", "C:\\Liberica\\jdk-11\\", "11"},
      {"SapMachine\\JDK\\17.0.9", "JavaHome", "C:\\SapMachine\\17", "17.0.9"},
  };
  for (const Case& c : cases) {
    installFakePlatform();
    settings.debug = true;
    settings.consoleJava = true;  // as -d makes it
    setSetting(&settings.minJava, "1.8");
    registerJava(kHiveLocalMachine, kView64Bit, c.key, c.valueName, c.home);
    std::string home = c.home;
    if (home.back() == '\\') home.pop_back();
    fakeInstallJava(home, 64);
    EXPECT_EQ(home + "\\bin\\java.exe", search()) << c.key;
    EXPECT_THAT(traceLines(), ElementsAre("Java search: HKLM\\SOFTWARE\\" + std::string(c.key) +
                                          " (64-bit view): " + home + ": Java " + c.version +
                                          ", 64-bit, chosen"))
        << c.key;
  }
}

TEST_F(JavaSearchTest, BothHivesAndBothViewsAreReadByEitherKindOfProgram) {
  for (bool program64Bit : {false, true}) {
    for (RegistryHive hive : {kHiveLocalMachine, kHiveCurrentUser}) {
      for (RegistryView view : {kView32Bit, kView64Bit}) {
        installFakePlatform();
        fake().program64Bit = program64Bit;
        setSetting(&settings.javaBits, "64");
        registerJava(hive, view, "JavaSoft\\JDK\\17", "JavaHome", "C:\\jdk17");
        fakeInstallJava("C:\\jdk17", 64);
        EXPECT_EQ(command("C:\\jdk17"), search()) << program64Bit << hive << view;
      }
    }
  }
}

TEST_F(JavaSearchTest, TheReleaseFileTellsTheVersionBeforeTheKeyName) {
  setSetting(&settings.maxJava, "17.0.5");
  registerJavaSoft(kView64Bit, "17", "C:\\jdk17");  // as far as the key says, it fits
  fakeInstallJava("C:\\jdk17", 64, "17.0.9");
  registerJavaSoft(kView64Bit, "17.0.4", "C:\\old17");
  fakeInstallJava("C:\\old17", 64);  // no release file: the key's name it is
  EXPECT_EQ(command("C:\\old17"), search());
}

// The release file is read into the buffer that held the program's first
// bytes: a release file without JAVA_VERSION must not be read past its end
// into what the program left there.
TEST_F(JavaSearchTest, AReleaseFileWithoutJavaVersionLeavesTheKeyNameToTell) {
  setSetting(&settings.maxJava, "17");
  registerJavaSoft(kView64Bit, "17.0.9", "C:\\jdk17");
  fakeInstallJava("C:\\jdk17", 64);
  std::string program = programHeader(0x8664);
  program.replace(2, 0x3A, std::string(0x3A, 'x'));  // the stub: no NUL to stop a reader
  program.replace(20, 19, "\nJAVA_VERSION=\"99\"\n");
  fakeAddFile("C:\\jdk17\\bin\\javaw.exe", program);
  fakeAddFile("C:\\jdk17\\release", "IMPLEMENTOR=\"X\"\n");
  EXPECT_EQ(command("C:\\jdk17"), search());
}

TEST_F(JavaSearchTest, HighestFittingVersionWinsThen64BitThenTheOneFoundFirst) {
  struct Runtime {
    RegistryHive hive;
    const char* version;
    const char* home;
    int bits;
  } runtimes[] = {
      {kHiveLocalMachine, "11.0.21", "C:\\jdk11", 64},
      {kHiveLocalMachine, "17.0.9", "C:\\jdk17-x86", 32},
      {kHiveLocalMachine, "21.0.1", "C:\\jdk21", 64},
      {kHiveCurrentUser, "17.0.9", "C:\\User\\jdk17", 64},
      {kHiveCurrentUser, "1.8.0_392", "C:\\User\\jre8-x86", 32},
  };
  struct Case {
    const char* minJava;
    const char* maxJava;
    const char* javaBits;
    const char* chosen;
  } cases[] = {
      {"11", nullptr, nullptr, "C:\\jdk21"},
      {nullptr, "17", nullptr, "C:\\User\\jdk17"},  // 17.0.9 twice: the 64-bit one
      {nullptr, "17", "32", "C:\\jdk17-x86"},
      {nullptr, "1.8", "32", "C:\\User\\jre8-x86"},
      {"11", "11", nullptr, "C:\\jdk11"},
  };
  for (const Case& c : cases) {
    installFakePlatform();
    resetLaunchSettings();
    for (const Runtime& r : runtimes) {
      registerJava(r.hive, kView64Bit, std::string("JavaSoft\\JDK\\") + r.version, "JavaHome", r.home);
      fakeInstallJava(r.home, r.bits, r.version);
    }
    if (c.minJava) setSetting(&settings.minJava, c.minJava);
    if (c.maxJava) setSetting(&settings.maxJava, c.maxJava);
    if (c.javaBits) setSetting(&settings.javaBits, c.javaBits);
    EXPECT_EQ(command(c.chosen), search()) << c.minJava << " " << c.maxJava << " " << c.javaBits;
  }
  // The same version and kind twice: the one found first (HKLM before HKCU).
  installFakePlatform();
  resetLaunchSettings();
  setSetting(&settings.javaBits, "64");
  registerJava(kHiveCurrentUser, kView32Bit, "JavaSoft\\JDK\\17.0.9", "JavaHome", "C:\\User\\jdk17");
  registerJava(kHiveLocalMachine, kView64Bit, "Microsoft\\JDK\\17.0.9.8\\hotspot\\MSI", "Path",
               "C:\\ms17");
  fakeInstallJava("C:\\User\\jdk17", 64, "17.0.9");
  fakeInstallJava("C:\\ms17", 64, "17.0.9");
  EXPECT_EQ(command("C:\\ms17"), search());
}

TEST_F(JavaSearchTest, JavaHomeLinesComeFirstInFileOrderRelativeToTheExecutable) {
  fake().programPath = "C:\\Apps\\Viewer\\viewer.exe";
  fake().currentDirectory = "C:\\Work";
  setSetting(&settings.minJava, "11");
  for (const char* line : {"missing", "old", "runtime", "C:/Other/jdk"}) appendSetting(&settings.javaHome, line);
  fakeInstallJava("C:\\Apps\\Viewer\\old", 64, "1.8.0_392");
  fakeInstallJava("C:\\Apps\\Viewer\\runtime", 32, "11.0.2");
  fakeInstallJava("C:\\Work\\runtime", 64, "17.0.9");  // the current directory does not count
  fakeInstallJava("C:\\Other\\jdk", 64, "21");
  registerJavaSoft(kView64Bit, "21", "C:\\jdk21");
  fakeInstallJava("C:\\jdk21", 64, "21");
  settings.debug = true;
  settings.consoleJava = true;  // as -d makes it
  EXPECT_EQ("C:\\Apps\\Viewer\\runtime\\bin\\java.exe", search());  // first fit wins outright
  EXPECT_EQ(0, fakeCallCount(kFakeRegistryEntries));
  EXPECT_THAT(traceLines(),
              ElementsAre("Java search: javaHome missing: C:\\Apps\\Viewer\\missing: version unknown, "
                          "kind unknown, no java.exe",
                          "Java search: javaHome old: C:\\Apps\\Viewer\\old: Java 1.8.0_392, 64-bit, too old",
                          "Java search: javaHome runtime: C:\\Apps\\Viewer\\runtime: Java 11.0.2, 32-bit, chosen"));
  // When no line fits, the registry is searched.
  resetLaunchSettings();
  setSetting(&settings.minJava, "22");
  appendSetting(&settings.javaHome, "C:/Other/jdk/");
  registerJavaSoft(kView32Bit, "22", "C:\\jdk22");
  fakeInstallJava("C:\\jdk22", 64, "22");
  EXPECT_EQ(command("C:\\jdk22"), search());
}

TEST_F(JavaSearchTest, KeysOfUninstalledRuntimesAreSkipped) {
  registerJavaSoft(kView64Bit, "21", "C:\\removed21");  // the key outlived the runtime
  registerJavaSoft(kView64Bit, "17", "C:\\jdk17");
  fakeInstallJava("C:\\jdk17", 64);
  fakeAddFile("C:\\removed21\\release", "JAVA_VERSION=\"21\"\n");
  setSetting(&settings.javaBits, "64");
  EXPECT_EQ(command("C:\\jdk17"), search());
}

TEST_F(JavaSearchTest, OneRuntimeSeenThroughTwoViewsOrTwoKeysIsOneCandidate) {
  // HKCU is one tree that both views show; the family key and the release
  // key name one home, spelled two ways.
  registerJava(kHiveCurrentUser, kView32Bit, "JavaSoft\\Java Runtime Environment\\1.8", "JavaHome",
               "C:\\Java\\jre8");
  registerJava(kHiveCurrentUser, kView64Bit, "JavaSoft\\Java Runtime Environment\\1.8.0_392",
               "JavaHome", "c:/java/JRE8/");
  fakeInstallJava("C:\\Java\\jre8", 32);  // no release file: the key names tell the version
  settings.debug = true;
  settings.consoleJava = true;  // as -d makes it
  setSetting(&settings.minJava, "1.8.0_300");
  EXPECT_EQ("C:\\Java\\jre8\\bin\\java.exe", search());
  EXPECT_THAT(traceLines(),
              ElementsAre("Java search: HKCU\\SOFTWARE\\JavaSoft\\Java Runtime Environment\\1.8 "
                          "(32-bit view): C:\\Java\\jre8: Java 1.8.0_392, 32-bit, chosen"));
}

// Windows folds the letter case of every script in file names.
TEST_F(JavaSearchTest, AHomeSpelledInAnotherLetterCaseOfAnyScriptIsOneCandidate) {
  registerJavaSoft(kView32Bit, "17", "C:\\Ява\\Jdk-17");
  registerJavaSoft(kView64Bit, "17.0.9", "c:\\ЯВА\\JDK-17");
  registerJavaSoft(kView64Bit, "17.0.8", "C:\\Ява\\Jdk-17 (old)");
  fakeInstallJava("C:\\Ява\\Jdk-17", 64);
  settings.debug = true;
  settings.consoleJava = true;  // as -d makes it
  search();
  EXPECT_THAT(traceLines(),
              ElementsAre(HasSubstr("C:\\Ява\\Jdk-17: Java 17.0.9, 64-bit, chosen"),
                          HasSubstr("C:\\Ява\\Jdk-17 (old): Java 17.0.8, kind unknown, no java.exe")));
}

TEST_F(JavaSearchTest, AWindowsWithoutA64BitViewShowsItsOneTreeOnce) {
  fake().windowsHas64BitView = false;
  registerJavaSoft(kViewOwn, "17.0.9", "C:\\jdk17");
  fakeInstallJava("C:\\jdk17", 32);
  settings.debug = true;
  settings.consoleJava = true;  // as -d makes it
  setSetting(&settings.javaBits, "32");
  EXPECT_EQ("C:\\jdk17\\bin\\java.exe", search());
  EXPECT_EQ(1u, traceLines().size());
}

TEST_F(JavaSearchTest, AFailingRegistryCallHidesOnlyWhatItWouldHaveRead) {
  auto install = [](int failing) {
    installFakePlatform();
    registerJava(kHiveLocalMachine, kView32Bit, "Eclipse Adoptium\\JDK\\17.0.9.9\\hotspot\\MSI",
                 "Path", "C:\\jdk17");
    registerJava(kHiveLocalMachine, kView64Bit, "Azul Systems\\Zulu\\zulu-21", "InstallationPath",
                 "C:\\zulu21");
    fakeInstallJava("C:\\jdk17", 64, "17.0.9");
    fakeInstallJava("C:\\zulu21", 64, "21.0.1");
    fakeFailCall(kFakeRegistryEntries, failing);
  };
  setSetting(&settings.minJava, "17");
  install(0);
  EXPECT_EQ(command("C:\\zulu21"), search());
  std::set<std::string> chosen;
  for (int failing = 1, calls = fakeCallCount(kFakeRegistryEntries); failing <= calls; ++failing) {
    install(failing);
    chosen.insert(search());
  }
  // Most calls read nothing that matters; the few on the way to zulu-21 leave 17.
  EXPECT_THAT(chosen, ElementsAre(command("C:\\jdk17"), command("C:\\zulu21")));
}

// The walk opens a vendor's key once and its layouts below it; a vendor key
// that exists but cannot be opened must not hide the layouts below it.
TEST_F(JavaSearchTest, AKeyThatCannotBeOpenedHidesOnlyTheRuntimesBelowIt) {
  struct Case {
    const char* unreadable;
    std::vector<std::string> found;  // the candidates' homes, in the order found
  } cases[] = {
      {"software\\eclipse adoptium", {"C:\\jdk21", "C:\\jre17", "C:\\jdk11"}},
      {"software\\javasoft", {"C:\\jdk21", "C:\\jre17", "C:\\jdk11"}},
      {"software\\eclipse adoptium\\jdk", {"C:\\jre17", "C:\\jdk11"}},
      {"software\\eclipse adoptium\\jre\\17.0.9.9", {"C:\\jdk21", "C:\\jdk11"}},
  };
  for (const Case& c : cases) {
    installFakePlatform();
    settings.debug = true;
    settings.consoleJava = true;  // as -d makes it
    registerJava(kHiveLocalMachine, kView64Bit, "Eclipse Adoptium\\JDK\\21.0.1.12\\hotspot\\MSI", "Path",
                 "C:\\jdk21");
    registerJava(kHiveLocalMachine, kView64Bit, "Eclipse Adoptium\\JRE\\17.0.9.9\\hotspot\\MSI", "Path",
                 "C:\\jre17");
    registerJava(kHiveCurrentUser, kView32Bit, "JavaSoft\\JDK\\11", "JavaHome", "C:\\jdk11");
    for (const char* home : {"C:\\jdk21", "C:\\jre17", "C:\\jdk11"}) fakeInstallJava(home, 64);
    fake().unreadableRegistryKeys.push_back(c.unreadable);
    search();
    std::vector<std::string> found;
    for (const std::string& line : traceLines()) found.push_back(line.substr(0, line.find(": Java ")));
    for (std::string& line : found) line = line.substr(line.rfind(": ") + 2);
    EXPECT_EQ(c.found, found) << c.unreadable;
  }
}

TEST_F(JavaSearchTest, WhenNothingFitsOneBoxSaysWhatWasFoundAndWhy) {
  setSetting(&settings.appname, "Example Viewer");
  setSetting(&settings.minJava, "11");
  setSetting(&settings.maxJava, "17");
  setSetting(&settings.javaBits, "64");
  appendSetting(&settings.javaHome, "C:\\Bundled");
  registerJavaSoft(kView64Bit, "1.8.0_392", "C:\\jre8");
  registerJavaSoft(kView64Bit, "21.0.1", "C:\\jdk21");
  registerJavaSoft(kView32Bit, "17.0.9", "C:\\jdk17-x86");
  registerJavaSoft(kView64Bit, "17.0.8", "C:\\removed17");
  registerJava(kHiveLocalMachine, kView64Bit, "BellSoft\\Liberica\\jdk", "InstallationPath",
               "C:\\Liberica");
  fakeInstallJava("C:\\Bundled", 64, "1.8.0_41");
  fakeInstallJava("C:\\jre8", 64, "1.8.0_392");
  fakeInstallJava("C:\\jdk21", 64, "21.0.1");
  fakeInstallJava("C:\\jdk17-x86", 32, "17.0.9");
  fakeInstallJava("C:\\Liberica", 0);
  for (int answer : {kAnswerNo, kAnswerYes}) {
    fake().boxes.clear();
    fake().answers.push_back(answer);
    EXPECT_EQ("<none>", search());
    ASSERT_EQ(1u, fake().boxes.size());
    EXPECT_EQ("Example Viewer", fake().boxes[0].caption);
    EXPECT_EQ((unsigned)(kBoxIconError | kBoxYesNo), fake().boxes[0].style);
    EXPECT_EQ(
        "Example Viewer needs Java 11 to 17 (64-bit).\n\n"
        "Found on this computer:\n"
        "C:\\Bundled: Java 1.8.0_41, 64-bit, too old\n"
        "C:\\jdk17-x86: Java 17.0.9, 32-bit, wrong kind\n"
        "C:\\jre8: Java 1.8.0_392, 64-bit, too old\n"
        "C:\\jdk21: Java 21.0.1, 64-bit, too new\n"
        "C:\\removed17: Java 17.0.8, kind unknown, no javaw.exe\n"
        "C:\\Liberica: version unknown, kind unknown, cannot check the version\n"
        "\nDo you want to open the download page?",
        fake().boxes[0].text);
  }
  ASSERT_EQ(1u, fake().processes.size());  // the page, after Yes only
  EXPECT_EQ(browserCommand(DEFAULT_DOWNLOAD_PAGE), fake().processes[0].commandLine);
  EXPECT_EQ("", fake().output);  // trace lines only in debug mode
}

TEST_F(JavaSearchTest, WithNothingInstalledTheBoxSaysSoAndOpensTheConfiguredPage) {
  struct Case {
    const char* minJava;
    const char* maxJava;
    const char* requirement;
  } cases[] = {
      {"11", nullptr, "Java 11 or later"},
      {nullptr, "1.8", "Java 1.8 or earlier"},
      {"", "", "Java"},
  };
  for (const Case& c : cases) {
    installFakePlatform();
    resetLaunchSettings();
    if (c.minJava) setSetting(&settings.minJava, c.minJava);
    if (c.maxJava) setSetting(&settings.maxJava, c.maxJava);
    setSetting(&settings.downloadPage, "https://example.com/java");
    fake().answers.push_back(kAnswerYes);
    EXPECT_EQ("<none>", search());
    ASSERT_EQ(1u, fake().boxes.size());
    EXPECT_EQ("Java Not Found", fake().boxes[0].caption);
    EXPECT_EQ(std::string("This application needs ") + c.requirement +
                  ".\n\nNo Java was found on this computer.\n\nDo you want to open the download page?",
              fake().boxes[0].text);
    ASSERT_EQ(1u, fake().processes.size());
    EXPECT_EQ(browserCommand("https://example.com/java"), fake().processes[0].commandLine);
  }
}
