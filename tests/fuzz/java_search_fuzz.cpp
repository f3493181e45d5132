// Fuzzes the Java search over a fuzzed registry and fuzzed Java homes, and
// holds its answer against a model of the rules that reads and orders Java
// versions on its own (nothing of runtime/java_version is called here).
//
// What must hold: the search ends in one of its two ways (a Java command, or
// the nothing-fits box and status 11), leaves no key or file open, and the
// command is one of the homes, with its executable and of the kind asked for.
// When no registry call fails, it also chooses as the model does: the first
// javaHome line that fits, else a registered runtime that fits and that no
// other fitting one beats by version, nor at the same version by being
// 64-bit where it is not; nothing fits only when the model finds nothing; in
// debug mode one trace line per candidate; and the version kept for the
// chosen runtime reads as the model's version of it.
//
// The model's versions: a text is a version when it starts with a digit,
// after an old "1." spelling is dropped ("1.8" is "8"). Its numbers are the
// longest start of the form N, N.N, N_N, ...: the first two before any '_'
// are the feature and the interim number, the one after the last '_' is the
// update (else the third before it), any others are builds; a number of ten
// digits or more (leading zeros aside) counts as one value above every
// shorter one. A '-' after
// the numbers marks a pre-release, below the release of the same numbers,
// unless an old build number follows ("-b12"). minJava admits what is not
// below it; maxJava compares as many numbers as it was written with (17
// admits every 17.x); an unreadable bound or candidate version admits
// nothing. javaBits admits only "32" or "64" of that kind.
//
// Input: a flags byte (bit 0 debug mode, bit 1 a Windows without a 64-bit
// view, bit 2 a 64-bit program, bit 3 the user answers Yes, bits 4-6 a
// minJava, maxJava and javaBits line), a byte naming the registry call that
// fails (0 for none), six bytes for the six homes (bits 0-1 the executable:
// none, x86, x64 or no program; bit 2 a release file; bit 3 a javaHome line
// names it), then NUL-separated texts: minJava, maxJava, javaBits, the six
// release versions, and the registrations. A registration's first byte
// picks the layout (bits 0-3), the JVM name (bit 4), the hive (bit 5) and
// the view (bit 6); its second byte the home (bits 0-2) and whether the
// home is spelled otherwise (bit 3); the rest is the key's name. (The seeds
// set bit 7 of the first byte and bit 4 of the second, so neither is a NUL.)
// Texts shorter than two bytes are no registration; only the first
// kMostRegistrations count: with six homes, more keys find nothing new.
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <tuple>

#include "common/launch_settings.h"
#include "fuzz_support.h"
#include "platform/fake_platform.h"
#include "runtime/java_search.h"
#include "support/java_homes.h"

// The harness's own branches tell libFuzzer nothing of the search: only the
// code under test is instrumented for coverage.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((no_sanitize("coverage"))), apply_to = function)
#endif

enum Shape { kNamed, kInstaller, kMajor, kUnknown };
struct Layout {
  const char* key;
  const char* value;
  Shape shape;
};
static const Layout kLayouts[16] = {
    {"JavaSoft\\Java Runtime Environment", "JavaHome", kNamed},
    {"JavaSoft\\Java Development Kit", "JavaHome", kNamed},
    {"JavaSoft\\JRE", "JavaHome", kNamed},
    {"JavaSoft\\JDK", "JavaHome", kNamed},
    {"Eclipse Adoptium\\JDK", "Path", kInstaller},
    {"Eclipse Foundation\\JRE", "Path", kInstaller},
    {"AdoptOpenJDK\\JDK", "Path", kInstaller},
    {"Temurin\\JRE", "Path", kInstaller},
    {"Microsoft\\JDK", "Path", kInstaller},
    {"Semeru\\JRE", "Path", kInstaller},
    {"Azul Systems\\Zulu", "InstallationPath", kMajor},
    {"Azul Systems\\Zulu 32-bit", "InstallationPath", kMajor},
    {"BellSoft\\Liberica", "InstallationPath", kMajor},
    {"SapMachine\\JDK", "JavaHome", kNamed},
    {"Oracle\\JDK", "JavaHome", kUnknown},  // no vendor registers here
    {"JavaSoft\\JDK", "Path", kUnknown},     // the wrong value
};

