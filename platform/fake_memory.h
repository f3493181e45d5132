// The fake's memory entries, and what the rest of the fake needs of them.
#ifndef CORVANE_PLATFORM_FAKE_MEMORY_H
#define CORVANE_PLATFORM_FAKE_MEMORY_H

#include <stddef.h>

#include <string>

void* fakeAllocate(size_t size);
void* fakeReallocate(void* block, size_t size);
void fakeRelease(void* block);

// A heap text for an entry to hand out (not a call of allocate of its own).
char* fakeHeapText(const std::string& text);

// At an exit: every block a run still holds counts as given back.
void fakeGiveBackMemory(void);

// True inside runCatchingExit, where an exit comes back (fake_platform.cpp).
bool fakeRunning(void);

#endif
