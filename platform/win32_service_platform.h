#ifndef CORVANE_PLATFORM_WIN32_SERVICE_PLATFORM_H
#define CORVANE_PLATFORM_WIN32_SERVICE_PLATFORM_H

// Fills the service table (service_platform.h) with the Windows implementation.
void installWin32ServicePlatform(void);

#endif
