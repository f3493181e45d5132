// Fuzzes the command-line assembly and the launch. The raw pieces (Java path,
// VM parameters, main class, class-path entries with quotes of their own)
// must stand in order exactly as stored, the other class-path entries quoted
// where they hold a blank or a tab, the class path one argument; splitting
// what follows the main class the C runtime's way must give back each
// program argument exactly, quoted where its caller quoted it and unquoted
// where Java would have expanded it had it been typed so; and the launch
// starts that very line, or refuses one longer than Windows takes or one
// with a text that Java would read otherwise. What Java reads of a started
// line, in the fake's code page with best fit, splits into the arguments as
// Java reads each, quoted where that reading holds a wildcard its caller did
// not type.
//
// Input: a flags byte (bit 0 debug mode, bit 1 also launch, bit 2 no main
// class, bit 3 the code page 932 instead of Latin-1), the Java path and the
// main class each up to a NUL, then entries: a tag byte (bits 0-1: vmparam,
// vmpath, vmjars, arguments; in a short input bit 2: the caller quoted the
// argument; in a long input bits 2-7: the entry is appended 1 + n times) and
// the entry's text up to a NUL.
//
// What one input can grow to is bounded, since every pass over a line costs
// the fuzzer time in proportion. An input of up to kShortInput bytes (all
// that scripts/fuzz.sh lets libFuzzer make) appends each entry once; a longer
// one, as the seeds at Windows' limit are, repeats its entries up to some
// 41,000 bytes of settings, a little past the longest line that Windows
// takes, which is all it takes to try that limit.
#include <stdlib.h>
#include <string.h>

#include "common/launch_settings.h"
#include "fuzz_support.h"
#include "launch/command_line.h"
#include "app/main_sequence.h"
#include "launch/launch_java.h"
#include "platform/fake_platform.h"
#include "support/command_line_split.h"

static const size_t kShortInput = 512;
static const size_t kLongestSettings = kMaxCommandLineLength + 8192;

static void readEntries(FuzzInput* input, bool longLine) {
  TextList* lists[] = {&settings.vmparam, &settings.vmpath, &settings.vmjars, &settings.arguments};
  size_t total = 0;
  while (!fuzzAtEnd(*input)) {
    uint8_t tag = takeByte(input);
    std::string text = takeText(input);
    int repeat = longLine ? 1 + (tag >> 2) : 1;
    for (int i = 0; i < repeat && total <= kLongestSettings; ++i, total += text.size() + 1)
      appendSetting(lists[tag & 3], text.c_str());
    if (!longLine && (tag & 7) == 7) quoteArgument(settings.arguments.count - 1);
  }
}

static std::vector<std::string> listOf(const TextList& list) {
  return std::vector<std::string>(list.items, list.items + list.count);
}

static void expectSameWords(const std::vector<std::string>& expected,
                            const std::vector<std::string>& actual, const char* property) {
  if (expected != actual) fuzzFailure(property, showText(expected), showText(actual));
}

static std::vector<std::string> classPathOf(void) {
  std::vector<std::string> classPath = listOf(settings.vmpath);
  for (const std::string& jar : listOf(settings.vmjars)) classPath.push_back(jar);
  return classPath;
}

// A class-path entry without a quote of its own in quotes where it is empty
// or holds a blank or a tab, its closing backslashes doubled.
static std::string quotedEntry(const std::string& entry) {
  if (entry.find('"') != std::string::npos ||
      (!entry.empty() && entry.find_first_of(" \t") == std::string::npos))
    return entry;
  size_t end = entry.find_last_not_of('\\') + 1;
  return "\"" + entry.substr(0, end) + std::string(2 * (entry.size() - end), '\\') + "\"";
}

// Everything before the program arguments, as the assembly must lay it out.
static std::string rawPieces(bool* holdsQuote) {
  std::string line = std::string(settings.javapath) + " ";
  for (const std::string& parameter : listOf(settings.vmparam)) line += parameter + " ";
  std::vector<std::string> classPath = classPathOf();
  if (!classPath.empty()) {
    line += "-classpath ";
    for (size_t i = 0; i < classPath.size(); ++i) line += (i ? ";" : "") + quotedEntry(classPath[i]);
    line += " ";
  }
  line += settings.mainclass;
  *holdsQuote = line.find('"') != std::string::npos;
  return line;
}

// Without quotes of their own the entries make one argument, exactly.
static void checkClassPath(void) {
  std::vector<std::string> classPath = classPathOf();
  std::string joined;
  for (size_t i = 0; i < classPath.size(); ++i) {
    if (classPath[i].find('"') != std::string::npos) return;
    joined += (i ? ";" : "") + classPath[i];
  }
  if (classPath.empty()) return;
  TextBuffer option = {};
  appendClassPathOption(&option);
  std::string text = option.data;
  textFree(&option);
  expectSameWords({"-classpath", joined}, splitLikeCRuntime(text), "the class path is one argument");
}

// A quoted argument is quoted on the line; any other is not, unless it must
// be (empty, or with a blank or a tab): Java expands its wildcards as it
// would have, typed so.
static void checkQuoting(const std::vector<std::string>& arguments, const std::vector<bool>& quoted) {
  for (size_t i = 0; i < arguments.size(); ++i) {
    bool mustQuote = arguments[i].empty() || arguments[i].find_first_of(" \t") != std::string::npos;
    FUZZ_EXPECT(quoted[i] == (argumentQuoted((int)i) || mustQuote),
                "an argument reaches Java quoted as its caller quoted it");
  }
}

