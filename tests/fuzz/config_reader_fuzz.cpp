// Fuzzes the whole start-up from the configuration files on: the launcher is
// started as C:\App\app.exe in a small fixed world (environment, jar
// directory, installed runtimes), and the fuzz input supplies its
// configuration file and the files that may include one another. Status 5
// or 11 is a normal outcome; what must hold is that the run ends in one of
// the documented ways and leaves no file or registry key open.
//
// Input: a flags byte (bit 0 debug mode, bit 1 the user answers Yes, bits 2-4
// which default runtime the registry names, bit 5 Java exits with code 1,
// bit 6 Java cannot be started, bit 7 the launcher is started by its bare
// name from C:\App), then NUL-separated file contents: the first is
// C:\App\app.config, the others f1.config, f2.config and so on in C:\App (and
// f9.config also as C:\App\sub\f9.config). The world also has folders whose
// names the fake's code page cannot spell: one with short forms, one without.
#include <string.h>

#include "app/main_sequence.h"
#include "common/launch_settings.h"
#include "fuzz_support.h"
#include "launch/launch_java.h"
#include "platform/fake_platform.h"
#include "runtime/runtime_registry.h"

enum DefaultRuntime { kNoRuntimeRoot = 1, kNoCurrentVersion, kNoCurrentKey, kNoCurrentHome };

static void installDefaultRuntime(int variant) {
  if (variant == kNoRuntimeRoot) return;
  fakeAddRegistryKey(RUNTIME_ROOT_KEY);
  if (variant == kNoCurrentVersion) return;
  const char* current = variant == kNoCurrentKey ? "1.3" : variant == kNoCurrentHome ? "1.4.2" : "1.4";
  fakeSetRegistryValue(RUNTIME_ROOT_KEY, "CurrentVersion", current);
}

static void installWorld(int defaultRuntime) {
  fakeSetEnvironment("APPDIR", "C:\\Program Files\\App");
  fakeSetEnvironment("LIBDIR", "D:\\libs\\");
  fakeSetEnvironment("EMPTY", "");
  fakeAddDirectoryEntry("C:\\App\\lib", "a.jar");
  fakeAddDirectoryEntry("C:\\App\\lib", "old.jar", true);
  fakeAddDirectoryEntry("C:\\App\\lib", "b.JAR");
  fakeAddDirectoryEntry("C:\\Program Files\\App\\lib", "c.jar");
  fakeAddDirectoryEntry("D:\\libs", "d.jar");
  fakeAddDirectoryEntry("C:\\\xD0\x96\\lib", "\xD1\x8F.jar");  // C:\Ж\lib\я.jar
  fakeSetShortPath("C:\\\xD0\x96", "C:\\ZH~1");
  fakeSetShortPath("C:\\\xD0\x96\\lib", "C:\\ZH~1\\lib");
  fakeSetShortPath("C:\\\xD0\x96\\lib\\\xD1\x8F.jar", "C:\\ZH~1\\lib\\YA~1.JAR");
  fakeAddFile("C:\\\xD0\xAF\\data.txt", "");  // C:\Я keeps no short names
  installDefaultRuntime(defaultRuntime);
  if (defaultRuntime == kNoRuntimeRoot) return;  // no runtime is installed then
  fakeSetRegistryValue(RUNTIME_ROOT_KEY "\\1.4", "JavaHome", "C:\\j2re1.4");
  fakeAddRegistryKey(RUNTIME_ROOT_KEY "\\1.4.2");
  fakeSetRegistryValue(RUNTIME_ROOT_KEY "\\1.4.2_03", "JavaHome", "C:\\j2re1.4.2_03");
  fakeSetRegistryValue(RUNTIME_ROOT_KEY "\\1.4.2_08", "JavaHome",
                       "C:\\Program Files\\Java\\j2re1.4.2_08");
  fakeAddRegistryKey(RUNTIME_ROOT_KEY "\\1.5.0");
  fakeSetRegistryValue(RUNTIME_ROOT_KEY "\\1.5.0_06", "JavaHome", "C:\\jre1.5.0_06", false);
  fakeAddRegistryKey(RUNTIME_ROOT_KEY "\\1.5.0_07");  // no JavaHome
}

static void installFiles(const std::vector<std::string>& contents) {
  for (size_t i = 0; i < contents.size(); ++i) {
    std::string name = i == 0 ? "app" : "f" + std::to_string(i);
    fakeAddFile("C:\\App\\" + name + ".config", contents[i]);
    if (i == 9) fakeAddFile("C:\\App\\sub\\" + name + ".config", contents[i]);
  }
}

static void checkOutcome(int status) {
  FUZZ_EXPECT(fake().openFiles == 0, "every configuration file is closed");
  if (status == 5 || status == 11) {
    FUZZ_EXPECT(fake().processes.size() <= 1, "at most the browser is started when reading stops");
    return;
  }
  FUZZ_EXPECT(status == 0, "status 0 once the configuration was read");
  FUZZ_EXPECT(fake().processes.size() <= 1, "at most Java is started");
  for (const FakeProcess& process : fake().processes)
    FUZZ_EXPECT(utf16Length(process.commandLine) <= kMaxCommandLineLength,
                "no process is started with a line Windows does not take");
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput input = fuzzInput(data, size);
  startFuzzRun();
  uint8_t flags = takeByte(&input);
  if (flags & 2) fake().yesNoAnswer = kAnswerYes;
  if (flags & 32) fake().exitCodes.push_back(1);
  if (flags & 64) fakeFailCall({FAKE_ENTRY(startProcess)}, 1);
  installWorld((flags >> 2) & 7);
  std::vector<std::string> contents = takeTexts(&input);
  if (contents.empty()) contents.push_back("");  // there is always a configuration file
  installFiles(contents);

  fake().currentDirectory = "C:\\App";
  fake().programPath = "C:\\App\\app.exe";
  std::vector<std::string> arguments = {flags & 128 ? "app" : "C:\\App\\app.exe", "first"};
  if (flags & 1) arguments.push_back("-d");
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(&argument[0]);
  checkOutcome(runLauncher(kGuiLauncher, (int)argv.size(), argv.data()));
  FUZZ_EXPECT(fake().openRegistryKeys == 0, "every registry key is closed");
  finishFuzzRun();
  return 0;
}
