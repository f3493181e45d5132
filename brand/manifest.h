// The application manifest: a whole replacement read from a file, or the
// exe's own with another execution level.
#ifndef CORVANE_BRAND_MANIFEST_H
#define CORVANE_BRAND_MANIFEST_H

#include <string>

#include "brand/bytes.h"

bool isExecutionLevel(const std::string& level);

// The manifest text of a file; throws BrandError when it is empty, not
// UTF-8, not well-formed XML or holds no <assembly> element: Windows does not
// start an exe whose manifest it cannot read.
std::string checkedManifest(const Bytes& file, const std::string& path);

// The manifest with the level attribute of its requestedExecutionLevel set.
std::string withExecutionLevel(const std::string& manifest, const std::string& level);

#endif