enum { kHomeCount = 6, kMostRegistrations = 8 };
static const char* const kHomes[kHomeCount] = {"C:\\Java\\a", "C:\\Java\\b", "C:\\Program Files\\Java\\c",
                                               "D:\\jdk",     "C:\\App\\runtime", "C:\\Java\\f"};
static const size_t kLongestReadableName = 254;

static bool isDigit(char c) { return c >= '0' && c <= '9'; }

static char lowerChar(char c) { return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c; }

static std::string lower(std::string text) {
  for (char& c : text) c = lowerChar(c);
  return text;
}

// ---- Versions, as the model reads and orders them.

struct ModelVersion {
  bool readable;
  int places;                     // numbers written, at most 3
  unsigned long long numbers[3];  // feature, interim, update
  bool release;                   // not a pre-release
};

static const unsigned long long kHugeNumber = 1000000000ULL;  // what ten digits or more count as

// The numbers before the first '_' are the main ones; the one after the
// last '_' is the update.
static ModelVersion readVersion(const char* text) {
  ModelVersion version = {false, 0, {0, 0, 0}, true};
  if (text[0] == '1' && text[1] == '.' && isDigit(text[2])) text += 2;
  unsigned long long main[3] = {0, 0, 0}, update = 0;
  int mainCount = 0;
  bool hasUpdate = false;
  const char* at = text;
  for (char separator = 0; isDigit(*at); separator = *at++) {
    unsigned long long number = 0;
    for (; isDigit(*at); ++at) number = std::min(number * 10 + (unsigned)(*at - '0'), kHugeNumber);
    if (separator == '_') {
      hasUpdate = true;
      update = number;
    } else if (!hasUpdate) {
      if (mainCount < 3) main[mainCount] = number;
      ++mainCount;
    }
    if ((*at != '.' && *at != '_') || !isDigit(at[1])) break;
  }
  if (at == text) return version;
  version.readable = true;
  version.places = hasUpdate ? 3 : std::min(mainCount, 3);
  version.numbers[0] = main[0];
  version.numbers[1] = main[1];
  version.numbers[2] = hasUpdate ? update : main[2];
  version.release = !(at[0] == '-' && !(at[1] == 'b' && isDigit(at[2])));
  return version;
}

static std::tuple<unsigned long long, unsigned long long, unsigned long long, bool> orderKey(
    const ModelVersion& v) {
  return std::make_tuple(v.numbers[0], v.numbers[1], v.numbers[2], v.release);
}

// -1, 0 or 1; any readable version is above an unreadable one.
static int compareVersions(const ModelVersion& a, const ModelVersion& b) {
  if (a.readable != b.readable) return a.readable ? 1 : -1;
  if (!a.readable) return 0;
  return orderKey(a) < orderKey(b) ? -1 : orderKey(b) < orderKey(a) ? 1 : 0;
}

// Is version above the bound in the numbers that the bound was written with?
static bool aboveBound(const ModelVersion& version, const ModelVersion& bound) {
  if (bound.places == 3) return orderKey(bound) < orderKey(version);
  for (int i = 0; i < bound.places; ++i)
    if (version.numbers[i] != bound.numbers[i]) return version.numbers[i] > bound.numbers[i];
  return false;
}

// ---- The world the input describes, and the model's answer.

struct Home {
  int bits;  // of the executable: 32, 64, 0 unknown; -1 none
  bool hasRelease;
  bool namedByLine;  // a javaHome line names it
  std::string release;
};

struct Registration {
  const Layout* layout;
  int tree;          // 0 HKLM 32-bit, 1 HKLM 64-bit, 2 HKCU (one tree for both views)
  bool openj9;       // the installer layouts' JVM name: openj9, else hotspot
  std::string name;  // the version key's name as this registration wrote it
  int home;
};

