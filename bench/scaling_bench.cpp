// How the launcher's own work grows with the size of what it is given:
// configuration lines, include files, $NAME expansions, jar files, registry
// versions and the command line. Everything runs against the in-memory fake
// platform, so the figures are the launcher's code alone, without disk or
// registry costs. Each benchmark fits its times to a line (O(N)); a fit with a
// large RMS, or times that grow a hundredfold from 1,000 to 10,000, would
// point at quadratic work.
#include <benchmark/benchmark.h>

#include <string.h>

#include <functional>
#include <string>

#include "common/launch_settings.h"
#include "common/text.h"
#include "config/config_file.h"
#include "config/jar_scan.h"
#include "launch/command_line.h"
#include "platform/fake_platform.h"
#include "runtime/java_location.h"
#include "runtime/runtime_registry.h"

static const char kConfigPath[] = "C:\\Bench\\app.config";

// The lines made by line(0) .. line(count - 1), each ended by a line feed.
static std::string linesOf(int count, const std::function<std::string(int)>& line) {
  std::string text;
  for (int i = 0; i < count; ++i) text += line(i) + "\n";
  return text;
}

// A run that did not do the work it is meant to time reports an error
// instead of a figure.
static void expectWork(benchmark::State& state, bool done, const char* what) {
  if (!done) state.SkipWithError(what);
}

static void freshState(void) {
  installFakePlatform();
  resetLaunchSettings();
  fake().currentDirectory = "C:\\Bench";
}

// Reads kConfigPath once per iteration, from empty settings each time, and
// checks that the last read appended `entries` values in all.
static void readConfigRepeatedly(benchmark::State& state, int entries) {
  for (auto _ : state) {
    resetLaunchSettings();
    ConfigReading reading;
    benchmark::DoNotOptimize(readConfigFile(&reading, kConfigPath));
  }
  int appended = settings.vmparam.count + settings.vmpath.count + settings.arguments.count;
  expectWork(state, appended == entries, "the configuration did not yield its entries");
  state.SetComplexityN(state.range(0));
}

// N lines of the kinds a configuration holds most of, without references.
static void BM_ReadConfigLines(benchmark::State& state) {
  freshState();
  fakeAddFile(kConfigPath, linesOf((int)state.range(0), [](int i) {
                switch (i % 4) {
                  case 0: return "vmparam -Dbench.property" + std::to_string(i) + "=value";
                  case 1: return "addpath classes/module" + std::to_string(i);
                  case 2: return "argument --option-" + std::to_string(i);
                  default: return std::string("# a comment line between the settings");
                }
              }));
  int count = (int)state.range(0);
  readConfigRepeatedly(state, count - count / 4);
}

// N lines that each expand one $NAME reference whose value holds a blank.
static void BM_ReadConfigExpansions(benchmark::State& state) {
  freshState();
  fakeSetEnvironment("APPDIR", "C:\\Program Files\\Bench App");
  fakeAddFile(kConfigPath, linesOf((int)state.range(0), [](int i) {
                return i % 2 ? "vmparam -Dbench.home" + std::to_string(i) + "=$APPDIR\\data"
                             : "addpath $APPDIR\\lib\\module" + std::to_string(i) + ".jar";
              }));
  readConfigRepeatedly(state, (int)state.range(0));
  static const char kExpanded[] = "\"C:/Program Files/Bench App/lib/module0.jar\"";
  expectWork(state, settings.vmpath.count > 0 && strcmp(settings.vmpath.items[0], kExpanded) == 0,
             "the reference was not expanded");
}

// One line whose value, with one reference in its middle, is N characters long.
static void BM_ExpandLongValue(benchmark::State& state) {
  freshState();
  fakeSetEnvironment("APPDIR", "C:\\Program Files\\Bench App");
  std::string half((size_t)state.range(0) / 2, 'x');
  fakeAddFile(kConfigPath, "vmparam -D" + half + "=$APPDIR\\" + half + "\n");
  readConfigRepeatedly(state, 1);
  expectWork(state, settings.vmparam.count > 0 && strstr(settings.vmparam.items[0], "Bench App"),
             "the reference was not expanded");
}

