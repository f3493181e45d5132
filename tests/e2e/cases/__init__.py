"""Every end-to-end case, by area. Add a case by adding an entry to a list."""
from . import (any_script, branded, configuration, console, executable, java_output, java_reads,
               launch, lifetime, limits, restart, runtime, search, service, startup, views)

CASES = (startup.CASES + configuration.CASES + runtime.CASES + launch.CASES + limits.CASES +
         views.CASES + search.CASES + any_script.CASES + console.CASES + lifetime.CASES +
         java_reads.CASES + branded.CASES + restart.CASES + java_output.CASES + service.CASES)
STATIC_CHECKS = executable.checks
