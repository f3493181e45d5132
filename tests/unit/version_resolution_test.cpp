#include "runtime/version_resolution.h"

#include "launcher_test.h"
#include "runtime/runtime_registry.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class VersionResolutionTest : public LauncherTest {
 protected:
  void install(std::vector<std::string> versions) {
    fakeAddRegistryKey(RUNTIME_ROOT_KEY);
    for (const auto& version : versions) fakeAddRegistryKey(RUNTIME_ROOT_KEY "\\" + version);
  }
  void installTypical() { install({"1.4", "1.4.2", "1.4.2_03", "1.4.2_08", "1.5.0", "1.5.0_06"}); }
  // True when resolved; false when the version is missing (status 11).
  bool resolve(const char* requested) {
    setSetting(&settings.javaVersion, requested);
    return resolveJavaVersion();
  }
};

TEST_F(VersionResolutionTest, RequestedVersionsAgainstTheTypicalRegistry) {
  struct Case {
    const char* requested;
    const char* resolved;
  } cases[] = {
      {"1.4.2", "1.4.2_08"},    {"1.4.2_05+", "1.4.2_08"}, {"1.4.2_08+", "1.4.2_08"},
      {"1.3.1", "1.3.1"},       {"1.5+", "1.5+"},          {"1.4", "1.4.2_08"},
      {"1.5.0", "1.5.0_06"},    {"1.4.2_ 5+", "1.4.2_08"},
  };
  for (const Case& c : cases) {
    installFakePlatform();
    installTypical();
    EXPECT_TRUE(resolve(c.requested)) << c.requested;
    EXPECT_STREQ(c.resolved, settings.javaVersion) << c.requested;
    EXPECT_TRUE(fake().boxes.empty()) << c.requested;
    EXPECT_EQ(0, fake().openRegistryKeys);
  }
}

TEST_F(VersionResolutionTest, TraceLinesGoToStandardOutputInEveryMode) {
  installTypical();
  resolve("1.4.2_05+");
  EXPECT_EQ(
      "javaVersion=1.4.2_05+, javaVer=1.4.2\n"
      "checking (1) 1.4\n"
      "checking (2) 1.4.2\n"
      "found correct java version 1.4.2. checking patch level\n"
      "No patch level found in 1.4.2\n"
      "checking (3) 1.4.2_03\n"
      "found correct java version 1.4.2_03. checking patch level\n"
      "checking patch level 3 against 5\n"
      "checking (4) 1.4.2_08\n"
      "found correct java version 1.4.2_08. checking patch level\n"
      "checking patch level 8 against 5\n"
      "found latest java version 1.4.2_08\n"
      "checking (5) 1.5.0\n"
      "checking (6) 1.5.0_06\n",
      fake().output);
}

TEST_F(VersionResolutionTest, MinimumNotReachedOffersTheDownloadAndTellsTheVersionIsMissing) {
  installTypical();
  setSetting(&settings.appname, "Example Viewer");
  fake().answers.push_back(kAnswerYes);
  EXPECT_FALSE(resolve("1.4.2_09+"));
  EXPECT_THAT(captions(), ElementsAre("Incompatible JRE Version Found"));
  EXPECT_EQ(1u, fake().processes.size());  // Yes opened the page
  EXPECT_EQ(0, fake().openRegistryKeys);
}

TEST_F(VersionResolutionTest, MissingRootKeyOffersTheDownloadAndTellsTheVersionIsMissing) {
  settings.debug = true;
  EXPECT_FALSE(resolve("1.4.2"));
  EXPECT_THAT(captions(), ElementsAre("Error Accessing Registry!", "Java Runtime Environment Not Found"));
  EXPECT_EQ("Java Current Version", fake().boxes[0].text);
  EXPECT_EQ((unsigned)kBoxIconError, fake().boxes[0].style);
}

TEST_F(VersionResolutionTest, LevelZeroLeavesTheVersionAndTiesGoToTheLastEnumerated) {
  install({"1.5.0", "1.5.0_00"});
  resolve("1.5.0");
  EXPECT_STREQ("1.5.0", settings.javaVersion);

  installFakePlatform();
  install({"1.4.1_07", "1.4.2_05", "1.4.2_5", "1.4.2_005"});
  resolve("1.4");
  EXPECT_STREQ("1.4.1_07", settings.javaVersion);  // highest patch, whatever the micro version
  resolve("1.4.2");
  EXPECT_STREQ("1.4.2_005", settings.javaVersion);
}

TEST_F(VersionResolutionTest, PatchLevelsAreReadLikeAtoi) {
  EXPECT_EQ(5, patchLevel("1.4.2_05+"));
  EXPECT_EQ(0, patchLevel("1.4.2"));
  EXPECT_EQ(0, patchLevel("1.4.2_"));
  EXPECT_EQ(0, patchLevel("1.4.2_b3"));
  EXPECT_EQ(7, patchLevel("1.4.2_ \t7x"));
  EXPECT_EQ(-3, patchLevel("1.4.2_-3"));
  EXPECT_EQ(4, patchLevel("1.4.2_+4"));
  EXPECT_EQ(12, patchLevel("1_12_3"));
  EXPECT_EQ(2147483647, patchLevel("1_99999999999999999999"));
  EXPECT_EQ(-2147483647 - 1, patchLevel("1_-99999999999999999999"));
}

TEST_F(VersionResolutionTest, UnreadableAndOverlongSubkeyNamesAreSkipped) {
  std::string longName = "1.4.2_" + std::string(294, '9');
  install({"1.4.2_03", longName, "1.4.2_04"});
  resolve("1.4.2");
  EXPECT_STREQ("1.4.2_04", settings.javaVersion);
  EXPECT_THAT(fake().output, HasSubstr("checking (3) 1.4.2_04\n"));
  EXPECT_EQ(std::string::npos, fake().output.find("checking (2)"));

  installFakePlatform();
  install({"1.4.2_03", "1.4.2_04"});
  fakeFailCall(kFakeRegistryEntries, 4);  // open, count, enum 0, enum 1 fails
  resolve("1.4.2");
  EXPECT_STREQ("1.4.2_03", settings.javaVersion);
}

TEST_F(VersionResolutionTest, FailedSubkeyCountEnumeratesNothing) {
  installTypical();
  fakeFailCall(kFakeRegistryEntries, 2);
  resolve("1.4.2");
  EXPECT_STREQ("1.4.2", settings.javaVersion);
  EXPECT_EQ("javaVersion=1.4.2, javaVer=1.4.2\n", fake().output);
}

TEST_F(VersionResolutionTest, LongRequestedVersionsUseTheWholePrefix) {
  std::string prefix = "1.4.2." + std::string(40, '1');
  install({"1.4.2_08", prefix + "_07"});
  resolve((prefix + "_03+").c_str());
  EXPECT_EQ(prefix + "_07", settings.javaVersion);
  EXPECT_THAT(fake().output, HasSubstr("javaVer=" + prefix + "\n"));
}

TEST_F(VersionResolutionTest, EmptyVersionDoesNothing) {
  installTypical();
  EXPECT_TRUE(resolve(""));
  EXPECT_EQ("", fake().output);
  EXPECT_EQ(0, fakeCallCount(kFakeRegistryEntries));
}
