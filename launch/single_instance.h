// One running instance of a "singleInstance" application in the Windows
// (terminal-services) session: the first start holds a named mark with its
// Java's process id; a start that finds the mark starts no Java and brings
// that one's windows to the front.
#ifndef CORVANE_LAUNCH_SINGLE_INSTANCE_H
#define CORVANE_LAUNCH_SINGLE_INSTANCE_H

// True when this start goes on to run Java: without the key, when it now
// holds the instance, or when the instance cannot be checked. False when
// another launcher runs the application (see alreadyRunningOutcome).
bool claimSingleInstance(void);

// Makes the started Java the one later starts bring to the front.
void publishJavaProcess(unsigned long processId);

// Gives the instance up once Java has ended, or once the launch step has
// ended without starting one; nothing when none is held.
void releaseSingleInstance(void);

// How a start that found its application running ends: the running one's
// windows come to the front; returns the exit status (kExitAlreadyRunning).
int alreadyRunningOutcome(void);

#endif
