// Fuzzes the version resolution: a requested version against a list of
// installed version subkeys, with an optional failing registry call. The new
// javaVersion, the trace lines, the exit (status 11) and the prompt are
// compared with a model of the documented rules.
//
// Input: a flags byte (bit 0 no runtime root key, bit 1 debug mode, bit 2 the
// user answers Yes), a byte naming the registry call that fails (0 for none,
// counted from 1: open, subkey count, then one per subkey), the requested
// version up to a NUL, then the NUL-separated subkey names in enumeration order.
#include <limits.h>
#include <stdlib.h>

#include "common/launch_settings.h"
#include "fuzz_support.h"
#include "platform/fake_platform.h"
#include "runtime/runtime_registry.h"
#include "runtime/version_resolution.h"

static const size_t kLongestReadableName = 254;

static int atoiModel(const std::string& text) {
  long long value = strtoll(text.c_str(), nullptr, 10);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return (int)value;
}

struct Resolution {
  std::string output;
  std::string version;  // javaVersion afterwards
  bool exits;           // with status 11 after the prompt
  std::string caption;  // of the prompt
};

static Resolution model(const std::string& requested, const std::vector<std::string>& names,
                        bool rootMissing, int failingCall) {
  if (requested.empty()) return {"", requested, false, ""};
  if (rootMissing || failingCall == 1)
    return {"", requested, true, "Java Runtime Environment Not Found"};
  size_t count = failingCall == 2 ? 0 : names.size();
  size_t underscore = requested.find('_');
  std::string prefix = requested.substr(0, underscore);
  int best = underscore == std::string::npos ? 0 : atoiModel(requested.substr(underscore + 1));
  std::string bestName;
  std::string output = "javaVersion=" + requested + ", javaVer=" + prefix + "\n";
  for (size_t i = 0; i < count; ++i) {
    const std::string& name = names[i];
    if ((int)i + 3 == failingCall || name.size() > kLongestReadableName) continue;
    output += "checking (" + std::to_string(i + 1) + ") " + name + "\n";
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    output += "found correct java version " + name + ". checking patch level\n";
    size_t nameUnderscore = name.find('_');
    if (nameUnderscore == std::string::npos) {
      output += "No patch level found in " + name + "\n";
      continue;
    }
    int level = atoiModel(name.substr(nameUnderscore + 1));
    output += "checking patch level " + std::to_string(level) + " against " +
              std::to_string(best) + "\n";
    if (level >= best) {
      best = level;
      bestName = name;
      output += "found latest java version " + name + "\n";
    }
  }
  if (best <= 0) return {output, requested, false, ""};
  if (bestName.empty()) return {output, requested, true, "Incompatible JRE Version Found"};
  return {output, bestName, false, ""};
}

static bool hasDownloadPage(const std::string& version) {
  return version.compare(0, 5, "1.4.2") == 0 || version.compare(0, 3, "1.5") == 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput input = fuzzInput(data, size);
  startFuzzRun();
  uint8_t flags = takeByte(&input);
  int failingCall = takeByte(&input);
  std::string requested = takeText(&input);
  std::vector<std::string> names = takeTexts(&input);
  bool rootMissing = flags & 1;
  settings.debug = (flags & 2) != 0;
  bool answerYes = (flags & 4) != 0;
  if (!rootMissing) fakeSetRegistrySubkeys(RUNTIME_ROOT_KEY, names);
  fakeFailCall(kFakeRegistryEntries, failingCall);
  if (answerYes) fake().yesNoAnswer = kAnswerYes;
  setSetting(&settings.appname, "Fuzzed App");
  setSetting(&settings.javaVersion, requested.c_str());

  Resolution expected = model(requested, names, rootMissing, failingCall);
  ExitResult exit = runCatchingExit([] { resolveJavaVersion(); });

  FUZZ_EXPECT_EQ(expected.output, fake().output, "trace lines");
  FUZZ_EXPECT_EQ(expected.version, std::string(settings.javaVersion), "resolved javaVersion");
  FUZZ_EXPECT_EQ(std::to_string(expected.exits ? 11 : -1),
                 std::to_string(exit.exited ? exit.status : -1), "exit status");
  FUZZ_EXPECT(fake().openRegistryKeys == 0, "every opened key is closed");
  const auto& boxes = fake().boxes;
  if (expected.exits) {
    FUZZ_EXPECT(!boxes.empty(), "a prompt before the exit");
    FUZZ_EXPECT_EQ(expected.caption, boxes.back().caption, "prompt caption");
    FUZZ_EXPECT_EQ("Fuzzed App requires the Java Runtime Environment version " + requested +
                       "\nDo you want to download it?",
                   boxes.back().text, "prompt text");
    bool opened = answerYes && hasDownloadPage(requested);
    FUZZ_EXPECT_EQ(std::to_string(opened ? 1 : 0), std::to_string(fake().processes.size()),
                   "download page opened only on Yes for a known version");
  } else {
    FUZZ_EXPECT(boxes.empty(), "no boxes when a version results");
  }
  resetLaunchSettings();
  return 0;
}
