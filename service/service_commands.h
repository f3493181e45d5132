// The service launcher's commands, run at a prompt (an elevated one where
// Windows asks for it): install, uninstall, start, stop, restart, status.
#ifndef CORVANE_SERVICE_SERVICE_COMMANDS_H
#define CORVANE_SERVICE_SERVICE_COMMANDS_H

// Reads the configuration beside the exe (install needs it; the others say
// it is missing and use the exe's name as the service's), runs the command,
// says in one line where the service got to, and returns the exit status
// (common/exit_status.h): 0 when done; status gives 0 running, 3 stopped,
// 4 not installed; a refusal names the system's reason and gives 1. A
// command it does not know gets the usage line (serviceUsage).
int runServiceCommand(const char* command);

// "usage: <exe> install [-d] | uninstall | ..." on standard error; status 2.
int serviceUsage(void);

#endif
