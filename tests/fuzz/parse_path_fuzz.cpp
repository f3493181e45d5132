// Fuzzes the expansion of $NAME references: a value, the quoting flag and an
// environment. The result is compared with a model of the documented rules,
// and in debug mode so is the message box that shows the expansion.
//
// Input: a flags byte (bit 0 quoting, bit 1 debug mode), the value up to a
// NUL, then NUL-separated environment entries NAME=VALUE.
#include <stdlib.h>
#include <strings.h>

#include "common/launch_settings.h"
#include "config/parse_path.h"
#include "fuzz_support.h"
#include "platform/fake_platform.h"

static const std::string* lookUp(const std::string& name) {
  if (name.empty()) return nullptr;
  for (const auto& variable : fake().environment)
    if (strcasecmp(variable.first.c_str(), name.c_str()) == 0) return &variable.second;
  return nullptr;
}

struct Expansion {
  std::string result;
  bool lookedUp;             // the value held a '$'
  const std::string* found;  // the variable, when set
  std::string name;
  std::string beforeSlashes;
};

static Expansion model(const std::string& value, bool quoting) {
  Expansion expansion{value, false, nullptr, "", ""};
  size_t dollar = value.find('$');
  if (dollar == std::string::npos) return expansion;
  expansion.lookedUp = true;
  size_t separator = value.find('\\', dollar + 1);
  if (separator == std::string::npos) separator = value.find('/', dollar + 1);
  if (separator == std::string::npos) separator = value.size();
  expansion.name = value.substr(dollar + 1, separator - dollar - 1);
  size_t equals = value.find('=');
  if (equals != std::string::npos && equals < dollar) quoting = true;
  expansion.found = lookUp(expansion.name);
  if (!expansion.found) return expansion;

  const std::string& variable = *expansion.found;
  bool quoted = quoting && variable.find(' ') != std::string::npos;
  std::string result;
  if (equals == std::string::npos && quoted) result += '"';
  result += value.substr(0, dollar);
  if (equals != std::string::npos && quoted) result += '"';
  result += variable;
  bool endsWithSeparator = !variable.empty() && (variable.back() == '/' || variable.back() == '\\');
  if (separator < value.size()) result += value.substr(endsWithSeparator ? separator + 1 : separator);
  if (quoted) result += '"';
  expansion.beforeSlashes = result;
  for (char& c : result)
    if (c == '\\') c = '/';
  expansion.result = result;
  return expansion;
}

static void checkDebugBoxes(const std::string& value, const Expansion& expected) {
  const auto& boxes = fake().boxes;
  if (!expected.lookedUp) {
    FUZZ_EXPECT(boxes.empty(), "no box for a value without '$'");
    return;
  }
  FUZZ_EXPECT(boxes.size() == 1, "one debug box per expansion");
  if (expected.found) {
    FUZZ_EXPECT_EQ(std::string("Parse Path"), boxes[0].caption, "caption of the expansion box");
    FUZZ_EXPECT_EQ("arg [" + value + "] expanded to [" + expected.beforeSlashes + "]\n",
                   boxes[0].text, "text of the expansion box");
  } else {
    FUZZ_EXPECT_EQ(std::string("Can't find variable"), boxes[0].caption, "caption of the unset box");
    FUZZ_EXPECT_EQ(expected.name, boxes[0].text, "text of the unset box");
  }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput input = fuzzInput(data, size);
  startFuzzRun();
  uint8_t flags = takeByte(&input);
  bool quoting = flags & 1;
  settings.debug = (flags & 2) != 0;
  std::string value = takeText(&input);
  for (const std::string& entry : takeTexts(&input)) {
    size_t equals = entry.find('=');
    fakeSetEnvironment(entry.substr(0, equals),
                       equals == std::string::npos ? "" : entry.substr(equals + 1));
  }

  Expansion expected = model(value, quoting);
  char* result = parsePath(value.c_str(), quoting);
  FUZZ_EXPECT_EQ(expected.result, std::string(result), "expanded value");
  free(result);
  if (settings.debug)
    checkDebugBoxes(value, expected);
  else
    FUZZ_EXPECT(fake().boxes.empty(), "no boxes outside debug mode");
  resetLaunchSettings();
  return 0;
}
