#include "config/jar_scan.h"

#include "launcher_test.h"

using ::testing::ElementsAre;

class JarScanTest : public LauncherTest {};

// The listing of *.jar also gives files whose short (8.3) name alone ends in .JAR.
TEST_F(JarScanTest, JarsInListingOrderSkippingDirectoriesAndOtherFiles) {
  fakeAddDirectoryEntry("C:\\Work\\lib", "b.jar");
  fakeAddDirectoryEntry("C:\\Work\\lib", "old.jar", true);
  fakeAddDirectoryEntry("C:\\Work\\lib", "readme.txt");
  fakeAddDirectoryEntry("C:\\Work\\lib", "plugin.jar_disabled", false, "PLUGIN~1.JAR");
  fakeAddDirectoryEntry("C:\\Work\\lib", "app.jarold", false, "APP~1.JAR");
  fakeAddDirectoryEntry("C:\\Work\\lib", "A.JAR");
  fakeAddDirectoryEntry("C:\\Work\\lib", "long name.Jar", false, "LONGNA~1.JAR");
  fakeAddDirectoryEntry("C:\\Work\\lib", ".jar");
  addJarDirectory("lib");
  EXPECT_THAT(listOf(settings.vmjars),
              ElementsAre("lib/b.jar", "lib/A.JAR", "lib/long name.Jar", "lib/.jar"));
}

TEST_F(JarScanTest, FirstEntryIsADirectory) {
  fakeAddDirectoryEntry("C:\\Apps\\lib", "sub.jar", true);
  fakeAddDirectoryEntry("C:\\Apps\\lib", "a.jar");
  addJarDirectory("C:\\Apps\\lib");
  EXPECT_THAT(listOf(settings.vmjars), ElementsAre("C:\\Apps\\lib/a.jar"));
}

TEST_F(JarScanTest, SameDirectoryTwiceAddsItsJarsTwice) {
  fakeAddDirectoryEntry("C:\\Work\\lib", "a.jar");
  addJarDirectory("lib");
  addJarDirectory("lib");
  EXPECT_THAT(listOf(settings.vmjars), ElementsAre("lib/a.jar", "lib/a.jar"));
}

TEST_F(JarScanTest, EmptyDirectoryTextListsTheDriveRoot) {
  fakeAddDirectoryEntry("C:\\", "a.jar");
  addJarDirectory("");
  EXPECT_THAT(listOf(settings.vmjars), ElementsAre("/a.jar"));
}

TEST_F(JarScanTest, QuotedOrMissingDirectoryAddsNothingAndTracesInDebugMode) {
  fakeAddDirectoryEntry("C:\\Program Files\\App\\lib", "a.jar");
  addJarDirectory("\"C:/Program Files/App/lib\"");
  EXPECT_EQ(0, settings.vmjars.count);
  EXPECT_EQ("", fake().output);
  settings.debug = true;
  addJarDirectory("nolib");
  EXPECT_EQ("No jar files found in [nolib]\n", fake().output);
}

TEST_F(JarScanTest, DebugTraceNamesEachJar) {
  settings.debug = true;
  fakeAddDirectoryEntry("C:\\Work\\lib", "a.jar");
  fakeAddDirectoryEntry("C:\\Work\\lib", "b.jar");
  addJarDirectory("lib");
  EXPECT_EQ("adding jar lib/a.jar\nadding jar lib/b.jar\n", fake().output);
}

TEST_F(JarScanTest, LongDirectoryNamesAreKeptWhole) {
  std::string directory = "C:\\" + std::string(300, 'd');
  fakeAddDirectoryEntry(directory, "a.jar");
  addJarDirectory(directory.c_str());
  EXPECT_THAT(listOf(settings.vmjars), ElementsAre(directory + "/a.jar"));
}