// A file that includes N others, one setting each.
static void BM_ReadConfigIncludes(benchmark::State& state) {
  freshState();
  int count = (int)state.range(0);
  for (int i = 0; i < count; ++i)
    fakeAddFile("C:\\Bench\\conf\\part" + std::to_string(i) + ".config",
                "vmparam -Dpart" + std::to_string(i) + "=1\n");
  fakeAddFile(kConfigPath, linesOf(count, [](int i) {
                return "include conf\\part" + std::to_string(i) + ".config";
              }));
  readConfigRepeatedly(state, count);
}

// An "addjars" directory holding N jar files among other files and a subdirectory.
static void BM_JarListing(benchmark::State& state) {
  freshState();
  int count = (int)state.range(0);
  for (int i = 0; i < count; ++i) {
    fakeAddDirectoryEntry("C:\\Bench\\lib", "library-" + std::to_string(i) + ".jar");
    if (i % 10 == 0) fakeAddDirectoryEntry("C:\\Bench\\lib", "notes-" + std::to_string(i) + ".txt");
  }
  fakeAddDirectoryEntry("C:\\Bench\\lib", "old.jar", true);
  for (auto _ : state) {
    resetLaunchSettings();
    addJarDirectory("C:\\Bench\\lib");
    benchmark::DoNotOptimize(settings.vmjars.count);
  }
  expectWork(state, settings.vmjars.count == count, "the jars were not all listed");
  state.SetComplexityN(count);
}

// N entries in each of the VM parameters, class path, jars and arguments.
static void BM_CommandLine(benchmark::State& state) {
  freshState();
  int count = (int)state.range(0);
  setSetting(&settings.javapath, "\"C:\\Program Files\\Java\\j2re1.4.2_08\\bin\\javaw.exe\"");
  setSetting(&settings.mainclass, "com.example.bench.Main");
  for (int i = 0; i < count; ++i) {
    std::string n = std::to_string(i);
    appendSetting(&settings.vmparam, ("-Dbench.property" + n + "=value").c_str());
    appendSetting(&settings.vmpath, ("classes/module" + n).c_str());
    appendSetting(&settings.vmjars, ("lib/library-" + n + ".jar").c_str());
    // every third argument needs quoting, and carries quotes and a backslash
    std::string argument = i % 3 ? "--option-" + n : "My File " + n + " \"q\\\"";
    appendSetting(&settings.arguments, argument.c_str());
  }
  size_t length = 0;
  for (auto _ : state) {
    char* line = buildCommandLine();
    benchmark::DoNotOptimize(line);
    length = strlen(line);
    releaseMemory(line);
  }
  expectWork(state, length > (size_t)count * 4 * 10, "the command line is too short");
  state.SetComplexityN(count);
}

// findJavaForVersion over N installed versions, each checked for the family
// and patch level asked for.
static void BM_VersionResolution(benchmark::State& state) {
  freshState();
  int count = (int)state.range(0);
  for (int i = 0; i < count; ++i) {
    std::string key = std::string(RUNTIME_ROOT_KEY "\\") + (i % 2 ? "1.4.2_" : "1.5.0_") +
                      std::to_string(i);
    fakeSetRegistryValue(key, "JavaHome", "C:\\Java\\jre" + std::to_string(i));
  }
  bool found = true;
  for (auto _ : state) {
    setSetting(&settings.javaVersion, "1.4.2_05+");
    fake().output.clear();  // the resolution's trace lines would otherwise pile up
    char* command = nullptr;
    found = findJavaForVersion(&command) == kJavaFound && found;
    benchmark::DoNotOptimize(command);
    releaseMemory(command);
  }
  std::string highest = "1.4.2_" + std::to_string(count % 2 ? count - 2 : count - 1);
  expectWork(state, found && highest == settings.javaVersion, "the highest patch was not chosen");
  state.SetComplexityN(count);
}

#define SCALING_BENCHMARK(function) \
  BENCHMARK(function)->RangeMultiplier(4)->Range(10, 10000)->Complexity(benchmark::oN)

SCALING_BENCHMARK(BM_ReadConfigLines);
SCALING_BENCHMARK(BM_ReadConfigExpansions);
SCALING_BENCHMARK(BM_ExpandLongValue);
SCALING_BENCHMARK(BM_ReadConfigIncludes);
SCALING_BENCHMARK(BM_JarListing);
SCALING_BENCHMARK(BM_CommandLine);
SCALING_BENCHMARK(BM_VersionResolution);

BENCHMARK_MAIN();
