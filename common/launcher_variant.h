// Which launcher is running: each exe's entry says so once, and the main
// sequence and the diagnostics channel are told.
#ifndef CORVANE_COMMON_LAUNCHER_VARIANT_H
#define CORVANE_COMMON_LAUNCHER_VARIANT_H

enum LauncherVariant {
  kGuiLauncher,      // launcher.exe: javaw.exe, message boxes
  kConsoleLauncher,  // launcherc.exe, for tools: java.exe, standard error, Java's status
  // launchersvc.exe, a Windows service: as the console launcher, with its
  // standard error and output going to the service's log
  kServiceLauncher,
};

#endif
