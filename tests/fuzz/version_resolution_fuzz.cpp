// Fuzzes the version resolution: a requested version against a list of
// installed version subkeys, with an optional failing registry call.
//
// What is checked, against a model that first tabulates every subkey (read or
// not, matching the prefix or not, its patch level) and then derives the
// outcome from the table rather than by replaying the walk:
// - the trace: "javaVersion=..., javaVer=..." with the text before the first
//   '_', then for each readable subkey its "checking (n)" line and, for a
//   match, the patch-level lines; the level a match is checked against is the
//   larger of the requested minimum and every earlier match's level, and the
//   match is reported as the latest when it reaches that;
// - the outcome: with B the larger of the minimum and the highest matching
//   level, javaVersion stays when B <= 0, becomes the last match of level B
//   when one exists, and otherwise the "Incompatible JRE Version Found"
//   prompt ends the process with status 11; a root key that cannot be opened
//   ends it the same way after "Java Runtime Environment Not Found" (and, in
//   debug mode, the registry error box before it);
// - the prompt: its text, its Yes/No and error icon, and that Yes alone opens
//   the download page, the 1.4.2 page or the latest-release page by the
//   version's first characters, and nothing for another version;
// - every opened key is closed, and no box shows when a version results.
// Patch levels are read with the C library's strtoll, saturated to int.
//
// Input: a flags byte (bit 0 no runtime root key, bit 1 debug mode, bit 2 the
// user answers Yes), a byte naming the registry call that fails (0 for none,
// counted from 1: open, subkey count, then one per subkey), the requested
// version up to a NUL, then the NUL-separated subkey names in enumeration order.
// To keep runs short the harness reads at most 64 characters of the request,
// at most 8 subkeys, and at most 255 characters of a name: every longer name
// is as unreadable as one of 255.
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string_view>

#include "common/launch_settings.h"
#include "fuzz_support.h"
#include "platform/fake_platform.h"
#include "runtime/runtime_registry.h"
#include "runtime/version_resolution.h"

static const size_t kLongestRequest = 64;
static const size_t kMostSubkeys = 8;
static const size_t kLongestReadableName = 254;

static int levelAfterUnderscore(const std::string& text, size_t underscore) {
  long long level = strtoll(text.c_str() + underscore + 1, nullptr, 10);
  return level > INT_MAX ? INT_MAX : level < INT_MIN ? INT_MIN : (int)level;
}

struct Subkey {
  const std::string* name;
  bool readable;
  bool matches;   // begins with the requested prefix
  bool hasLevel;  // holds a '_'
  int level;
};

struct Request {
  std::string prefix;
  int minimum;
};

static Request requestOf(const std::string& requested) {
  size_t underscore = requested.find('_');
  if (underscore == std::string::npos) return {requested, 0};
  return {requested.substr(0, underscore), levelAfterUnderscore(requested, underscore)};
}

static std::vector<Subkey> tabulate(const std::vector<std::string>& names, const Request& request,
                                    int failingCall) {
  std::vector<Subkey> table;
  if (failingCall == 2) return table;  // no count: nothing is enumerated
  for (size_t i = 0; i < names.size(); ++i) {
    const std::string& name = names[i];
    Subkey subkey = {&name, false, false, false, 0};
    subkey.readable = (int)i + 3 != failingCall && name.size() <= kLongestReadableName;
    subkey.matches = name.compare(0, request.prefix.size(), request.prefix) == 0;
    size_t underscore = name.find('_');
    subkey.hasLevel = underscore != std::string::npos;
    if (subkey.hasLevel) subkey.level = levelAfterUnderscore(name, underscore);
    table.push_back(subkey);
  }
  return table;
}

static bool isCandidate(const Subkey& subkey) {
  return subkey.readable && subkey.matches && subkey.hasLevel;
}

enum Outcome { kKept, kReplaced, kIncompatible, kRootMissing };