// Registry keys are one whatever the case of their ASCII letters.
static bool sameIgnoringCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b)
    if (lowerChar(*a) != lowerChar(*b)) return false;
  return *a == *b;
}

static bool sameVersionKey(const Registration& a, const Registration& b) {
  return a.tree == b.tree && sameIgnoringCase(a.layout->key, b.layout->key) &&
         sameIgnoringCase(a.name.c_str(), b.name.c_str());
}

// The same value of the same key: the later one's home is what the key holds.
static bool sameValue(const Registration& a, const Registration& b) {
  return sameVersionKey(a, b) && strcmp(a.layout->value, b.layout->value) == 0 &&
         (a.layout->shape != kInstaller || a.openj9 == b.openj9);
}

struct Model {
  std::string lowest, highest, bits;  // empty: not asked for
  bool debug;
  Home homes[kHomeCount];
  Registration registrations[kMostRegistrations];
  int registrationCount;
  // What the registry tells of each home.
  bool listed[kHomeCount];
  ModelVersion registryVersion[kHomeCount];
  std::string registryText[kHomeCount];
};

static bool admits(const Model& model, int home, const ModelVersion& version) {
  const Home& h = model.homes[home];
  if (h.bits < 0) return false;
  if (!model.lowest.empty() || !model.highest.empty()) {
    if (!version.readable) return false;
    if (!model.lowest.empty()) {
      ModelVersion low = readVersion(model.lowest.c_str());
      if (!low.readable || compareVersions(version, low) < 0) return false;
    }
    if (!model.highest.empty()) {
      ModelVersion high = readVersion(model.highest.c_str());
      if (!high.readable || aboveBound(version, high)) return false;
    }
  }
  if (model.bits.empty()) return true;
  return (model.bits == "32" && h.bits == 32) || (model.bits == "64" && h.bits == 64);
}

// The command of each home in lower case, by mode: made once.
static const std::string& commandFor(const Model& model, int home) {
  static std::string commands[2][kHomeCount];
  std::string& command = commands[model.debug][home];
  if (command.empty()) {
    std::string h = kHomes[home];
    command = lower(h + "\\bin\\" + (model.debug ? "java.exe" : "javaw.exe"));
  }
  return command;
}

// The first run of digits in a name: "17" of "zulu-17-jre".
static std::string digitRun(const std::string& name) {
  size_t start = 0;
  while (start < name.size() && !isDigit(name[start])) ++start;
  size_t end = start;
  while (end < name.size() && isDigit(name[end])) ++end;
  return name.substr(start, end - start);
}

// Which registrations the walk finds, as the registry keeps them: a value
// written twice holds the last home, and a version key is listed under the
// spelling it was first made with. Each home keeps its highest version.
static void readRegistry(Model* model) {
  for (int i = 0; i < model->registrationCount; ++i) {
    const Registration& r = model->registrations[i];
    if (r.layout->shape == kUnknown) continue;
    bool overwritten = false;
    for (int j = i + 1; j < model->registrationCount && !overwritten; ++j) {
      overwritten = sameValue(model->registrations[j], r);
    }
    if (overwritten) continue;
    const std::string* shown = &r.name;
    for (int j = 0; j < i; ++j) {
      if (sameVersionKey(model->registrations[j], r)) {
        shown = &model->registrations[j].name;
        break;
      }
    }
    if (shown->size() > kLongestReadableName) continue;
    std::string text = r.layout->shape == kMajor ? digitRun(*shown) : *shown;
    ModelVersion version = readVersion(text.c_str());
    if (!model->listed[r.home] || compareVersions(version, model->registryVersion[r.home]) > 0) {
      model->registryVersion[r.home] = version;
      model->registryText[r.home] = text;
    }
    model->listed[r.home] = true;
  }
}

// ---- Building the world.