static void checkAssembly(const std::string& line) {
  checkClassPath();
  bool holdsQuote = false;
  std::string raw = rawPieces(&holdsQuote);
  std::vector<std::string> arguments = listOf(settings.arguments);
  FUZZ_EXPECT_EQ(raw, line.substr(0, raw.size()), "raw pieces in order, as stored");
  if (arguments.empty()) {
    FUZZ_EXPECT_EQ(raw, line, "nothing after the main class without arguments");
    return;
  }
  std::string tail = line.substr(raw.size());
  FUZZ_EXPECT(tail.size() >= 2 && tail.front() == ' ' && tail.back() == ' ',
              "arguments set off by blanks");
  std::vector<bool> quoted;
  expectSameWords(arguments, splitLikeCRuntime(tail, &quoted), "each argument comes back exactly");
  checkQuoting(arguments, quoted);
  if (holdsQuote) return;  // a raw quote may open a quoted part that runs on
  std::vector<std::string> whole = splitLikeCRuntime(raw);
  whole.insert(whole.end(), arguments.begin(), arguments.end());
  expectSameWords(whole, splitLikeCRuntime(line),
                  "the whole line splits into the raw pieces' words and the arguments");
}

static std::string assembledLine() {
  char* built = buildCommandLine();
  std::string line = built;
  free(built);
  return line;
}

// The text as Java reads it: in the fake's code page, with best fit.
static std::string javaRead(const std::string& text) {
  int codePage = fake().codePage;
  return fakeAnsiToUtf8Form(codePage, fakeAnsiForm(codePage, text.c_str(), true).c_str());
}

static std::string marks(const std::string& text, const char* set) {
  std::string found;
  for (char c : text)
    if (strchr(set, c)) found += c;
  return found;
}

// What Java reads of the program arguments splits into each argument as
// Java reads it; one that reads with other wildcards than its caller typed
// (typed: the arguments before the launch) reaches Java quoted.
static void checkJavaReading(const std::string& line, const std::vector<std::string>& typed) {
  bool holdsQuote = false;
  std::vector<std::string> arguments = listOf(settings.arguments), expected;
  for (const std::string& argument : arguments) expected.push_back(javaRead(argument));
  std::vector<bool> quoted;
  std::vector<std::string> read = splitLikeCRuntime(javaRead(line.substr(rawPieces(&holdsQuote).size())), &quoted);
  expectSameWords(expected, read, "Java reads each argument whole");
  for (size_t i = 0; i < typed.size(); ++i)
    if (marks(expected[i], "*?") != marks(typed[i], "*?"))
      FUZZ_EXPECT(quoted[i], "a wildcard the code page made reaches Java quoted");
}

// Refused for the code page: the box names a text that Java would read
// with other quotes, blanks, tabs or backslashes.
static bool refusedForCodePage(const std::string& box) {
  static const char kStart[] = "Java cannot be given\n";
  if (box.compare(0, sizeof kStart - 1, kStart) != 0) return false;
  std::vector<std::string> texts = classPathOf();
  for (const std::string& parameter : listOf(settings.vmparam)) texts.push_back(parameter);
  texts.push_back(settings.mainclass);
  for (const std::string& text : texts)
    if (box.compare(sizeof kStart - 1, text.size() + 1, text + "\n") == 0 &&
        marks(text, "\"\\ \t") != marks(javaRead(text), "\"\\ \t"))
      return true;
  FUZZ_EXPECT_EQ(std::string("a text Java would read otherwise"), box, "the refusal names one");
  return false;
}

// The launch builds the line itself: the one started is checked as assembled,
// and only a refused one is built again, to see that Windows would not take it.
static void checkLaunch() {
  std::vector<std::string> typed = listOf(settings.arguments);
  JavaRun run = {false, false, false, 1};
  LaunchOutcome result = launchConfigured(kGuiLauncher, &run);
  const auto& processes = fake().processes;
  if (!processes.empty()) {
    FUZZ_EXPECT(processes.size() == 1, "one Java is started");
    const std::string& line = processes[0].commandLine;
    FUZZ_EXPECT(utf16Length(line) <= kMaxCommandLineLength, "only a line Windows takes is started");
    FUZZ_EXPECT(result == kOutcomeJavaRan && run.exitCode == 0, "a clean exit code is returned");
    checkAssembly(line);
    checkJavaReading(line, typed);
  } else {
    FUZZ_EXPECT(result == kOutcomeJavaRefused, "nothing started");
    FUZZ_EXPECT_EQ(std::string("Error"), fake().boxes.back().caption, "the refusal is shown");
    if (refusedForCodePage(fake().boxes.back().text)) return;
    std::string line = assembledLine();
    FUZZ_EXPECT(utf16Length(line) > kMaxCommandLineLength, "a line Windows takes is started");
    checkAssembly(line);
  }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput input = fuzzInput(data, size);
  startFuzzRun();
  uint8_t flags = takeByte(&input);
  settings.debug = (flags & 1) != 0;
  if (flags & 8) fake().codePage = kFakeJapanese;
  std::string javapath = takeText(&input);
  std::string mainclass = takeText(&input);
  setSetting(&settings.javapath, javapath.c_str());
  if (!(flags & 4)) setSetting(&settings.mainclass, mainclass.c_str());
  readEntries(&input, size > kShortInput);

  if (!settings.mainclass) {
    JavaRun run = {};
    FUZZ_EXPECT(launchConfigured(kGuiLauncher, &run) == kOutcomeJavaRefused && fake().processes.empty(),
                "no main class, nothing started");
  } else if (flags & 2) {
    checkLaunch();
  } else {
    checkAssembly(assembledLine());
  }
  finishFuzzRun();
  return 0;
}
