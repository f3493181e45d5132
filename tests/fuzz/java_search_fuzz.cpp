// Fuzzes the Java search over a fuzzed registry and fuzzed Java homes. What
// must hold: the search ends in one of its two ways (a Java command, or the
// nothing-fits box and status 11), leaves no key or file open, and, when no
// registry call fails, chooses as a model of the rules does: the first
// javaHome line that fits, else a registered runtime that fits and that no
// other fitting one beats by version, nor at the same version by being
// 64-bit where it is not. With a failing call the chosen one still exists
// and is of the asked kind.
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
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <map>

#include "common/launch_settings.h"
#include "fuzz_support.h"
#include "platform/fake_platform.h"
#include "runtime/java_search.h"
#include "runtime/java_version.h"
#include "support/java_homes.h"

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

static const char* const kHomes[6] = {"C:\\Java\\a", "C:\\Java\\b", "C:\\Program Files\\Java\\c",
                                       "D:\\jdk", "C:\\App\\runtime", "C:\\Java\\f"};
static const size_t kLongestReadableName = 254;

static std::string lower(std::string text) {
  for (char& c : text) c = (char)tolower((unsigned char)c);
  return text;
}

static std::string otherSpelling(const std::string& home) {
  std::string spelled = lower(home) + "/";
  std::replace(spelled.begin(), spelled.end(), '\\', '/');
  return spelled;
}

struct Home {
  int bits;  // of the executable: 32, 64, 0 unknown; -1 none
  bool hasRelease;
  std::string release;
};

struct Registration {
  std::string versionName;  // as the version key's parent lists it
  int home;
};

static int bitsOf(int code) { return code == 0 ? -1 : code == 1 ? 32 : code == 2 ? 64 : 0; }

static std::string clean(std::string text, const char* drop) {
  text.erase(std::remove_if(text.begin(), text.end(), [drop](char c) { return strchr(drop, c) != nullptr; }),
             text.end());
  return text;
}

