#include "brand/tool_options.h"

#include "brand/bytes.h"
#include "brand/manifest.h"

const char* const kUsage =
    "usage: corvane-brand INPUT.exe OUTPUT.exe [options]   (OUTPUT may be INPUT)\n"
    "       corvane-brand --show EXE\n"
    "options:\n"
    "  --icon FILE.ico             the exe's icon in the shell: every image of the file\n"
    "  --product-name TEXT         ProductName (and FileDescription unless given)\n"
    "  --description TEXT          FileDescription\n"
    "  --company TEXT              CompanyName\n"
    "  --copyright TEXT            LegalCopyright\n"
    "  --file-version N[.N[.N[.N]]]     file version (default: the product version)\n"
    "  --product-version N[.N[.N[.N]]]  product version (default: the file version)\n"
    "  --internal-name TEXT        InternalName (default: the output's name without .exe)\n"
    "  --original-filename TEXT    OriginalFilename (default: the output's name)\n"
    "  --manifest FILE             replaces the manifest whole\n"
    "  --execution-level LEVEL     asInvoker, highestAvailable or requireAdministrator\n"
    "  --remove-signature          brand a signed exe, dropping its signature\n";

// Options taking a value: each sets a field of its own or a version string.
struct ValueOption {
  const char* name;
  std::string BrandOptions::*field;
  const char* versionString;
};
static const ValueOption kValueOptions[] = {
    {"--icon", &BrandOptions::icon, nullptr},
    {"--manifest", &BrandOptions::manifest, nullptr},
    {"--execution-level", &BrandOptions::executionLevel, nullptr},
    {"--file-version", &BrandOptions::fileVersion, nullptr},
    {"--product-version", &BrandOptions::productVersion, nullptr},
    {"--show", &BrandOptions::show, nullptr},
    {"--product-name", nullptr, "ProductName"},
    {"--description", nullptr, "FileDescription"},
    {"--company", nullptr, "CompanyName"},
    {"--copyright", nullptr, "LegalCopyright"},
    {"--internal-name", nullptr, "InternalName"},
    {"--original-filename", nullptr, "OriginalFilename"},
};

static void setOption(BrandOptions& options, const ValueOption& option, const std::string& value) {
  if (option.field) {
    std::string& target = options.*option.field;
    if (!target.empty()) fail(std::string(option.name) + " is given twice");
    if (value.empty()) fail(std::string(option.name) + " needs a value");
    target = value;
    return;
  }
  for (const auto& [name, given] : options.strings)
    if (name == option.versionString) fail(std::string(option.name) + " is given twice");
  options.strings.push_back({option.versionString, value});
}

BrandOptions parseBrandOptions(const std::vector<std::string>& args) {
  BrandOptions options;
  std::vector<std::string> files;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      options.help = true;
      return options;
    }
    if (arg == "--remove-signature") {
      options.removeSignature = true;
      continue;
    }
    if (arg.compare(0, 2, "--") != 0 || arg == "--") {
      files.push_back(arg);
      continue;
    }
    const ValueOption* option = nullptr;
    for (const ValueOption& known : kValueOptions)
      if (arg == known.name) option = &known;
    if (!option) fail("unknown option " + arg);
    if (i + 1 >= args.size()) fail(arg + " needs a value");
    setOption(options, *option, args[++i]);
  }
  if (!options.executionLevel.empty() && !isExecutionLevel(options.executionLevel))
    fail("--execution-level \"" + options.executionLevel +
         "\" is none of asInvoker, highestAvailable, requireAdministrator");
  if (!options.show.empty()) {
    if (args.size() != 2) fail("--show takes one exe and nothing else");
    return options;
  }
  if (files.size() != 2) fail("give an input exe and an output exe (--help shows how)");
  options.input = files[0];
  options.output = files[1];
  bool changes = !options.icon.empty() || !options.manifest.empty() ||
                 !options.executionLevel.empty() || !options.fileVersion.empty() ||
                 !options.productVersion.empty() || !options.strings.empty() ||
                 options.removeSignature;
  if (!changes)
    fail(
        "nothing to change: give --icon, version strings, --manifest or "
        "--execution-level (--help shows how)");
  return options;
}
