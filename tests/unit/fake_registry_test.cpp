// The fake registry's hives and views: what later code will rely on when it
// reads both views and both hives, so a fault here would hide real faults there.
#include "launcher_test.h"

using ::testing::ElementsAre;

class FakeRegistryTest : public LauncherTest {
 protected:
  static bool opens(RegistryHive hive, RegistryView view, const char* path) {
    RegistryKey key = nullptr;
    if (platform.registryOpen(hive, view, path, &key) != kRegistrySuccess) return false;
    platform.registryClose(key);
    return true;
  }
  static std::vector<std::string> subkeysOf(RegistryKey key) {
    std::vector<std::string> names;
    char name[256];
    unsigned long size = sizeof name;
    for (unsigned long i = 0; platform.registryEnumSubkey(key, i, name, &size) == kRegistrySuccess;
         ++i, size = sizeof name)
      names.push_back(name);
    return names;
  }
  static std::vector<std::string> subkeys(RegistryHive hive, RegistryView view, const char* path) {
    RegistryKey key = nullptr;
    if (platform.registryOpen(hive, view, path, &key) != kRegistrySuccess) return {};
    std::vector<std::string> names = subkeysOf(key);
    platform.registryClose(key);
    return names;
  }
};

TEST_F(FakeRegistryTest, EachViewReadsTheTreeOfItsKindOfProgramAndWindows) {
  struct Case {
    bool windowsHas64BitView;
    bool program64Bit;
    RegistryHive hive;
    RegistryView written;
    RegistryView read;
    bool seen;
  } cases[] = {
      // A 32-bit program on 64-bit Windows: its own view is the 32-bit one.
      {true, false, kHiveLocalMachine, kViewOwn, kViewOwn, true},
      {true, false, kHiveLocalMachine, kViewOwn, kView32Bit, true},
      {true, false, kHiveLocalMachine, kViewOwn, kView64Bit, false},
      {true, false, kHiveLocalMachine, kView64Bit, kView64Bit, true},
      {true, false, kHiveLocalMachine, kView64Bit, kViewOwn, false},
      // A 64-bit program: its own view is the 64-bit one.
      {true, true, kHiveLocalMachine, kViewOwn, kView64Bit, true},
      {true, true, kHiveLocalMachine, kViewOwn, kView32Bit, false},
      {true, true, kHiveLocalMachine, kView32Bit, kViewOwn, false},
      {true, true, kHiveLocalMachine, kView32Bit, kView32Bit, true},
      // A Windows without a 64-bit view: one tree, whatever view is named.
      {false, false, kHiveLocalMachine, kView64Bit, kView32Bit, true},
      {false, false, kHiveLocalMachine, kView32Bit, kView64Bit, true},
      {false, false, kHiveLocalMachine, kViewOwn, kView64Bit, true},
      // HKCU: one tree that every view reads, as on Windows 7 and later.
      {true, false, kHiveCurrentUser, kView64Bit, kViewOwn, true},
      {true, true, kHiveCurrentUser, kView32Bit, kView64Bit, true},
      {true, true, kHiveCurrentUser, kViewOwn, kView32Bit, true},
  };
  for (const Case& c : cases) {
    installFakePlatform();
    fake().windowsHas64BitView = c.windowsHas64BitView;
    fake().program64Bit = c.program64Bit;
    fakeAddRegistryKey(c.hive, c.written, "SOFTWARE\\Vendor\\Java");
    EXPECT_EQ(c.seen, opens(c.hive, c.read, "software\\vendor\\java"))
        << c.windowsHas64BitView << c.program64Bit << c.hive << c.written << c.read;
    RegistryHive other = c.hive == kHiveLocalMachine ? kHiveCurrentUser : kHiveLocalMachine;
    EXPECT_FALSE(opens(other, c.read, "SOFTWARE\\Vendor\\Java"));  // hives never meet
  }
}

TEST_F(FakeRegistryTest, EnumerationFollowsCreationOrderWithinEachTree) {
  for (RegistryHive hive : {kHiveLocalMachine, kHiveCurrentUser}) {
    for (const char* version : {"21", "17", "8"})
      fakeAddRegistryKey(hive, kView64Bit, std::string("SOFTWARE\\JDK\\") + version);
    fakeAddRegistryKey(hive, kView32Bit, "SOFTWARE\\JDK\\11");
    EXPECT_THAT(subkeys(hive, kView64Bit, "SOFTWARE"), ElementsAre("JDK"));
  }
  EXPECT_THAT(subkeys(kHiveLocalMachine, kView64Bit, "SOFTWARE\\JDK"), ElementsAre("21", "17", "8"));
  EXPECT_THAT(subkeys(kHiveLocalMachine, kView32Bit, "SOFTWARE\\JDK"), ElementsAre("11"));
  for (RegistryView view : {kView64Bit, kView32Bit})  // the one tree of HKCU
    EXPECT_THAT(subkeys(kHiveCurrentUser, view, "SOFTWARE\\JDK"), ElementsAre("21", "17", "8", "11"));
}

