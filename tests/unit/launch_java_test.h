// Fixture of the tests of starting Java: a javapath and a main class set, and
// launchJava run with an exit code it must overwrite.
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
  LaunchEnd launch() { return launchJava(&exitCode); }
};

#endif
