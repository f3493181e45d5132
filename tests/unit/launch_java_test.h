// Fixture of the tests of starting Java: a javapath and a main class set,
// launched as the main sequence launches once the configuration is read,
// with an exit code the launch must overwrite.
#ifndef CORVANE_TESTS_UNIT_LAUNCH_JAVA_TEST_H
#define CORVANE_TESTS_UNIT_LAUNCH_JAVA_TEST_H

#include "launch/launch_java.h"
#include "launcher_test.h"

class LaunchJavaTest : public LauncherTest {
 protected:
  void SetUp() override {
    LauncherTest::SetUp();
    setSetting(&settings.javapath, "C:\\jre\\bin\\javaw.exe");
    setSetting(&settings.mainclass, "a.Main");
  }
  unsigned long exitCode = 12345;
  LaunchOutcome launch(LauncherVariant variant = kGuiLauncher) {
    JavaRun run = {};
    LaunchOutcome outcome = launchConfigured(variant, &run);
    exitCode = run.exitCode;
    return outcome;
  }
};

#endif