static std::string majorOf(const std::string& name) {
  size_t start = name.find_first_of("0123456789");
  if (start == std::string::npos) return "";
  size_t end = name.find_first_not_of("0123456789", start);
  return name.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

struct Model {
  std::string lowest, highest, bits;
  bool debug;
  Home homes[6];

  bool fits(int home, const JavaVersion& version) const {
    const Home& h = homes[home];
    if (h.bits < 0) return false;
    if (!lowest.empty() || !highest.empty()) {
      if (!version.count) return false;
      if (javaVersionAgainstRange(&version, lowest.c_str(), highest.c_str()) != 0) return false;
    }
    return bits.empty() || (h.bits && bits == std::to_string(h.bits));
  }
  std::string command(int home) const {
    std::string h = kHomes[home];
    std::string quote = h.find(' ') == std::string::npos ? "" : "\"";
    return lower(quote + h + "\\bin\\" + (debug ? "java.exe" : "javaw.exe") + quote);
  }
};

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput input = fuzzInput(data, size);
  startFuzzRun();
  uint8_t flags = takeByte(&input);
  int failing = takeByte(&input);
  uint8_t homeBytes[6];
  for (uint8_t& byte : homeBytes) byte = takeByte(&input);
  Model model;
  std::string lines[3];
  for (std::string& line : lines) line = takeText(&input);
  model.lowest = flags & 0x10 ? lines[0] : "";
  model.highest = flags & 0x20 ? lines[1] : "";
  model.bits = flags & 0x40 ? lines[2] : "";
  model.debug = flags & 1;
  settings.debug = model.debug;
  fake().windowsHas64BitView = !(flags & 2);
  fake().program64Bit = flags & 4;
  fake().yesNoAnswer = flags & 8 ? kAnswerYes : kAnswerNo;
  fake().programPath = "C:\\App\\app.exe";
  fake().currentDirectory = "C:\\Work";
  if (flags & 0x10) setSetting(&settings.minJava, lines[0].c_str());
  if (flags & 0x20) setSetting(&settings.maxJava, lines[1].c_str());
  if (flags & 0x40) setSetting(&settings.javaBits, lines[2].c_str());

  for (int i = 0; i < 6; ++i) {
    Home& home = model.homes[i];
    home.bits = bitsOf(homeBytes[i] & 3);
    home.hasRelease = homeBytes[i] & 4;
    home.release = clean(takeText(&input), "\"\r\n");
    if (home.bits >= 0) fakeInstallJava(kHomes[i], home.bits);  // 0: no program
    if (home.hasRelease) fakeAddFile(std::string(kHomes[i]) + "\\release", "JAVA_VERSION=\"" + home.release + "\"\n");
    if (homeBytes[i] & 8) appendSetting(&settings.javaHome, i == 4 ? "runtime" : kHomes[i]);
  }

  // The registry as the fake keeps it: one home per key (the last written),
  // each version key listed under the spelling it was first made with.
  std::map<std::string, Registration> registered;  // by tree and lower-case key path
  std::map<std::string, std::string> firstSpelling;
  for (const std::string& text : takeTexts(&input)) {
    if (text.size() < 2) continue;
    uint8_t pick = (uint8_t)text[0], homeByte = (uint8_t)text[1];
    const Layout& layout = kLayouts[pick & 15];
    std::string name = clean(text.substr(2), "\\\n");  // a line break would split a trace line
    if (name.empty()) name = "x";
    int home = (homeByte & 7) % 6;
    RegistryHive hive = pick & 0x20 ? kHiveCurrentUser : kHiveLocalMachine;
    RegistryView view = pick & 0x40 ? kView64Bit : kView32Bit;
    std::string versionKey = "SOFTWARE\\" + std::string(layout.key) + "\\" + name;
    std::string path = versionKey;
    if (layout.shape == kInstaller) path += pick & 0x10 ? "\\openj9\\MSI" : "\\hotspot\\MSI";
    fakeSetRegistryValue(hive, view, path, layout.value,
                         homeByte & 8 ? otherSpelling(kHomes[home]) : kHomes[home]);
    bool has64 = fake().windowsHas64BitView;
    bool ownTree = has64 && hive == kHiveLocalMachine && view == kView64Bit;  // HKCU is one tree
    std::string tree = std::to_string(hive) + (ownTree ? "/64/" : "/32/");
    firstSpelling.insert({tree + lower(versionKey), name});
    if (layout.shape == kUnknown || name.size() > kLongestReadableName) continue;
    std::string shownName = firstSpelling[tree + lower(versionKey)];
    registered[tree + lower(path)] = {layout.shape == kMajor ? majorOf(shownName) : shownName, home};
  }
  fakeFailCall(kFakeRegistryEntries, failing);

  std::string result;
  ExitResult exit = runCatchingExit([&result] {
    char* command = searchJava();
    result = command;
    free(command);
  });
  FUZZ_EXPECT(fake().openRegistryKeys == 0, "every opened key is closed");
  FUZZ_EXPECT(fake().openFiles == 0, "every opened file is closed");
  FUZZ_EXPECT(exit.exited == result.empty(), "a command or an exit");
  if (exit.exited) {
    FUZZ_EXPECT_EQ(std::string("11"), std::to_string(exit.status), "status 11 when nothing fits");
    FUZZ_EXPECT_EQ(std::string("1"), std::to_string(fake().boxes.size()), "one box");
  } else {
    FUZZ_EXPECT(fake().boxes.empty(), "no box when a Java is chosen");
  }

  // The candidates as the model sees them.
  JavaVersion homeVersions[6];
  int firstFit = -1;
  for (int i = 0; i < 6; ++i) {
    homeVersions[i] = parseJavaVersion(model.homes[i].hasRelease ? model.homes[i].release.c_str() : "");
    if (firstFit < 0 && (homeBytes[i] & 8) && model.fits(i, homeVersions[i])) firstFit = i;
  }
  JavaVersion registryVersions[6];
  bool listed[6] = {};
  for (const auto& entry : registered) {
    int home = entry.second.home;
    JavaVersion named = parseJavaVersion(entry.second.versionName.c_str());
    const JavaVersion& known = registryVersions[home];  // a readable version beats none
    if (!listed[home] || (named.count && (!known.count || compareJavaVersions(&named, &known, 3) > 0)))
      registryVersions[home] = named;
    listed[home] = true;
  }
  for (int i = 0; i < 6; ++i)
    if (model.homes[i].hasRelease) registryVersions[i] = homeVersions[i];

  int chosen = -1;
  for (int i = 0; i < 6; ++i)
    if (lower(result) == model.command(i)) chosen = i;
  FUZZ_EXPECT(result.empty() || chosen >= 0, "the command is one of the homes");
  if (chosen >= 0) {
    int bits = model.homes[chosen].bits;
    FUZZ_EXPECT(bits >= 0, "the chosen home has its executable");
    FUZZ_EXPECT(model.bits.empty() || std::to_string(bits) == model.bits, "of the kind asked for");
  }
  if (failing != 0) {
    resetLaunchSettings();
    return 0;
  }

  if (model.debug) {  // one trace line per candidate: a home seen twice is one
    int examined = 0;
    for (int i = 0; i < 6; ++i) examined += (homeBytes[i] & 8) && (firstFit < 0 || i <= firstFit);
    for (int i = 0; i < 6 && firstFit < 0; ++i) examined += listed[i];
    FUZZ_EXPECT_EQ(std::to_string(examined),
                   std::to_string(std::count(fake().output.begin(), fake().output.end(), '\n')),
                   "trace lines");
  }
  if (firstFit >= 0) {
    FUZZ_EXPECT_EQ(model.command(firstFit), lower(result), "the first javaHome line that fits");
  } else if (chosen < 0) {
    for (int i = 0; i < 6; ++i)
      if (listed[i] && model.fits(i, registryVersions[i]))
        fuzzFailure("nothing fits", "", kHomes[i]);
  } else {
    FUZZ_EXPECT(listed[chosen] && model.fits(chosen, registryVersions[chosen]), "the chosen one fits");
    for (int i = 0; i < 6; ++i) {
      if (!listed[i] || !model.fits(i, registryVersions[i])) continue;
      int order = compareJavaVersions(&registryVersions[i], &registryVersions[chosen], 3);
      bool readable = registryVersions[i].count != 0, chosenReadable = registryVersions[chosen].count != 0;
      if (readable != chosenReadable) order = readable ? 1 : -1;
      bool better = order > 0 || (order == 0 && model.homes[i].bits == 64 && model.homes[chosen].bits != 64);
      if (better) fuzzFailure("nothing that fits is higher", kHomes[chosen], kHomes[i]);
    }
  }
  resetLaunchSettings();
  return 0;
}