struct Resolution {
  Outcome outcome;
  const std::string* chosen;  // when replaced
};

static Resolution resolutionOf(const std::vector<Subkey>& table, int minimum) {
  int best = minimum;
  for (const Subkey& subkey : table)
    if (isCandidate(subkey) && subkey.level > best) best = subkey.level;
  if (best <= 0) return {kKept, nullptr};
  for (size_t i = table.size(); i-- > 0;)
    if (isCandidate(table[i]) && table[i].level == best) return {kReplaced, table[i].name};
  return {kIncompatible, nullptr};
}

// The expected trace, compared as it is produced with what was written; when
// expected is set it is collected there instead, to show a mismatch.
struct TraceCheck {
  const std::string* actual;
  size_t at;
  bool matches;
  std::string* expected;
};

static void expectTrace(TraceCheck* check, std::string_view text) {
  if (check->expected) {
    check->expected->append(text);
    return;
  }
  if (!check->matches) return;
  if (check->actual->compare(check->at, text.size(), text) != 0) {
    check->matches = false;
    return;
  }
  check->at += text.size();
}

static void expectNumber(TraceCheck* check, long long number) {
  char digits[24];
  snprintf(digits, sizeof digits, "%lld", number);
  expectTrace(check, digits);
}

static void expectSubkeyTrace(TraceCheck* check, size_t index, const Subkey& subkey,
                              int* against) {
  const std::string& name = *subkey.name;
  expectTrace(check, "checking (");
  expectNumber(check, (long long)index + 1);
  expectTrace(check, ") ");
  expectTrace(check, name);
  expectTrace(check, "\n");
  if (!subkey.matches) return;
  expectTrace(check, "found correct java version ");
  expectTrace(check, name);
  expectTrace(check, ". checking patch level\n");
  if (!subkey.hasLevel) {
    expectTrace(check, "No patch level found in ");
    expectTrace(check, name);
    expectTrace(check, "\n");
    return;
  }
  expectTrace(check, "checking patch level ");
  expectNumber(check, subkey.level);
  expectTrace(check, " against ");
  expectNumber(check, *against);
  expectTrace(check, "\n");
  if (subkey.level < *against) return;
  *against = subkey.level;
  expectTrace(check, "found latest java version ");
  expectTrace(check, name);
  expectTrace(check, "\n");
}

static void expectWholeTrace(TraceCheck* check, const std::string& requested,
                             const Request& request, const std::vector<Subkey>& table) {
  expectTrace(check, "javaVersion=");
  expectTrace(check, requested);
  expectTrace(check, ", javaVer=");
  expectTrace(check, request.prefix);
  expectTrace(check, "\n");
  int against = request.minimum;
  for (size_t i = 0; i < table.size(); ++i)
    if (table[i].readable) expectSubkeyTrace(check, i, table[i], &against);
}

static void checkTrace(const std::string& requested, const Request& request,
                       const std::vector<Subkey>& table) {
  TraceCheck check = {&fake().output, 0, true, nullptr};
  expectWholeTrace(&check, requested, request, table);
  if (check.matches && check.at == fake().output.size()) return;
  std::string expected;
  check.expected = &expected;
  expectWholeTrace(&check, requested, request, table);
  fuzzFailure("trace lines", expected, fake().output);
}

static const char* downloadPagePath(const std::string& version) {
  if (version.starts_with("1.4.2")) return "/j2se/1.4.2/download.html";
  if (version.starts_with("1.5")) return "/en/download/download_the_latest.jsp";
  return nullptr;
}

