#include "brand/manifest.h"

#include "brand/utf16.h"
#include "brand/xml_check.h"

static const char* const kExecutionLevels[] = {"asInvoker", "highestAvailable",
                                               "requireAdministrator"};

bool isExecutionLevel(const std::string& level) {
  for (const char* known : kExecutionLevels)
    if (level == known) return true;
  return false;
}

std::string checkedManifest(const Bytes& file, const std::string& path) {
  std::string text(file.begin(), file.end());
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
  if (text.find_first_not_of(" \t\r\n") == std::string::npos)
    fail("the manifest " + path + " is empty");
  if (!isUtf8(text)) fail("the manifest " + path + " is not UTF-8 text");
  std::string fault = xmlFault(text);
  if (!fault.empty()) fail("the manifest " + path + " is not well-formed XML: " + fault);
  if (text.find("<assembly") == std::string::npos && text.find(":assembly") == std::string::npos)
    fail("the manifest " + path + " holds no <assembly> element");
  return text;
}

static bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string withExecutionLevel(const std::string& manifest, const std::string& level) {
  size_t element = manifest.find("requestedExecutionLevel");
  size_t tagEnd = element == std::string::npos ? element : manifest.find('>', element);
  for (size_t at = element; tagEnd != std::string::npos && at < tagEnd; ++at) {
    if (manifest.compare(at, 5, "level") != 0 || !isSpace(manifest[at - 1])) continue;
    size_t equals = manifest.find_first_not_of(" \t\r\n", at + 5);
    if (equals >= tagEnd || manifest[equals] != '=') continue;
    size_t quote = manifest.find_first_not_of(" \t\r\n", equals + 1);
    if (quote >= tagEnd || (manifest[quote] != '"' && manifest[quote] != '\'')) break;
    size_t close = manifest.find(manifest[quote], quote + 1);
    if (close >= tagEnd) break;
    return manifest.substr(0, quote + 1) + level + manifest.substr(close);
  }
  fail("the exe's manifest has no requestedExecutionLevel with a level to change");
}
