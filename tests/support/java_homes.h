// Stand-ins for installed Java runtimes in the fake file system.
#ifndef CORVANE_TESTS_SUPPORT_JAVA_HOMES_H
#define CORVANE_TESTS_SUPPORT_JAVA_HOMES_H

#include <string>

// The first bytes of a Windows program for that machine (0x14c x86, 0x8664
// x64, ...): an "MZ" stub pointing to the "PE" header.
std::string programHeader(unsigned machine);

// home\bin\javaw.exe and home\bin\java.exe of that kind (32 or 64; any other
// number gives files that are no program) and, when release is not empty, a
// release file whose JAVA_VERSION is release.
void fakeInstallJava(const std::string& home, int bits, const std::string& release = "");

#endif
