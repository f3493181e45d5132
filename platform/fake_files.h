// The fake's file entries of staged updates (fake_files.cpp), and what they
// share with the rest of the fake.
#ifndef CORVANE_PLATFORM_FAKE_FILES_H
#define CORVANE_PLATFORM_FAKE_FILES_H

#include <string>
#include <vector>

#include "platform/fake_platform.h"
#include "platform/platform.h"

// The form in which the fake keeps paths (fake_platform.cpp), and its
// folder's ("" for none).
std::string fakeNormalizePath(const std::string& path);
std::string fakeParentOf(const std::string& normalized);
// Names and paths compare without case, as Windows compares them.
std::string fakeLowerCase(std::string text);
// Notes a call in the fake's events, in order.
void fakeNoteEvent(const std::string& text);
bool isFakeDirectory(const std::string& normalized);

bool fakeFileHeld(const std::string& normalized);
bool fakeIsRunningImage(const std::string& normalized);

PathKind fakePathKind(const char* path);
bool fakeMoveFile(const char* from, const char* to, unsigned long* errorCode);
bool fakeCreateDirectory(const char* path, unsigned long* errorCode);
bool fakeRemoveDirectory(const char* path);
// What a listing of the folder (normalized) finds: "." and ".." but at a
// drive's root, the entries a test added, then its files and folders that
// those do not name already.
std::vector<FakeDirectoryEntry> fakeFolderEntries(const std::string& folder);
bool fakeWriteFileDurably(const char* path, const char* text, unsigned long* errorCode);
void fakeSleepMilliseconds(unsigned long milliseconds);
unsigned long fakeClockMilliseconds(void);

#endif
