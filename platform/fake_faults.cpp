// The fake's faults: which calls fail, and how many calls each entry had.
#include <algorithm>

#include "platform/fake_platform.h"

const FakeEntries kFakeEveryEntry = {};
const FakeEntries kFakeRegistryEntries = {
    FAKE_ENTRY(registryOpen), FAKE_ENTRY(registryOpenSubkey), FAKE_ENTRY(registryQueryValue),
    FAKE_ENTRY(registrySubkeyCount), FAKE_ENTRY(registryEnumSubkey)};

// Both tables': the service table's entries count after the platform's.
static const size_t kAllEntries = sizeof(PlatformOps) + sizeof(ServicePlatformOps);

static FakeEntries everyEntryButMemory() {
  FakeEntries entries;
  for (size_t entry = 0; entry < kAllEntries; entry += sizeof(void (*)()))
    if (entry != FAKE_ENTRY(allocate) && entry != FAKE_ENTRY(reallocate)) entries.push_back(entry);
  return entries;
}
const FakeEntries kFakeSystemEntries = everyEntryButMemory();

static FakeEntries serviceEntries() {
  FakeEntries entries;
  for (size_t entry = sizeof(PlatformOps); entry < kAllEntries; entry += sizeof(void (*)()))
    entries.push_back(entry);
  return entries;
}
const FakeEntries kFakeServiceEntries = serviceEntries();

static bool counts(const FakeEntries& entries, size_t entry) {
  return entries.empty() || std::find(entries.begin(), entries.end(), entry) != entries.end();
}

void fakeFailCall(const FakeEntries& entries, int call) {
  fake().faults.push_back({entries, call, false, 0, false});
}

void fakeFailCallsFrom(const FakeEntries& entries, int call) {
  fake().faults.push_back({entries, call, true, 0, false});
}

void fakeKillAtCall(const FakeEntries& entries, int call) {
  fake().faults.push_back({entries, call, false, 0, true});
}

static const size_t kEntrySize = sizeof(void (*)());
static_assert(sizeof(PlatformOps) % kEntrySize == 0, "every entry is a function pointer");
static_assert(sizeof(ServicePlatformOps) % kEntrySize == 0, "every entry is a function pointer");

int fakeCallCount(const FakeEntries& entries) {
  int total = 0;
  for (size_t entry = 0; entry < kAllEntries; entry += kEntrySize)
    if (counts(entries, entry)) total += fake().callsByEntry[entry / kEntrySize];
  return total;
}

bool fakeCallFails(size_t entry, const char* name) {
  bool fails = false, kills = false;
  for (FakeFault& fault : fake().faults) {
    if (!counts(fault.entries, entry)) continue;
    ++fault.seen;
    bool strikes = fault.seen == fault.call || (fault.onward && fault.seen > fault.call);
    kills = kills || (strikes && fault.kills);
    fails = fails || (strikes && !fault.kills);
  }
  if (kills) platform.exitProcess(kFakeKilled);
  ++fake().callsByEntry[entry / kEntrySize];
  if (fails) fake().failedCalls.push_back(name);
  return fails;
}