// Only the executable that the search looks for is written.
static void installHome(const Model& model, int home) {
  static const std::string program32 = programHeader(0x14c), program64 = programHeader(0x8664);
  const Home& h = model.homes[home];
  std::string path = kHomes[home];
  if (h.bits >= 0)
    fakeAddFile(path + (model.debug ? "\\bin\\java.exe" : "\\bin\\javaw.exe"),
                h.bits == 64 ? program64 : h.bits == 32 ? program32 : std::string("#!/bin/sh\n"));
  if (h.hasRelease) fakeAddFile(path + "\\release", "JAVA_VERSION=\"" + h.release + "\"\n");
}

static std::string withoutAny(std::string text, const char* drop) {
  size_t kept = 0;
  for (char c : text)
    if (!strchr(drop, c)) text[kept++] = c;
  text.resize(kept);
  return text;
}

static std::string otherSpelling(const std::string& home) {
  std::string spelled = lower(home) + "/";
  for (char& c : spelled)
    if (c == '\\') c = '/';
  return spelled;
}

static void addRegistration(Model* model, const std::string& text) {
  uint8_t pick = (uint8_t)text[0], homeByte = (uint8_t)text[1];
  Registration& r = model->registrations[model->registrationCount++];
  r.layout = &kLayouts[pick & 15];
  r.name = withoutAny(text.substr(2), "\\\n");  // a line break would split a trace line
  if (r.name.empty()) r.name = "x";
  r.home = (homeByte & 7) % kHomeCount;
  RegistryHive hive = pick & 0x20 ? kHiveCurrentUser : kHiveLocalMachine;
  RegistryView view = pick & 0x40 ? kView64Bit : kView32Bit;
  r.openj9 = pick & 0x10;
  std::string valueKey = "SOFTWARE\\" + std::string(r.layout->key) + "\\" + r.name;
  if (r.layout->shape == kInstaller) valueKey += r.openj9 ? "\\openj9\\MSI" : "\\hotspot\\MSI";
  fakeSetRegistryValue(hive, view, valueKey, r.layout->value,
                       homeByte & 8 ? otherSpelling(kHomes[r.home]) : kHomes[r.home]);
  r.tree = hive == kHiveCurrentUser ? 2 : fake().windowsHas64BitView && view == kView64Bit ? 1 : 0;
}

// ---- The run.

static int chosenHome(const Model& model, const std::string& command) {
  for (int i = 0; i < kHomeCount && !command.empty(); ++i)
    if (sameIgnoringCase(command.c_str(), commandFor(model, i).c_str())) return i;
  return -1;
}

static bool beats(const Model& model, const ModelVersion* versions, int a, int b) {
  int order = compareVersions(versions[a], versions[b]);
  return order > 0 || (order == 0 && model.homes[a].bits == 64 && model.homes[b].bits != 64);
}

