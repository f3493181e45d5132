// What the whole-launch fault sweep cannot show of the fake's faults: how
// calls are counted for each kind of fault, and that memory given back at an
// exit hides no leak of a run that returns.
#include "launcher_test.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CORVANE_LEAK_CHECKS 1
#include <sanitizer/lsan_interface.h>
#endif
#endif

class FakeFaultsTest : public LauncherTest {
 protected:
  // Which of calls 1 to 6 of openFile fail ('x') and which do not ('.').
  static std::string openFileFailures() {
    std::string seen;
    for (int i = 0; i < 6; ++i) {
      const char* errorText = nullptr;
      FileHandle file = platform.openFile("C:\\Work\\a.txt", &errorText);
      seen += file ? '.' : 'x';
      if (file) platform.closeFile(file);
      platform.environmentValue("PATH");  // another entry's call between
    }
    return seen;
  }
};

TEST_F(FakeFaultsTest, EachFaultCountsTheCallsOfItsOwnEntries) {
  struct Case {
    void (*schedule)();
    const char* failures;
  } cases[] = {
      {[] { fakeFailCall({FAKE_ENTRY(openFile)}, 3); }, "..x..."},
      {[] { fakeFailCallsFrom({FAKE_ENTRY(openFile)}, 4); }, "...xxx"},
      {[] { fakeFailCall(kFakeEveryEntry, 5); }, "..x..."},  // open, env, open, env, open
      {[] { fakeFailCall(kFakeEveryEntry, 4); }, "......"},  // an environment lookup
      {[] { fakeFailCallsFrom(kFakeEveryEntry, 9); }, "....xx"},
      {[] {
         fakeFailCall({FAKE_ENTRY(openFile)}, 1);
         fakeFailCall({FAKE_ENTRY(environmentValue), FAKE_ENTRY(openFile)}, 3);
       },
       "xx...."},
  };
  for (const Case& c : cases) {
    installFakePlatform();
    fakeAddFile("C:\\Work\\a.txt", "a");
    c.schedule();
    EXPECT_EQ(c.failures, openFileFailures()) << c.failures;
    EXPECT_EQ(12, fakeCallCount(kFakeEveryEntry));
    EXPECT_EQ(6, fakeCallCount({FAKE_ENTRY(openFile)}));
    EXPECT_EQ(0, fake().openFiles);
  }
}

#ifdef CORVANE_LEAK_CHECKS
TEST_F(FakeFaultsTest, OnlyARunEndedByAnExitHasItsMemoryGivenBack) {
  ASSERT_EQ(0, __lsan_do_recoverable_leak_check());
  uintptr_t hidden = 0;
  runCatchingExit([&hidden] { hidden = ~reinterpret_cast<uintptr_t>(allocateOrDie(64)); });
  EXPECT_EQ(1, __lsan_do_recoverable_leak_check());  // a run that returns lost the block
  releaseMemory(reinterpret_cast<void*>(~hidden));
  runCatchingExit([] {
    allocateOrDie(64);
    endProcess(2);
  });
  EXPECT_EQ(0, __lsan_do_recoverable_leak_check());
}
#endif
