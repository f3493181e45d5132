// The service table in the service launcher: its entries bound to their
// Windows implementations (win32_service_platform.cpp) when the exe is
// compiled, so that each call is a direct one that the compiler may inline.
// Included by service_platform.h in that build (CORVANE_BOUND_SERVICE_TABLE);
// the host tests fill a table of their own with the fake.
#ifndef CORVANE_PLATFORM_WIN32_SERVICE_PLATFORM_H
#define CORVANE_PLATFORM_WIN32_SERVICE_PLATFORM_H

#include <type_traits>

#include "platform/service_platform.h"

// Each entry, and the function that implements it.
#define CORVANE_WIN32_SERVICE_ENTRIES(ENTRY) \
  ENTRY(openServiceManager, win32OpenServiceManager) \
  ENTRY(openService, win32OpenService) \
  ENTRY(createService, win32CreateService) \
  ENTRY(changeServiceConfig, win32ChangeServiceConfig) \
  ENTRY(setServiceSetting, win32SetServiceSetting) \
  ENTRY(readServiceSettings, win32ReadServiceSettings) \
  ENTRY(queryServiceState, win32QueryServiceState) \
  ENTRY(childProcess, win32ChildProcess) \
  ENTRY(startService, win32StartService) \
  ENTRY(stopService, win32StopService) \
  ENTRY(deleteService, win32DeleteService) \
  ENTRY(closeService, win32CloseService) \
  ENTRY(systemMessage, win32SystemMessage) \
  ENTRY(registryCreateKey, win32RegistryCreateKey) \
  ENTRY(registrySetValue, win32RegistrySetValue) \
  ENTRY(registryDeleteKey, win32RegistryDeleteKey) \
  ENTRY(runServiceDispatcher, win32RunServiceDispatcher) \
  ENTRY(registerServiceHandler, win32RegisterServiceHandler) \
  ENTRY(reportServiceStatus, win32ReportServiceStatus) \
  ENTRY(waitForJavaOrStop, win32WaitForJavaOrStop) \
  ENTRY(waitForExitWithin, win32WaitForExitWithin) \
  ENTRY(openJavaConsole, win32OpenJavaConsole) \
  ENTRY(interruptConsole, win32InterruptConsole) \
  ENTRY(terminateJob, win32TerminateJob) \
  ENTRY(terminateProcess, win32TerminateProcess) \
  ENTRY(localTime, win32LocalTime) \
  ENTRY(openEventSource, win32OpenEventSource) \
  ENTRY(reportEvent, win32ReportEvent) \
  ENTRY(closeEventSource, win32CloseEventSource)

#define CORVANE_DECLARE_ENTRY(entry, function) \
  std::remove_pointer_t<decltype(ServicePlatformOps::entry)> function;
CORVANE_WIN32_SERVICE_ENTRIES(CORVANE_DECLARE_ENTRY)
#undef CORVANE_DECLARE_ENTRY

#define CORVANE_BIND_ENTRY(entry, function) .entry = function,
inline constexpr ServicePlatformOps servicePlatform = {
    CORVANE_WIN32_SERVICE_ENTRIES(CORVANE_BIND_ENTRY)};
#undef CORVANE_BIND_ENTRY

#endif