TEST_F(FakeRegistryTest, ValuesComeAsStoredOrWithTheSizeTheyNeed) {
  fakeSetRegistryValue(kHiveLocalMachine, kView64Bit, "SOFTWARE\\Zulu", "InstallationPath",
                       "C:\\zulu");
  fakeSetRegistryValue(kHiveLocalMachine, kView64Bit, "SOFTWARE\\Zulu", "Version", "21", false);
  RegistryKey key = nullptr;
  ASSERT_EQ(kRegistrySuccess, platform.registryOpen(kHiveLocalMachine, kView64Bit, "SOFTWARE\\Zulu", &key));
  char buffer[16];
  unsigned long size = 4;  // too small for the path: the needed size comes back
  EXPECT_EQ(kRegistryMoreData, platform.registryQueryValue(key, "InstallationPath", buffer, &size));
  EXPECT_EQ(8u, size);
  size = sizeof buffer;
  EXPECT_EQ(kRegistrySuccess, platform.registryQueryValue(key, "installationpath", buffer, &size));
  EXPECT_EQ(std::string("C:\\zulu", 8), std::string(buffer, size));
  size = sizeof buffer;  // stored without its NUL
  EXPECT_EQ(kRegistrySuccess, platform.registryQueryValue(key, "Version", buffer, &size));
  EXPECT_EQ("21", std::string(buffer, size));
  platform.registryClose(key);
}

TEST_F(FakeRegistryTest, TheNthCallFailsWhicheverTreeItReads) {
  fakeAddRegistryKey(kHiveLocalMachine, kView64Bit, "SOFTWARE\\A");
  fakeAddRegistryKey(kHiveCurrentUser, kView32Bit, "SOFTWARE\\A");
  fakeFailCall(kFakeRegistryEntries, 2);
  EXPECT_TRUE(opens(kHiveLocalMachine, kView64Bit, "SOFTWARE\\A"));  // call 1; closing is not counted
  EXPECT_FALSE(opens(kHiveCurrentUser, kView32Bit, "SOFTWARE\\A"));
  EXPECT_TRUE(opens(kHiveCurrentUser, kView32Bit, "SOFTWARE\\A"));
  EXPECT_EQ(0, fake().openRegistryKeys);
}

// The Java search opens SOFTWARE through a view and every key below it from
// there, so an open below a key must stay in the tree that key belongs to.
TEST_F(FakeRegistryTest, AnOpenBelowAKeyStaysInTheParentsTree) {
  struct Case {
    bool windowsHas64BitView;
    bool program64Bit;
    RegistryView parentView;  // SOFTWARE is opened through it
    const char* below;
    std::vector<std::string> subkeys;  // of the key opened below; none: it does not open
  } cases[] = {
      {true, true, kView32Bit, "Vendor\\JDK", {"11", "8"}},  // not the program's own view
      {true, false, kView64Bit, "vendor\\jdk", {"21", "17"}},
      {true, false, kViewOwn, "Vendor\\JDK", {"11", "8"}},
      {true, true, kViewOwn, "Vendor", {"JDK"}},
      {true, true, kView64Bit, "Vendor\\JRE", {}},
      {true, true, kView64Bit, "", {"Vendor"}},  // the parent again
      {false, true, kView64Bit, "Vendor\\JDK", {"21", "17", "11", "8"}},  // one tree
  };
  for (const Case& c : cases) {
    installFakePlatform();
    fake().windowsHas64BitView = c.windowsHas64BitView;
    fake().program64Bit = c.program64Bit;
    for (const char* version : {"21", "17"})
      fakeAddRegistryKey(kHiveLocalMachine, kView64Bit, std::string("SOFTWARE\\Vendor\\JDK\\") + version);
    for (const char* version : {"11", "8"})
      fakeAddRegistryKey(kHiveLocalMachine, kView32Bit, std::string("SOFTWARE\\Vendor\\JDK\\") + version);
    RegistryKey software = nullptr, key = nullptr;
    ASSERT_EQ(kRegistrySuccess, platform.registryOpen(kHiveLocalMachine, c.parentView, "SOFTWARE", &software));
    long opened = platform.registryOpenSubkey(software, c.below, &key);
    EXPECT_EQ(c.subkeys.empty() ? kRegistryNotFound : kRegistrySuccess, opened) << c.below;
    if (opened == kRegistrySuccess) {
      EXPECT_EQ(c.subkeys, subkeysOf(key)) << c.program64Bit << c.parentView << c.below;
      platform.registryClose(key);
    }
    platform.registryClose(software);
    EXPECT_EQ(0, fake().openRegistryKeys);
  }
}

TEST_F(FakeRegistryTest, AnOpenBelowAKeyIsARegistryCallThatCanFail) {
  fakeAddRegistryKey(kHiveCurrentUser, kView64Bit, "SOFTWARE\\A\\B");
  fakeFailCall(kFakeRegistryEntries, 3);
  RegistryKey software = nullptr, key = nullptr;
  ASSERT_EQ(kRegistrySuccess, platform.registryOpen(kHiveCurrentUser, kView64Bit, "SOFTWARE", &software));
  EXPECT_EQ(kRegistrySuccess, platform.registryOpenSubkey(software, "A\\B", &key));
  EXPECT_EQ(2, fake().openRegistryKeys);
  platform.registryClose(key);
  EXPECT_NE(kRegistrySuccess, platform.registryOpenSubkey(software, "A", &key));  // call 3
  EXPECT_EQ(nullptr, key);
  EXPECT_EQ(kRegistrySuccess, platform.registryOpenSubkey(software, "A", &key));
  platform.registryClose(key);
  platform.registryClose(software);
  EXPECT_EQ(4, fakeCallCount(kFakeRegistryEntries));
  EXPECT_EQ(0, fake().openRegistryKeys);
}
