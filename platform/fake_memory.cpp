// Memory. Windows gives a process's memory back when the process ends. A
// run that ends through exitProcess (a longjmp in the fake, inside
// runCatchingExit) leaves the blocks that only its locals held, so at such
// an exit every block the run still has is given back: the fake keeps it in
// givenBackBlocks, where LeakSanitizer sees it referenced. Until then the
// fake notes each block a run allocates by its address complemented, which
// points nowhere: a block lost by a run that returns normally is still a
// leak to the sanitizer. Given-back blocks stay readable (a test may look at
// what the run left) and are freed when released. Outside a run an exit ends
// the test program itself, so nothing is noted there.
#include "platform/fake_memory.h"

#include <execinfo.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <unordered_set>
#include <vector>

#include "platform/fake_platform.h"

// The complemented addresses of the blocks runs hold, in open addressing:
// no allocation for each block, so that noting them costs a launch little.
// A slot is 0 when free, 1 when its address was taken out; a complemented
// block address is never either.
struct HiddenBlocks {
  std::vector<uintptr_t> slots;  // a power of two of them
  size_t used;                   // slots not free
};
static const uintptr_t kFreeSlot = 0, kRemovedSlot = 1;

// Never destroyed: the blocks given back must stay referenced until the leak
// check that runs when the test program ends, after static destructors.
static HiddenBlocks& liveBlocks = *new HiddenBlocks{};
static std::unordered_set<void*>& givenBackBlocks = *new std::unordered_set<void*>;

static uintptr_t hidden(void* block) { return ~reinterpret_cast<uintptr_t>(block); }

// The slot holding the address, or where it would go: the first removed slot
// on the way when adding, else the free slot that ends the search.
static size_t slotOf(const HiddenBlocks& blocks, uintptr_t address, bool adding) {
  size_t mask = blocks.slots.size() - 1;
  size_t slot = (size_t)((address >> 4) * 0x9E3779B97F4A7C15ULL) & mask, reusable = SIZE_MAX;
  for (; blocks.slots[slot] != kFreeSlot; slot = (slot + 1) & mask) {
    if (blocks.slots[slot] == address) return slot;
    if (blocks.slots[slot] == kRemovedSlot && reusable == SIZE_MAX) reusable = slot;
  }
  return adding && reusable != SIZE_MAX ? reusable : slot;
}

static void noteBlock(HiddenBlocks& blocks, void* block);

static void growBlocks(HiddenBlocks& blocks) {
  std::vector<uintptr_t> old;
  old.swap(blocks.slots);
  blocks.slots.assign(old.empty() ? 1024 : old.size() * 2, kFreeSlot);
  blocks.used = 0;
  for (uintptr_t address : old)
    if (address > kRemovedSlot) noteBlock(blocks, reinterpret_cast<void*>(~address));
}

static void noteBlock(HiddenBlocks& blocks, void* block) {
  if ((blocks.used + 1) * 2 > blocks.slots.size()) growBlocks(blocks);
  size_t slot = slotOf(blocks, hidden(block), true);
  if (blocks.slots[slot] == kFreeSlot) ++blocks.used;
  blocks.slots[slot] = hidden(block);
}

static void forgetBlock(HiddenBlocks& blocks, void* block) {
  if (blocks.slots.empty()) return;
  size_t slot = slotOf(blocks, hidden(block), false);
  if (blocks.slots[slot] == hidden(block)) blocks.slots[slot] = kRemovedSlot;
}

static void* trackBlock(void* block) {
  if (!block) return block;
  if (!givenBackBlocks.empty()) givenBackBlocks.erase(block);  // freed behind the fake's back
  if (fakeRunning()) noteBlock(liveBlocks, block);
  return block;
}

static void untrackBlock(void* block) {
  forgetBlock(liveBlocks, block);
  if (!givenBackBlocks.empty()) givenBackBlocks.erase(block);
}

void fakeGiveBackMemory(void) {
  for (uintptr_t& slot : liveBlocks.slots) {
    if (slot > kRemovedSlot) givenBackBlocks.insert(reinterpret_cast<void*>(~slot));
    slot = kFreeSlot;
  }
  liveBlocks.used = 0;
}

struct AllocationSites {
  bool noting;
  std::vector<unsigned long long> seen;  // in the order first met
  std::unordered_set<unsigned long long> known;
  bool failing;
  unsigned long long failingSite;
};
static AllocationSites& sites = *new AllocationSites{};

void fakeNoteAllocationSites(bool noting) {
  sites = AllocationSites{};
  sites.noting = noting;
}

const std::vector<unsigned long long>& fakeAllocationSites(void) { return sites.seen; }

void fakeFailAllocationAt(unsigned long long site) {
  fakeNoteAllocationSites(false);
  sites.failing = true;
  sites.failingSite = site;
}

// The return addresses above this call, hashed: deep enough to reach past
// the heap helpers (copyText, a text buffer's growth) to the code that asked.
static unsigned long long currentSite(void) {
  void* frames[12];
  int count = backtrace(frames, 12);
  unsigned long long hash = 1469598103934665603ULL;
  for (int i = 2; i < count; ++i)
    hash = (hash ^ reinterpret_cast<uintptr_t>(frames[i])) * 1099511628211ULL;
  return hash;
}

// True when the site that is failing has made this call.
static bool allocationFailsAtSite(void) {
  if (!sites.noting && !sites.failing) return false;
  unsigned long long site = currentSite();
  if (sites.noting && sites.known.insert(site).second) sites.seen.push_back(site);
  if (!sites.failing || site != sites.failingSite) return false;
  sites.failing = false;
  fake().failedCalls.push_back("allocate");
  return true;
}

void* fakeAllocate(size_t size) {
  if (FAKE_CALL_FAILS(allocate) || allocationFailsAtSite()) return nullptr;
  return trackBlock(malloc(size ? size : 1));
}

void* fakeReallocate(void* block, size_t size) {
  if (FAKE_CALL_FAILS(reallocate) || allocationFailsAtSite()) return nullptr;
  if (block) untrackBlock(block);
  void* grown = realloc(block, size ? size : 1);
  trackBlock(grown ? grown : block);  // a failed realloc leaves the block as it was
  return grown;
}

void fakeRelease(void* block) {
  if (!block) return;
  untrackBlock(block);
  free(block);
}

char* fakeHeapText(const std::string& text) {
  char* copy = static_cast<char*>(trackBlock(malloc(text.size() + 1)));
  memcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}
