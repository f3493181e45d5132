// Small exes for the brand tool's tests: headers, a code section, a
// resource section and the base relocations, as the launcher's linker lays
// them out, in either format.
#ifndef CORVANE_TESTS_BRAND_TEST_EXE_H
#define CORVANE_TESTS_BRAND_TEST_EXE_H

#include "brand/resource_tree.h"

struct TestExe {
  bool plus = false;
  bool checksum = true;
  bool resourceSection = true;
  bool signature = false;        // a certificate table at the end
  uint8_t signaturePadding = 0;  // zero bytes before it
};

Bytes makeTestExe(const TestExe& shape, const std::vector<Resource>& resources);

// The launcher's kind of icons: groups 101 and 102 of one image each, the
// two groups sharing image 3.
std::vector<Resource> launcherLikeResources();

Resource iconImageResource(uint16_t id, Bytes data);
Bytes dibImage(uint8_t fill);
Bytes pngImage();

#endif
