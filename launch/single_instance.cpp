#include "launch/single_instance.h"

#include "common/diagnostics.h"
#include "common/launch_settings.h"

bool claimSingleInstance(SingleInstance* instance) {
  *instance = SingleInstance{};
  if (!settings.singleInstance) return true;
  InstanceClaim claim =
      platform.claimInstance(settings.singleInstance, &instance->held, &instance->runningJava);
  switch (claim) {
    case kInstanceClaimed:
      debugTraceLine("singleInstance %s: no other instance\n", settings.singleInstance);
      return true;
    case kInstanceFound:
      debugTraceLine("singleInstance %s: found, Java process %lu\n", settings.singleInstance,
                     instance->runningJava);
      return false;
    case kInstanceFailed:
      break;
  }
  debugTraceLine("singleInstance %s: cannot be checked\n", settings.singleInstance);
  return true;
}

void publishJavaProcess(const SingleInstance* instance, unsigned long processId) {
  if (instance->held) platform.publishInstanceProcess(instance->held, processId);
}

void releaseSingleInstance(SingleInstance* instance) {
  if (instance->held) platform.releaseInstance(instance->held);
  instance->held = nullptr;
}

void bringRunningInstanceForward(const SingleInstance* instance) {
  if (instance->runningJava) platform.bringWindowsForward(instance->runningJava);
}
