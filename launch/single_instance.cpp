#include "launch/single_instance.h"

#include "common/diagnostics.h"
#include "common/exit_status.h"
#include "common/launch_settings.h"
#include "platform/platform.h"

static InstanceHandle heldInstance;
static unsigned long runningJava;  // the process id the holder published, 0 for none yet

bool claimSingleInstance(void) {
  heldInstance = nullptr;
  runningJava = 0;
  if (!settings.singleInstance) return true;
  switch (platform.claimInstance(settings.singleInstance, &heldInstance, &runningJava)) {
    case kInstanceClaimed:
      debugTraceLine("singleInstance %s: no other instance\n", settings.singleInstance);
      return true;
    case kInstanceFound:
      debugTraceLine("singleInstance %s: found, Java process %lu\n",
                     settings.singleInstance, runningJava);
      return false;
    case kInstanceFailed:
      break;
  }
  debugTraceLine("singleInstance %s: cannot be checked\n", settings.singleInstance);
  return true;
}

void publishJavaProcess(unsigned long processId) {
  if (heldInstance) platform.publishInstanceProcess(heldInstance, processId);
}

void releaseSingleInstance(void) {
  if (heldInstance) platform.releaseInstance(heldInstance);
  heldInstance = nullptr;
}

// The one place this outcome is reported. The GUI launcher's user sees the
// running application come to the front; a command-line tool's caller gets
// a line on standard error and a status of its own.
int alreadyRunningOutcome(void) {
  if (runningJava) platform.bringWindowsForward(runningJava);
  if (!settings.console) return kExitAlreadyRunning;
  errorLine("Already running: %s\n", settings.singleInstance);
  return kExitAlreadyRunningConsole;
}
