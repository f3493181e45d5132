// One running instance of a "singleInstance" application in the Windows
// (terminal-services) session: the first start holds a named mark with its
// Java's process id; a start that finds the mark starts no Java and brings
// that one's windows to the front.
#ifndef CORVANE_LAUNCH_SINGLE_INSTANCE_H
#define CORVANE_LAUNCH_SINGLE_INSTANCE_H

#include "platform/platform.h"

// What this start found of the instance, and holds of it.
struct SingleInstance {
  InstanceHandle held;        // the mark this start holds; NULL for none
  unsigned long runningJava;  // the Java another holder published, 0 for none yet
};

// True when this start goes on to run Java: without the key, when it now
// holds the instance, or when the instance cannot be checked. False when
// another launcher runs the application.
bool claimSingleInstance(SingleInstance* instance);

// Makes the started Java the one later starts bring to the front.
void publishJavaProcess(const SingleInstance* instance, unsigned long processId);

// Gives the instance up; nothing when none is held.
void releaseSingleInstance(SingleInstance* instance);

// Brings the running application's windows to the front, when the other
// holder has published its Java.
void bringRunningInstanceForward(const SingleInstance* instance);

#endif
