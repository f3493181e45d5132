#include "launch/java_start.h"

#include "common/launch_settings.h"

ProcessStart planJavaStart(LauncherVariant variant) {
  ProcessStart start = {};
  start.usesShowWindow = platform.startupShowState(&start.showWindow);
  start.titleIsAppId = settings.appUserModelId != nullptr;
  start.title = start.titleIsAppId ? settings.appUserModelId : settings.consoleTitle;
  start.noConsoleWindow = variant == kConsoleLauncher && !platform.hasConsole();
  return start;
}
