#include "brand/tool.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "brand/brand_exe.h"
#include "brand/manifest.h"
#include "brand/show.h"
#include "brand/tool_options.h"

namespace fs = std::filesystem;

// Arguments and file names are UTF-8 (on Windows, main converts them).
static fs::path pathOf(const std::string& name) {
  return fs::path(std::u8string(name.begin(), name.end()));
}

static Bytes readFile(const std::string& name, const char* what) {
  std::error_code error;
  if (fs::is_directory(pathOf(name), error))
    fail(std::string(what) + " " + name + " is a directory");
  std::ifstream stream(pathOf(name), std::ios::binary);
  if (!stream) fail("cannot read " + std::string(what) + " " + name);
  Bytes bytes((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
  if (stream.bad()) fail("cannot read " + std::string(what) + " " + name);
  return bytes;
}

// Written beside its place with the permissions of like (the input exe),
// then renamed there.
static void writeBeside(const std::string& name, const Bytes& bytes, const std::string& like) {
  fs::path target = pathOf(name);
  fs::path temporary = target;
  temporary += ".corvane-brand-new";
  std::error_code error;
  {
    std::ofstream stream(temporary, std::ios::binary | std::ios::trunc);
    stream.write((const char*)bytes.data(), (std::streamsize)bytes.size());
    stream.close();
    if (!stream) {
      fs::remove(temporary, error);
      fail("cannot write " + name);
    }
  }
  fs::permissions(temporary, fs::status(pathOf(like), error).permissions(), error);
  fs::rename(temporary, target, error);
  if (error) {
    fs::remove(temporary, error);
    fail("cannot write " + name + ": " + error.message());
  }
}

static GivenVersion givenVersion(const std::string& text, const char* option) {
  return text.empty() ? GivenVersion{} : GivenVersion{text, parseVersionNumbers(text, option)};
}

static VersionRecord versionRecordFrom(const BrandOptions& options) {
  if (options.fileVersion.empty() && options.productVersion.empty())
    fail("a version record needs --file-version or --product-version");
  return defaultedVersionRecord(givenVersion(options.fileVersion, "--file-version"),
                                givenVersion(options.productVersion, "--product-version"),
                                options.strings,
                                (const char*)pathOf(options.output).filename().u8string().c_str());
}

static BrandRequest requestFrom(const BrandOptions& options) {
  BrandRequest request;
  if (!options.icon.empty()) request.icon = readIconFile(readFile(options.icon, "the icon file"));
  request.hasVersion =
      !options.fileVersion.empty() || !options.productVersion.empty() || !options.strings.empty();
  if (request.hasVersion) request.version = versionRecordFrom(options);
  if (!options.manifest.empty())
    request.manifest =
        checkedManifest(readFile(options.manifest, "the manifest"), options.manifest);
  request.executionLevel = options.executionLevel;
  request.removeSignature = options.removeSignature;
  return request;
}

int runBrandTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  BrandOptions options;
  try {
    options = parseBrandOptions(args);
  } catch (const BrandError& error) {
    err << "corvane-brand: " << error.message << "\n";
    return 2;
  }
  if (options.help) {
    out << kUsage;
    return 0;
  }
  try {
    if (!options.show.empty()) {
      out << showExe(readFile(options.show, "the exe"));
      return 0;
    }
    BrandRequest request = requestFrom(options);
    Bytes branded = brandExe(readFile(options.input, "the exe"), request);
    writeBeside(options.output, branded, options.input);
    return 0;
  } catch (const BrandError& error) {
    err << "corvane-brand: " << error.message << "\n";
    return 1;
  }
}