static void checkChoice(const Model& model, int chosen) {
  int firstFit = -1, examined = 0;
  ModelVersion lineVersions[kHomeCount];
  for (int i = 0; i < kHomeCount && firstFit < 0; ++i) {
    const Home& h = model.homes[i];
    if (!h.namedByLine) continue;
    ++examined;
    lineVersions[i] = readVersion(h.hasRelease ? h.release.c_str() : "");
    if (admits(model, i, lineVersions[i])) firstFit = i;
  }
  ModelVersion versions[kHomeCount];
  int fitting = 0;
  for (int i = 0; i < kHomeCount; ++i) {
    versions[i] = model.homes[i].hasRelease ? readVersion(model.homes[i].release.c_str())
                                            : model.registryVersion[i];
    if (firstFit < 0) examined += model.listed[i];
    fitting += model.listed[i] && admits(model, i, versions[i]);
  }
  if (model.debug)
    FUZZ_EXPECT_EQ(std::to_string(examined),
                   std::to_string(std::count(fake().output.begin(), fake().output.end(), '\n')),
                   "one trace line per candidate");
  const ModelVersion* kept = nullptr;
  if (firstFit >= 0) {
    FUZZ_EXPECT_EQ(commandFor(model, firstFit), chosen < 0 ? std::string() : commandFor(model, chosen),
                   "the first javaHome line that fits");
    kept = &lineVersions[firstFit];
  } else if (chosen < 0) {
    FUZZ_EXPECT_EQ(std::string("0"), std::to_string(fitting), "nothing fits only when nothing does");
  } else {
    FUZZ_EXPECT(model.listed[chosen] && admits(model, chosen, versions[chosen]), "the chosen one fits");
    for (int i = 0; i < kHomeCount; ++i)
      if (model.listed[i] && admits(model, i, versions[i]) && beats(model, versions, i, chosen))
        fuzzFailure("nothing that fits beats the chosen one", kHomes[chosen], kHomes[i]);
    kept = &versions[chosen];
  }
  if (kept) {
    ModelVersion told = readVersion(settings.javaRuntimeVersion ? settings.javaRuntimeVersion : "");
    FUZZ_EXPECT(compareVersions(told, *kept) == 0, "the version kept is the chosen one's");
  }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput input = fuzzInput(data, size);
  startFuzzRun();
  uint8_t flags = takeByte(&input);
  int failing = takeByte(&input);
  uint8_t homeBytes[kHomeCount];
  for (uint8_t& byte : homeBytes) byte = takeByte(&input);
  Model model = {};
  std::string lines[3];
  for (std::string& line : lines) line = takeText(&input);
  model.lowest = flags & 0x10 ? lines[0] : "";
  model.highest = flags & 0x20 ? lines[1] : "";
  model.bits = flags & 0x40 ? lines[2] : "";
  model.debug = flags & 1;
  settings.debug = model.debug;
  settings.consoleJava = model.debug;  // as the main sequence decides it
  fake().windowsHas64BitView = !(flags & 2);
  fake().program64Bit = flags & 4;
  fake().yesNoAnswer = flags & 8 ? kAnswerYes : kAnswerNo;
  fake().programPath = "C:\\App\\app.exe";
  if (flags & 0x10) setSetting(&settings.minJava, lines[0].c_str());
  if (flags & 0x20) setSetting(&settings.maxJava, lines[1].c_str());
  if (flags & 0x40) setSetting(&settings.javaBits, lines[2].c_str());

  for (int i = 0; i < kHomeCount; ++i) {
    Home& home = model.homes[i];
    home.bits = homeBytes[i] & 3 ? ((homeBytes[i] & 3) == 1 ? 32 : (homeBytes[i] & 3) == 2 ? 64 : 0) : -1;
    home.hasRelease = homeBytes[i] & 4;
    home.namedByLine = homeBytes[i] & 8;
    home.release = withoutAny(takeText(&input), "\"\r\n");
    installHome(model, i);
    if (home.namedByLine) appendSetting(&settings.javaHome, i == 4 ? "runtime" : kHomes[i]);
  }
  while (!fuzzAtEnd(input) && model.registrationCount < kMostRegistrations) {
    std::string text = takeText(&input);
    if (text.size() >= 2) addRegistration(&model, text);
  }
  fakeFailCall(kFakeRegistryEntries, failing);

  char* executable = searchJava();
  std::string result = executable ? executable : "";
  free(executable);
  FUZZ_EXPECT(fake().openRegistryKeys == 0, "every opened key is closed");
  FUZZ_EXPECT(fake().openFiles == 0, "every opened file is closed");
  FUZZ_EXPECT(executable != nullptr || result.empty(), "an executable, or none");
  if (!executable) {
    FUZZ_EXPECT_EQ(std::string("1"), std::to_string(fake().boxes.size()), "one box when nothing fits");
  } else {
    FUZZ_EXPECT(fake().boxes.empty(), "no box when a Java is chosen");
  }
  int chosen = chosenHome(model, result);
  FUZZ_EXPECT(result.empty() || chosen >= 0, "the command is one of the homes");
  if (chosen >= 0) {
    int bits = model.homes[chosen].bits;
    FUZZ_EXPECT(bits >= 0, "the chosen home has its executable");
    FUZZ_EXPECT(model.bits.empty() || std::to_string(bits) == model.bits, "of the kind asked for");
  }
  if (failing == 0) {
    readRegistry(&model);
    checkChoice(model, chosen);
  }
  finishFuzzRun();
  return 0;
}

#if defined(__clang__)
#pragma clang attribute pop
#endif
