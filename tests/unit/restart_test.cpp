// Java started again by the launcher that started it: on a restart code,
// after failures, and with an update staged while it ran.
#include "launcher_test.h"
#include "support/java_homes.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

const char kJava[] = "C:\\Java\\bin\\javaw.exe";

class RestartTest : public LauncherTest {
 protected:
  void SetUp() override {
    LauncherTest::SetUp();
    fake().programPath = "C:\\App\\viewer.exe";
    fakeAddFile(fake().programPath, "launcher");
    fakeInstallJava("C:\\Java", 32);
  }
  static void configure(const std::string& lines) {
    fakeAddFile("C:\\App\\viewer.config",
                "mainclass a.Main\njavapath C:\\Java\\bin\\javaw.exe\n" + lines);
  }
  int run(LauncherVariant variant, std::vector<std::string> args) {
    args.insert(args.begin(), fake().programPath);
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(&arg[0]);
    return runLauncher(variant, (int)argv.size(), argv.data());
  }
  static std::vector<std::string> commandLines() {
    std::vector<std::string> lines;
    for (const FakeProcess& process : fake().processes) lines.push_back(process.commandLine);
    return lines;
  }
  static int eventCount(const std::string& prefix) {
    int count = 0;
    for (const std::string& event : fake().events) count += event.rfind(prefix, 0) == 0;
    return count;
  }
};

// The first Java stages a new version and asks for a restart: the second
// one runs it, in the same launcher, the same instance and the same job,
// with the command line's arguments and the new configuration's.
TEST_F(RestartTest, ARestartCodeRunsTheUpdateStagedByJavaWithTheConfigurationReadAnew) {
  configure("singleInstance com.example.viewer\nrestartCode 3\nupdateDirectory update\n"
            "argument -v1\n");
  fake().exitCodes = {3, 0};
  fake().whileJavaRuns.push_back([] {
    fakeAddFile("C:\\App\\update\\viewer.config",
                "mainclass a.Main\njavapath C:\\Java\\bin\\javaw.exe\nvmparam -Dv=2\n"
                "singleInstance com.example.viewer\nrestartCode 3\nupdateDirectory update\n"
                "argument -v2\n");
  });
  EXPECT_EQ(0, run(kGuiLauncher, {"report.txt", "-d"}));
  EXPECT_THAT(commandLines(), ElementsAre(std::string(kJava) + " a.Main report.txt -v1 ",
                                          std::string(kJava) + " -Dv=2 a.Main report.txt -v2 "));
  EXPECT_EQ(1, eventCount("claim "));
  EXPECT_EQ(1, eventCount("release "));
  EXPECT_EQ(1u, fake().jobs.size());
  EXPECT_EQ(1, fake().processes[1].job);
  EXPECT_EQ("release Local\\Corvane.singleInstance.com.example.viewer", fake().events.back());
  EXPECT_THAT(fake().output, HasSubstr("Java ended with 3, a restart code: it starts again\n"));
  EXPECT_FALSE(fakeHasFile("C:\\App\\update\\viewer.config"));
  EXPECT_TRUE(fake().sleeps.empty());
}

struct FailureCase {
  const char* what;
  LauncherVariant variant;
  std::vector<unsigned long> exitCodes;
  std::vector<unsigned long> runMilliseconds;
  size_t javaRuns;
  std::vector<unsigned long> waits;
  size_t boxes;
  int status;
};

TEST_F(RestartTest, FailuresRestartJavaAfterGrowingWaitsAndOnlyTheLastEndIsReported) {
  const FailureCase cases[] = {
      {"fails twice, then runs", kGuiLauncher, {1, 1, 0}, {}, 3, {1000, 2000}, 0, 0},
      {"fails every time", kGuiLauncher, {1, 1, 1, 1, 0}, {}, 4, {1000, 2000, 4000}, 1, 0},
      {"a tool fails every time", kConsoleLauncher, {1, 1, 1, 2}, {}, 4, {1000, 2000, 4000}, 0, 2},
      {"five minutes of work count from 1 again", kGuiLauncher, {1, 1, 1, 1, 1, 0},
       {10, 10, 300000, 10, 10}, 6, {1000, 2000, 1000, 2000, 4000}, 0, 0},
  };
  for (const FailureCase& c : cases) {
    installFakePlatform();
    resetLaunchSettings();
    openDiagnostics(c.variant);
    SetUp();
    configure("restartOnFailure 3\n");
    fake().exitCodes.assign(c.exitCodes.begin(), c.exitCodes.end());
    fake().javaRunMilliseconds.assign(c.runMilliseconds.begin(), c.runMilliseconds.end());
    EXPECT_EQ(c.status, run(c.variant, {})) << c.what;
    EXPECT_EQ(c.javaRuns, fake().processes.size()) << c.what;
    EXPECT_EQ(c.waits, fake().sleeps) << c.what;
    EXPECT_EQ(c.boxes, fake().boxes.size()) << c.what;
    EXPECT_EQ(1u, fake().jobs.size()) << c.what;
  }
}

TEST_F(RestartTest, JavaThatCannotBeStartedIsNotTriedAgain) {
  configure("restartOnFailure 3\nrestartCode 2\n");
  fake().startErrorCode = 2;
  fakeFailCallsFrom({FAKE_ENTRY(startSuspendedProcess)}, 1);
  EXPECT_EQ(0, run(kGuiLauncher, {}));
  EXPECT_EQ(1u, fake().processes.size());
  EXPECT_TRUE(fake().sleeps.empty());
  ASSERT_EQ(1u, fake().boxes.size());
  EXPECT_THAT(fake().boxes[0].text, HasSubstr("Error=2"));
}

// A journal whose steps cannot be undone: the files may be a mix of two
// versions, and no Java may see them.
TEST_F(RestartTest, AnUpdateCutShortThatCannotBeUndoneStartsNoJava) {
  configure("updateDirectory update\n");
  fakeAddFile("C:\\App\\update\\update.journal", "p lib\\gone.jar\nend\n");
  EXPECT_EQ(125, run(kConsoleLauncher, {}));
  EXPECT_TRUE(fake().processes.empty());
  EXPECT_THAT(fake().error, HasSubstr("An update of the application could not be finished or undone"));
  EXPECT_TRUE(fakeHasFile("C:\\App\\update\\update.journal"));
}

}  // namespace
