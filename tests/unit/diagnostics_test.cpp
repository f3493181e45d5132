#include "common/diagnostics.h"

#include "launcher_test.h"

class DiagnosticsTest : public LauncherTest {};

// Each box as "caption|text|style".
static std::vector<std::string> shownBoxes() {
  std::vector<std::string> shown;
  for (const auto& box : fake().boxes)
    shown.push_back(box.caption + "|" + box.text + "|" + std::to_string(box.style));
  return shown;
}

// What the launcher tells, each returning the answer it got.
static int anError() { return showMessage("Error", kBoxIconError, "No %s", "class"); }
static int linesOfAText() { return showText("Error", kBoxIconError, "a\n b\n"); }
static int aQuestion() { return showText("Q", kBoxYesNo, "Sure?"); }
static int aDebugValue() { return debugMessage("CWD", "%s", "C:\\A"), 0; }
static int aRegistryDiagnostic() { return debugErrorMessage("Error Reading Registry", "Key"), 0; }
static int aTraceLine() { return traceLine("checking (%d)\n", 1), 0; }
static int aDebugTraceLine() { return debugTraceLine("cmdLine\n"), 0; }
static int anErrorLine() { return errorLine("Can't open %s\n", "x"), 0; }
static int aPage() { return askToOpenPage("c", "t", "Open?", "http://p"); }
static int noPage() { return askToOpenPage("c", "t", "Open?", nullptr); }
static int memoryRunsOut() { return reportOutOfMemory(), 0; }

TEST_F(DiagnosticsTest, TheGuiLauncherShowsBoxesAndTheConsoleLauncherWritesStandardError) {
  enum Variant { kGui, kConsole };
  struct Row {
    Variant variant;
    bool debug;
    int (*call)();
    std::vector<std::string> boxes;
    const char* output;
    const char* error;
    int answer;
  } rows[] = {
      {kGui, false, anError, {"Error|No class|16"}, "", "", kAnswerOk},
      {kConsole, false, anError, {}, "", "Error: No class\n", kAnswerOk},
      {kConsole, false, linesOfAText, {}, "", "Error: a\n b\n", kAnswerOk},
      {kGui, false, aQuestion, {"Q|Sure?|4"}, "", "", kAnswerYes},
      {kConsole, false, aQuestion, {}, "", "Q: Sure?\n", kAnswerNo},
      {kGui, false, aDebugValue, {}, "", "", 0},
      {kGui, true, aDebugValue, {"CWD|C:\\A|0"}, "", "", 0},
      {kConsole, false, aDebugValue, {}, "", "", 0},
      {kConsole, true, aDebugValue, {}, "", "CWD: C:\\A\n", 0},
      {kConsole, true, aRegistryDiagnostic, {}, "", "Error Reading Registry: Key\n", 0},
      {kGui, false, aTraceLine, {}, "checking (1)\n", "", 0},
      {kConsole, false, aTraceLine, {}, "", "", 0},
      {kConsole, true, aTraceLine, {}, "", "checking (1)\n", 0},
      {kGui, true, aDebugTraceLine, {}, "cmdLine\n", "", 0},
      {kConsole, true, aDebugTraceLine, {}, "", "cmdLine\n", 0},
      {kConsole, false, anErrorLine, {}, "", "Can't open x\n", 0},
      {kGui, false, aPage, {"c|t\nOpen?|20"}, "", "", 1},
      {kConsole, false, aPage, {}, "", "c: t\nDownload page: http://p\n", 0},
      {kConsole, false, noPage, {}, "", "c: t\n", 0},
      {kGui, false, memoryRunsOut, {"Error|Out of memory|16"}, "", "Out of memory\n", 0},
      {kConsole, false, memoryRunsOut, {}, "", "Error: Out of memory\n", 0},
  };
  for (size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i) {
    const Row& row = rows[i];
    installFakePlatform();
    openDiagnostics(row.variant == kConsole ? kConsoleLauncher : kGuiLauncher);
    settings.debug = row.debug;
    fake().yesNoAnswer = kAnswerYes;  // what a user would answer
    EXPECT_EQ(row.answer, row.call()) << "row " << i;
    EXPECT_EQ(row.boxes, shownBoxes()) << "row " << i;
    EXPECT_EQ(row.output, fake().output) << "row " << i;
    EXPECT_EQ(row.error, fake().error) << "row " << i;
  }
}
