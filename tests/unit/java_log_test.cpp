// Java's rotating log, on the fake's files.
#include "launch/java_log.h"

#include <map>

#include "launcher_test.h"

namespace {

const char kLog[] = "C:\\App\\logs\\java.log";

// The log's files by name (java.log, java.log.1, ...) and what each holds.
std::map<std::string, std::string> logFiles() {
  std::map<std::string, std::string> found;
  for (const auto& file : fake().files)
    if (file.first.rfind("c:\\app\\logs\\", 0) == 0) found[file.first.substr(12)] = file.second;
  return found;
}

class JavaLogTest : public LauncherTest {
 protected:
  JavaLog* open(unsigned long long maxBytes, int keep) {
    unsigned long errorCode = 0;
    JavaLog* log = openJavaLog(kLog, {maxBytes, keep}, &errorCode);
    EXPECT_EQ(0u, errorCode);
    return log;
  }
  void TearDown() override {
    EXPECT_EQ(0, fake().openAppendFiles + fake().openLocks + fake().lockMisuses);
    LauncherTest::TearDown();
  }
};

TEST_F(JavaLogTest, RotatesBeforeAWriteWouldPassTheLimitKeepingTheNewestFiles) {
  struct Case {
    unsigned long long maxBytes;
    int keep;
    std::string before;  // the log's content when opened
    std::vector<std::string> writes;
    std::map<std::string, std::string> files;
  } cases[] = {
      {10, 2, "", {"1111", "2222", "3333", "4444", "5555", "6666", "7777"},
       {{"java.log", "7777"}, {"java.log.1", "55556666"}, {"java.log.2", "33334444"}}},
      {10, 1, "", {"11111", "22222", "3"}, {{"java.log", "3"}, {"java.log.1", "1111122222"}}},
      {10, 0, "", {"1111", "2222", "3333"}, {{"java.log", "3333"}}},
      // A write longer than the limit goes into a file of its own, whole.
      {4, 3, "", {"12", "123456789", "1"},
       {{"java.log", "1"}, {"java.log.1", "123456789"}, {"java.log.2", "12"}}},
      // What the file held before counts.
      {10, 5, "earlier", {"1234", "5"}, {{"java.log", "12345"}, {"java.log.1", "earlier"}}},
  };
  for (const Case& c : cases) {
    SetUp();
    fakeAddFile(kLog, c.before);
    JavaLog* log = open(c.maxBytes, c.keep);
    ASSERT_NE(nullptr, log);
    for (const std::string& write : c.writes) appendToJavaLog(log, write.data(), write.size());
    closeJavaLog(log);
    EXPECT_EQ(c.files, logFiles()) << c.maxBytes << " bytes, " << c.keep << " kept";
  }
}

TEST_F(JavaLogTest, MissingFoldersAreMadeAndAFileThatCannotBeOpenedIsAnError) {
  JavaLog* log = open(100, 1);  // C:\App\logs does not exist yet
  ASSERT_NE(nullptr, log);
  appendToJavaLog(log, "a", 1);
  closeJavaLog(log);
  EXPECT_EQ("a", logFiles()["java.log"]);

  SetUp();
  fakeFailCall({FAKE_ENTRY(createDirectory)}, 2);  // C:\App, C:\App\logs
  unsigned long errorCode = 0;
  EXPECT_EQ(nullptr, openJavaLog(kLog, {100, 1}, &errorCode));
  EXPECT_EQ(3u, errorCode);  // the path's folder is not there

  SetUp();
  fakeFailCall({FAKE_ENTRY(openAppendFile)}, 1);
  EXPECT_EQ(nullptr, openJavaLog("C:\\java.log", {100, 1}, &errorCode));
  EXPECT_EQ(5u, errorCode);
  EXPECT_FALSE(fakeHasFile("C:\\java.log"));
}

// A failing write loses its bytes and no more; a file that cannot be moved
// aside grows on, and its rotation is tried again one limit further on.
TEST_F(JavaLogTest, FailuresLoseOnlyWhatTheyStruckAndAreNoted) {
  JavaLog* log = open(4, 1);
  fakeFailCall({FAKE_ENTRY(appendToFile)}, 2);
  fakeFailCall({FAKE_ENTRY(moveFile)}, 1);
  for (const char* write : {"ab", "cd", "ef", "gh", "ij", "kl", "mn"})
    appendToJavaLog(log, write, 2);
  EXPECT_EQ(112u, log->firstError);  // the disk was full
  closeJavaLog(log);
  EXPECT_EQ((std::map<std::string, std::string>{{"java.log", "klmn"}, {"java.log.1", "abefghij"}}),
            logFiles());
}

TEST_F(JavaLogTest, LimitsAreWholeNumbersInRangeElseTheirDefaults) {
  struct Case {
    const char* size;
    const char* keep;
    unsigned long long maxBytes;
    int kept;
  } cases[] = {
      {nullptr, nullptr, 10 << 20, 5}, {"1", "0", 1 << 20, 0},
      {"1000000", "999", 1000000ULL << 20, 999}, {"0", "1000", 10 << 20, 5},
      {"", "-1", 10 << 20, 5}, {"2 MB", "3x", 10 << 20, 5},
      {"99999999999999999999", "07", 10 << 20, 7},
  };
  for (const Case& c : cases) {
    JavaLogLimits limits = javaLogLimits(c.size, c.keep);
    EXPECT_EQ(c.maxBytes, limits.maxBytes) << (c.size ? c.size : "none");
    EXPECT_EQ(c.kept, limits.keep) << (c.keep ? c.keep : "none");
  }
  settings.debug = true;
  javaLogLimits("0", nullptr);
  EXPECT_EQ("javaLogSize 0 is not a whole number from 1 to 1000000: 10 is used\n", fake().output);
}

TEST_F(JavaLogTest, ARelativePathIsTakenFromTheExecutablesDirectory) {
  fake().programPath = "C:\\Program Files\\Viewer\\viewer.exe";
  struct Case {
    const char* configured;
    const char* path;
  } cases[] = {
      {"logs\\java.log", "C:\\Program Files\\Viewer\\logs\\java.log"},
      {"java.log", "C:\\Program Files\\Viewer\\java.log"},
      {"D:\\logs\\java.log", "D:\\logs\\java.log"},
      {"C:/logs/java.log", "C:/logs/java.log"},
      {"\\\\server\\logs\\java.log", "\\\\server\\logs\\java.log"},
      {"\\logs\\java.log", "\\logs\\java.log"},
  };
  for (const Case& c : cases) {
    char* path = javaLogPath(c.configured);
    EXPECT_STREQ(c.path, path);
    releaseMemory(path);
  }
}

}  // namespace
