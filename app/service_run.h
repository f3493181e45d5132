// The service launcher under the service control manager: from the
// manager's start to the service's end.
#ifndef CORVANE_APP_SERVICE_RUN_H
#define CORVANE_APP_SERVICE_RUN_H

// The service's main, on the thread the dispatcher gives it: argv[0] is the
// service's name, the rest its start parameters, which come before the
// configuration's "argument" lines as Java's arguments. Reports start
// pending, reads the configuration beside the exe, opens the log, chooses
// and starts Java on a console of its own, reports running, waits for Java
// to end or a stop, and reports the service stopped as the outcome says
// (serviceEndFor).
void runService(int argc, char** argv);

// The status the last run ended with: 0, or its service-specific code.
int serviceExitStatus(void);

#endif
