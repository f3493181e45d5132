// Branding: an exe with the application's shell icon, version record and
// manifest, everything else kept. Same input and request, same bytes.
#ifndef CORVANE_BRAND_BRAND_EXE_H
#define CORVANE_BRAND_BRAND_EXE_H

#include "brand/icon_file.h"
#include "brand/version_record.h"

struct BrandRequest {
  std::vector<IconImage> icon;  // empty: the icons stay
  bool hasVersion = false;
  VersionRecord version;
  std::string manifest;        // empty: the exe's own
  std::string executionLevel;  // empty: as the manifest has it
  bool removeSignature = false;
};

// Throws BrandError when the exe cannot be branded.
Bytes brandExe(const Bytes& exe, const BrandRequest& request);

#endif
