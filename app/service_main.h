// The service launcher's sequence (launchersvc.exe), called by its entry.
#ifndef CORVANE_APP_SERVICE_MAIN_H
#define CORVANE_APP_SERVICE_MAIN_H

// With a command ("agent.exe install"), runs it; with none, runs as the
// service under the service control manager, which started the process
// (with "-d", the trace lines go to the service's log). Outside the
// manager, and for anything else, a usage line and status 2. Returns the
// exit status: the command's, or the service's end (serviceEndFor).
int runServiceLauncher(int argc, char** argv);

#endif
