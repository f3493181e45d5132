// A staged update against the fake's file system: the application's tree
// compared whole, before and after, whatever call fails and wherever the
// launcher is ended.
#include "update/staged_update.h"
#include "update/update_files.h"

#include <map>

#include "launcher_test.h"

using ::testing::HasSubstr;

namespace {

typedef std::map<std::string, std::string> Tree;  // path -> content; a folder's is "<folder>"
const char kFolder[] = "<folder>";
const std::string kApp = "c:\\app";
const std::string kUpdate = kApp + "\\update";

// The fake's files and folders at or below root (paths as the fake keeps them).
Tree treeAt(const std::string& root, bool withUpdate) {
  auto counts = [&](const std::string& path) {
    bool below = path == root || path.rfind(root + "\\", 0) == 0;
    bool inUpdate = path == kUpdate || path.rfind(kUpdate + "\\", 0) == 0;
    return below && (withUpdate || !inUpdate);
  };
  Tree tree;
  for (const auto& file : fake().files)
    if (counts(file.first)) tree[file.first] = file.second;
  for (const auto& folder : fake().directories)
    if (counts(folder.first)) tree[folder.first] = kFolder;
  return tree;
}
Tree appTree() { return treeAt(kApp, false); }
Tree updateTree() { return treeAt(kUpdate, true); }

// Old version: the launcher, its configuration, three jars. The update
// replaces the launcher, the configuration and a jar, adds a jar in a new
// folder and removes one.
void installUpdate() {
  fake().programPath = "C:\\App\\viewer.exe";
  fakeAddFile("C:\\App\\viewer.exe", "launcher 1");
  fakeAddFile("C:\\App\\viewer.config", "mainclass a.Main\n");
  fakeAddFile("C:\\App\\lib\\app.jar", "app 1");
  fakeAddFile("C:\\App\\lib\\old.jar", "old 1");
  fakeAddFile("C:\\App\\lib\\keep.jar", "keep 1");
  fakeAddFile("C:\\App\\update\\viewer.exe", "launcher 2");
  fakeAddFile("C:\\App\\update\\viewer.config", "mainclass a.Main\nvmparam -Dv=2\n");
  fakeAddFile("C:\\App\\update\\lib\\app.jar", "app 2");
  fakeAddFile("C:\\App\\update\\lib\\plugins\\extra.jar", "extra 2");
  fakeAddFile("C:\\App\\update\\remove.list", "# dropped in version 2\r\nlib/old.jar  \r\n\r\n");
  setSetting(&settings.updateDirectory, "update");
}

Tree newAppTree() {
  return {{kApp, kFolder},
          {kApp + "\\viewer.exe", "launcher 2"},
          {kApp + "\\viewer.config", "mainclass a.Main\nvmparam -Dv=2\n"},
          {kApp + "\\lib", kFolder},
          {kApp + "\\lib\\app.jar", "app 2"},
          {kApp + "\\lib\\keep.jar", "keep 1"},
          {kApp + "\\lib\\plugins", kFolder},
          {kApp + "\\lib\\plugins\\extra.jar", "extra 2"}};
}

// A later start, in a new process: it runs the exe now in place.
StagedUpdate startAgain() {
  fake().faults.clear();
  fake().runningImage.clear();
  return applyStagedUpdate();
}

class StagedUpdateTest : public LauncherTest {
 protected:
  void SetUp() override {
    LauncherTest::SetUp();
    installUpdate();
    oldApp = appTree();
    staged = updateTree();
  }
  // The tree is the old version with the update staged as it was, or the
  // new version (then, when it was not before, this start applied it); then
  // a later start leaves exactly the new one.
  void expectOldOrNew(const Tree& before, StagedUpdate result, const std::string& when) {
    SCOPED_TRACE(when);
    Tree app = appTree();
    EXPECT_TRUE(app == oldApp || app == newAppTree()) << "a mix of versions";
    if (app == oldApp) EXPECT_EQ(staged, updateTree()) << "the staged update changed";
    if (result == kUpdateApplied) EXPECT_EQ(newAppTree(), app);
    if (app != before && app == newAppTree()) EXPECT_EQ(kUpdateApplied, result);
    startAgain();
    startAgain();
    EXPECT_EQ(newAppTree(), appTree());
    EXPECT_TRUE(updateTree().empty()) << "left over in the update folder";
  }
  Tree oldApp, staged;
};

TEST_F(StagedUpdateTest, TheNewVersionReplacesTheOldAndTheSetAsideLauncherGoesAtTheNextStart) {
  settings.debug = true;
  EXPECT_EQ(kUpdateApplied, applyStagedUpdate());
  EXPECT_EQ(newAppTree(), appTree());
  // The running launcher cannot be removed: it waits, set aside, for a later start.
  EXPECT_EQ((Tree{{kUpdate, kFolder},
                  {kUpdate + "\\update.backup", kFolder},
                  {kUpdate + "\\update.backup\\viewer.exe", "launcher 1"}}),
            updateTree());
  EXPECT_EQ(kUpdate + "\\update.backup\\viewer.exe", fake().runningImage);
  EXPECT_THAT(fake().output, HasSubstr("update: applied 6 steps from C:\\App\\update\n"));
  EXPECT_EQ(kUpdateNone, startAgain());
  EXPECT_TRUE(updateTree().empty());
}

TEST_F(StagedUpdateTest, WithoutTheKeyOrTheFolderAStartLooksOnceAtMost) {
  setSetting(&settings.updateDirectory, "");
  EXPECT_EQ(kUpdateNone, applyStagedUpdate());
  EXPECT_EQ(0, fakeCallCount(kFakeSystemEntries));
  setSetting(&settings.updateDirectory, "staging");
  EXPECT_EQ(kUpdateNone, applyStagedUpdate());
  EXPECT_EQ(1, fakeCallCount({FAKE_ENTRY(pathKind)}));
  EXPECT_EQ(1, fakeCallCount(kFakeSystemEntries) - fakeCallCount({FAKE_ENTRY(programPath)}));
  EXPECT_EQ(oldApp, appTree());
}

TEST_F(StagedUpdateTest, PathsLeadingOutsideTheApplicationsFolderLeaveTheUpdateUntouched) {
  struct Case {
    const char* staged;      // a staged file, relative to the update folder
    const char* removeList;  // or remove.list's text
    const char* trace;
  } cases[] = {
      {nullptr, "..\\viewer.ini\n", "update: refused: ..\\viewer.ini leads outside"},
      {nullptr, "lib\\..\\..\\x.jar\n", "update: refused: lib\\..\\..\\x.jar leads outside"},
      {nullptr, "C:\\Windows\\win.ini\n", "update: refused: C:\\Windows\\win.ini leads outside"},
      {nullptr, "\\\\server\\share\\x\n", "update: refused: \\\\server\\share\\x leads outside"},
      {nullptr, "\\Windows\\win.ini\n", "update: refused: \\Windows\\win.ini leads outside"},
      {nullptr, "lib\\app.jar.\n", "update: refused: lib\\app.jar. leads outside"},
      {nullptr, "lib\n", "update: refused: lib is a folder"},
      {nullptr, "update\\lib\\app.jar\n", "update: refused: update\\lib\\app.jar lies in the update folder"},
      {"update\\x.jar", nullptr, "update: refused: update\\x.jar lies in the update folder"},
      {"lib\\app.jar\\x.jar", nullptr, "update: refused: lib\\app.jar is a file"},
      {"lib", nullptr, "update: refused: lib is a folder"},
  };
  for (const Case& c : cases) {
    installFakePlatform();
    resetLaunchSettings();
    installUpdate();
    settings.debug = true;
    if (c.staged) {
      fakeAddFile(kUpdate + "\\" + c.staged, "x");
      if (std::string(c.staged) == "lib") {  // a folder in the old version, a file in the new
        fake().files.erase(kUpdate + "\\lib\\app.jar");
        fake().files.erase(kUpdate + "\\lib\\plugins\\extra.jar");
        fake().directories.erase(kUpdate + "\\lib");
        fake().directories.erase(kUpdate + "\\lib\\plugins");
      }
    }
    if (c.removeList) fakeAddFile(kUpdate + "\\remove.list", c.removeList);
    Tree app = appTree(), update = updateTree();
    EXPECT_EQ(kUpdateNone, applyStagedUpdate()) << c.trace;
    EXPECT_EQ(app, appTree()) << c.trace;
    EXPECT_EQ(update, updateTree()) << c.trace;
    EXPECT_THAT(fake().output, HasSubstr(c.trace));
  }
}

TEST_F(StagedUpdateTest, AFileHeldOpenElsewhereUndoesTheUpdateAndKeepsItForALaterStart) {
  settings.debug = true;
  fake().filesInUse.insert(kApp + "\\lib\\app.jar");
  EXPECT_EQ(kUpdateNone, applyStagedUpdate());
  EXPECT_EQ(oldApp, appTree());
  EXPECT_EQ(staged, updateTree());
  EXPECT_THAT(fake().output,
              HasSubstr("update: cannot move C:\\App\\lib\\app.jar to "
                        "C:\\App\\update\\update.backup\\lib\\app.jar (error 32)\n"));
  EXPECT_THAT(fake().output, HasSubstr("update: undone; it waits in C:\\App\\update"));
  fake().filesInUse.clear();
  EXPECT_EQ(kUpdateApplied, startAgain());
}

// Every call of the update failing in turn.
TEST_F(StagedUpdateTest, EachFailingCallLeavesTheOldVersionOrTheNew) {
  applyStagedUpdate();
  int calls = fakeCallCount(kFakeSystemEntries);
  for (int failing = 1; failing <= calls; ++failing) {
    installFakePlatform();
    resetLaunchSettings();
    installUpdate();
    fakeFailCall(kFakeSystemEntries, failing);
    StagedUpdate result = applyStagedUpdate();
    ASSERT_EQ(1u, fake().failedCalls.size());
    expectOldOrNew(oldApp, result, "call " + std::to_string(failing) + " (" + fake().failedCalls[0] +
                               ") failing");
  }
}

// The launcher ended after each call, then started again; and that start
// failing at each of its own calls in turn.
TEST_F(StagedUpdateTest, ALauncherEndedAnywhereLeavesAStartThatEndsOldOrNew) {
  applyStagedUpdate();
  int calls = fakeCallCount(kFakeSystemEntries);
  int withoutExe = 0;
  for (int killed = 1; killed <= calls; ++killed) {
    for (int failing = 0;; ++failing) {
      installFakePlatform();
      resetLaunchSettings();
      installUpdate();
      fakeKillAtCall(kFakeSystemEntries, killed);
      ASSERT_EQ(kFakeKilled, runCatchingExit([] { applyStagedUpdate(); }).status);
      std::string when = "ended at call " + std::to_string(killed) + ", then call " +
                         std::to_string(failing) + " failing";
      if (!fakeHasFile("C:\\App\\viewer.exe")) {
        // Between the two renames that replace the running launcher: the one
        // moment nothing can start the application.
        withoutExe += failing == 0;
        break;
      }
      fake().faults.clear();
      fake().runningImage.clear();
      if (failing) fakeFailCall(kFakeSystemEntries, failing);
      Tree before = appTree();
      StagedUpdate result = applyStagedUpdate();
      if (failing && fake().failedCalls.empty()) break;  // the start made fewer calls
      // A start that could not undo what it found starts no Java; the next one does.
      if (result == kUpdateStuck) result = startAgain();
      expectOldOrNew(before, result, when);
    }
  }
  EXPECT_EQ(1, withoutExe);
}

// The listing the plan and the removals read: a folder before what it holds;
// a listing cut short by a failing read gives nothing rather than a part.
TEST_F(LauncherTest, ATreeListsEachFolderBeforeItsFilesAndNothingWhenAListingFails) {
  fakeAddFile("C:\\U\\a.txt", "");
  fakeAddFile("C:\\U\\lib\\b.jar", "");
  unsigned long ignored = 0;
  platform.createDirectory("C:\\U\\empty", &ignored);
  char* tree = listTree("C:\\U");
  ASSERT_NE(nullptr, tree);
  EXPECT_EQ("f a.txt\nd empty\nd lib\nf lib\\b.jar\n", std::string(tree));
  releaseMemory(tree);
  for (int failing = 1; failing <= 2; ++failing) {
    fakeFailCall({FAKE_ENTRY(listNext)}, failing);
    EXPECT_EQ(nullptr, listTree("C:\\U")) << "listNext " << failing << " failing";
    EXPECT_EQ(0, fake().openListings);
    fake().faults.clear();
  }
  EXPECT_EQ(nullptr, listTree("C:\\U\\missing"));
}

// Written before the first step: none was taken, whatever its lines say.
TEST_F(StagedUpdateTest, AJournalCutShortWhileItWasWrittenUndoesNothing) {
  fakeAddFile(kUpdate + "\\update.journal", "\xEF\xBB\xBFp lib\\app.jar\np lib\\keep.jar\nen");
  EXPECT_EQ(kUpdateApplied, applyStagedUpdate());
  EXPECT_EQ(newAppTree(), appTree());
}

}  // namespace
