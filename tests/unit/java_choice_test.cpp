#include "runtime/java_choice.h"

#include "launcher_test.h"
#include "runtime/runtime_registry.h"

using ::testing::ElementsAre;

class JavaChoiceTest : public LauncherTest {};

TEST_F(JavaChoiceTest, ConfiguredJavaIsKeptEvenEmptyWithoutALookup) {
  fakeSetRegistryValue(RUNTIME_ROOT_KEY, "CurrentVersion", "1.5");
  fakeSetRegistryValue(RUNTIME_ROOT_KEY "\\1.5", "JavaHome", "C:\\jre1.5.0");
  for (const char* configured : {"C:\\jre\\bin\\javaw.exe", ""}) {
    setSetting(&settings.javapath, configured);
    EXPECT_TRUE(chooseJava());
    EXPECT_STREQ(configured, settings.javapath);
  }
  EXPECT_EQ(0, fake().registryCalls);
  EXPECT_TRUE(fake().boxes.empty());
}

TEST_F(JavaChoiceTest, AbsentJavapathFallsBackToTheRegistrysCurrentRuntime) {
  fakeSetRegistryValue(RUNTIME_ROOT_KEY, "CurrentVersion", "1.5");
  fakeSetRegistryValue(RUNTIME_ROOT_KEY "\\1.5", "JavaHome", "C:\\Program Files\\Java\\jre1.5.0");
  EXPECT_TRUE(chooseJava());
  EXPECT_STREQ("\"C:\\Program Files\\Java\\jre1.5.0\\bin\\javaw.exe\"", settings.javapath);
}

TEST_F(JavaChoiceTest, NoDefaultRuntimeChoosesNothingAfterSayingSo) {
  EXPECT_FALSE(chooseJava());
  EXPECT_EQ(nullptr, settings.javapath);
  EXPECT_THAT(captions(), ElementsAre("Error!"));
}