static void checkPrompt(const std::string& requested, Outcome outcome, bool answerYes) {
  const auto& boxes = fake().boxes;
  bool errorBox = outcome == kRootMissing && settings.debug;
  FUZZ_EXPECT(boxes.size() == (errorBox ? 2u : 1u), "the prompt, after the error box in debug mode");
  if (errorBox) {
    FUZZ_EXPECT_EQ(std::string("Error Accessing Registry!"), boxes[0].caption, "error box caption");
    FUZZ_EXPECT_EQ(std::string("Java Current Version"), boxes[0].text, "error box text");
    FUZZ_EXPECT(boxes[0].style == kBoxIconError, "error box style");
  }
  const FakeMessageBox& prompt = boxes.back();
  FUZZ_EXPECT_EQ(std::string(outcome == kRootMissing ? "Java Runtime Environment Not Found"
                                                     : "Incompatible JRE Version Found"),
                 prompt.caption, "prompt caption");
  FUZZ_EXPECT_EQ("Fuzzed App requires the Java Runtime Environment version " + requested +
                     "\nDo you want to download it?",
                 prompt.text, "prompt text");
  FUZZ_EXPECT(prompt.style == (kBoxIconError | kBoxYesNo), "prompt style");

  const char* path = answerYes ? downloadPagePath(requested) : nullptr;
  const auto& processes = fake().processes;
  FUZZ_EXPECT(processes.size() == (path ? 1u : 0u), "a page opens only on Yes for a known version");
  if (!path) return;
  const std::string& command = processes[0].commandLine;
  FUZZ_EXPECT(command.starts_with("\"C:\\Windows\\system32\\rundll32.exe\" "
                                  "url.dll,FileProtocolHandler \"http://"),
              "the browser command opens an http address");
  FUZZ_EXPECT(command.ends_with(std::string(path) + "\""), "the page for the version");
}

static std::vector<std::string> takeSubkeyNames(FuzzInput* input) {
  std::vector<std::string> names;
  while (!fuzzAtEnd(*input) && names.size() < kMostSubkeys) {
    std::string name = takeText(input);
    if (name.size() > kLongestReadableName + 1) name.resize(kLongestReadableName + 1);
    names.push_back(name);
  }
  return names;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput input = fuzzInput(data, size);
  startFuzzRun();
  uint8_t flags = takeByte(&input);
  int failingCall = takeByte(&input);
  std::string requested = takeText(&input);
  if (requested.size() > kLongestRequest) requested.resize(kLongestRequest);
  std::vector<std::string> names = takeSubkeyNames(&input);
  bool rootMissing = (flags & 1) || failingCall == 1;
  settings.debug = (flags & 2) != 0;
  bool answerYes = (flags & 4) != 0;
  if (!(flags & 1)) fakeSetRegistrySubkeys(RUNTIME_ROOT_KEY, names);
  fakeFailCall(kFakeRegistryEntries, failingCall);
  if (answerYes) fake().yesNoAnswer = kAnswerYes;
  setSetting(&settings.appname, "Fuzzed App");
  setSetting(&settings.javaVersion, requested.c_str());

  Request request = requestOf(requested);
  std::vector<Subkey> table = tabulate(names, request, failingCall);
  Resolution expected = requested.empty() ? Resolution{kKept, nullptr}
                        : rootMissing     ? Resolution{kRootMissing, nullptr}
                                          : resolutionOf(table, request.minimum);
  bool resolved = resolveJavaVersion();

  if (requested.empty() || rootMissing)
    FUZZ_EXPECT(fake().output.empty(), "no trace without a request or a root key");
  else
    checkTrace(requested, request, table);
  bool missing = expected.outcome == kIncompatible || expected.outcome == kRootMissing;
  FUZZ_EXPECT(resolved == !missing, "the version is missing (status 11) after a prompt");
  FUZZ_EXPECT_EQ(expected.outcome == kReplaced ? *expected.chosen : requested,
                 std::string(settings.javaVersion), "resolved javaVersion");
  FUZZ_EXPECT(fake().openRegistryKeys == 0, "every opened key is closed");
  if (missing)
    checkPrompt(requested, expected.outcome, answerYes);
  else
    FUZZ_EXPECT(fake().boxes.empty(), "no boxes when a version results");
  finishFuzzRun();
  return 0;
}
