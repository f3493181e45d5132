// Memory. Windows gives a process's memory back when the process ends. A
// run that ends through exitProcess (a longjmp in the fake) leaves the
// blocks that only its locals held, so at such an exit every block still
// allocated is given back: the fake keeps it in givenBackBlocks, where
// LeakSanitizer sees it referenced. Until then the fake notes each block by
// its address complemented, which points nowhere: a block lost by a run that
// returns normally is still a leak to the sanitizer. Given-back blocks stay
// readable (a test may look at what the run left) and are freed when released.
#include "platform/fake_memory.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <unordered_set>

#include "platform/fake_platform.h"

// Never destroyed: the blocks given back must stay referenced until the leak
// check that runs when the test program ends, after static destructors.
static std::unordered_set<uintptr_t>& liveBlocks = *new std::unordered_set<uintptr_t>;
static std::unordered_set<void*>& givenBackBlocks = *new std::unordered_set<void*>;

static uintptr_t hidden(void* block) { return ~reinterpret_cast<uintptr_t>(block); }

static void* trackBlock(void* block) {
  if (block) {
    givenBackBlocks.erase(block);  // the address of a block freed behind the fake's back
    liveBlocks.insert(hidden(block));
  }
  return block;
}

static void untrackBlock(void* block) {
  liveBlocks.erase(hidden(block));
  givenBackBlocks.erase(block);
}

void fakeGiveBackMemory(void) {
  for (uintptr_t block : liveBlocks) givenBackBlocks.insert(reinterpret_cast<void*>(~block));
  liveBlocks.clear();
}

void* fakeAllocate(size_t size) {
  if (FAKE_CALL_FAILS(allocate)) return nullptr;
  return trackBlock(malloc(size ? size : 1));
}

void* fakeReallocate(void* block, size_t size) {
  if (FAKE_CALL_FAILS(reallocate)) return nullptr;
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
