// The fake's faults: which calls fail, and the log of every call made.
#include <algorithm>

#include "platform/fake_platform.h"

const FakeEntries kFakeEveryEntry = {};
const FakeEntries kFakeRegistryEntries = {
    FAKE_ENTRY(registryOpen), FAKE_ENTRY(registryOpenSubkey), FAKE_ENTRY(registryQueryValue),
    FAKE_ENTRY(registrySubkeyCount), FAKE_ENTRY(registryEnumSubkey)};

static bool counts(const FakeEntries& entries, size_t entry) {
  return entries.empty() || std::find(entries.begin(), entries.end(), entry) != entries.end();
}

void fakeFailCall(const FakeEntries& entries, int call) {
  fake().faults.push_back({entries, call, false, 0});
}

void fakeFailCallsFrom(const FakeEntries& entries, int call) {
  fake().faults.push_back({entries, call, true, 0});
}

int fakeCallCount(const FakeEntries& entries) {
  return (int)std::count_if(fake().calls.begin(), fake().calls.end(),
                            [&](const FakeCall& call) { return counts(entries, call.entry); });
}

bool fakeCallFails(size_t entry, const char* name) {
  bool fails = false;
  for (FakeFault& fault : fake().faults) {
    if (!counts(fault.entries, entry)) continue;
    ++fault.seen;
    fails = fails || fault.seen == fault.call || (fault.onward && fault.seen > fault.call);
  }
  fake().calls.push_back({entry, name, fails});
  return fails;
}
