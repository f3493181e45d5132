#include "config/parse_path.h"

#include "launcher_test.h"

using ::testing::ElementsAre;

class ParsePathTest : public LauncherTest {
 protected:
  void SetUp() override {
    LauncherTest::SetUp();
    fakeSetEnvironment("APPDIR", "C:\\Program Files\\Viewer");
    fakeSetEnvironment("LIBDIR", "D:\\libs\\");
  }
  static std::string expand(const char* value, bool quoting) {
    char* result = parsePath(value, quoting);
    std::string text = result;
    releaseMemory(result);
    return text;
  }
};

TEST_F(ParsePathTest, EveryRowOfTheExpansionTable) {
  struct Row {
    const char* value;
    bool quoting;
    const char* result;
  } rows[] = {
      {"-Dviewer.home=$APPDIR", true, "-Dviewer.home=\"C:/Program Files/Viewer\""},
      {"$APPDIR\\lib\\viewer.jar", true, "\"C:/Program Files/Viewer/lib/viewer.jar\""},
      {"-Xbootclasspath/a:$APPDIR\\boot.jar", true,
       "\"-Xbootclasspath/a:C:/Program Files/Viewer/boot.jar\""},
      {"$APPDIR\\lib", false, "C:/Program Files/Viewer/lib"},
      {"Name=$APPDIR", false, "Name=\"C:/Program Files/Viewer\""},
      {"$LIBDIR\\x.jar", true, "D:/libs/x.jar"},
      {"$APPDIR/lib", true, "\"C:/Program Files/Viewer/lib\""},
      {"$APPDIR/lib\\x.jar", true, "$APPDIR/lib\\x.jar"},
      {"lib\\x.jar", true, "lib\\x.jar"},
      {"$NOSUCHVAR\\x", true, "$NOSUCHVAR\\x"},
      {"$appdir\\x", false, "C:/Program Files/Viewer/x"},
      {"$APPDIR\\a\\$APPDIR", false, "C:/Program Files/Viewer/a/$APPDIR"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(row.result, expand(row.value, row.quoting)) << row.value;
}

TEST_F(ParsePathTest, EqualsAfterTheReferenceQuotesOnlyWhatFollowsThePrefix) {
  EXPECT_EQ("-D\"C:/Program Files/Viewer/x=1\"", expand("-D$APPDIR\\x=1", true));
  EXPECT_EQ("-DC:/Program Files/Viewer/x=1", expand("-D$APPDIR\\x=1", false));
}

TEST_F(ParsePathTest, EmptyNamesAndEmptyValues) {
  EXPECT_EQ("", expand("", true));
  EXPECT_EQ("$\\x", expand("$\\x", true));  // an empty name is never found
  fakeSetEnvironment("EMPTY", "");
  EXPECT_EQ("a/x", expand("a$EMPTY\\x", true));
  EXPECT_EQ("a", expand("a$EMPTY", true));
}

TEST_F(ParsePathTest, LongNamesAndValuesComeOutWhole) {
  std::string name(3000, 'N');
  std::string value(5000, 'v');
  fakeSetEnvironment(name, value);
  std::string input = "-D$" + name + "\\tail";
  EXPECT_EQ("-D" + value + "/tail", expand(input.c_str(), true));

  settings.debug = true;  // the debug box shows both texts whole
  expand(input.c_str(), true);
  expand(("$" + name + "x").c_str(), true);
  ASSERT_EQ(2u, fake().boxes.size());
  EXPECT_EQ("arg [" + input + "] expanded to [-D" + value + "\\tail]\n", fake().boxes[0].text);
  EXPECT_EQ(name + "x", fake().boxes[1].text);
}

TEST_F(ParsePathTest, DebugModeShowsTheExpansionAndTheUnsetName) {
  settings.debug = true;
  expand("$APPDIR\\lib", false);
  expand("$NOSUCHVAR\\x", false);
  ASSERT_EQ(2u, fake().boxes.size());
  EXPECT_EQ("Parse Path", fake().boxes[0].caption);
  EXPECT_EQ("arg [$APPDIR\\lib] expanded to [C:\\Program Files\\Viewer\\lib]\n",
            fake().boxes[0].text);
  EXPECT_EQ("Can't find variable", fake().boxes[1].caption);
  EXPECT_EQ("NOSUCHVAR", fake().boxes[1].text);
  EXPECT_EQ(0u, fake().boxes[0].style);
}

TEST_F(ParsePathTest, NoBoxesOutsideDebugMode) {
  expand("$APPDIR\\lib", false);
  expand("$NOSUCHVAR\\x", false);
  EXPECT_TRUE(fake().boxes.empty());
}
