// What --show lists of an exe: its icon groups with their images' sizes,
// every version string, and the manifest's text.
#ifndef CORVANE_BRAND_SHOW_H
#define CORVANE_BRAND_SHOW_H

#include "brand/bytes.h"

// Throws BrandError when the exe cannot be read.
std::string showExe(const Bytes& exe);

#endif
