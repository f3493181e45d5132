"""Every end-to-end case, by area. Add a case by adding an entry to a list."""
from . import (any_script, branded, configuration, console, executable, java_reads, launch,
               lifetime, limits, runtime, search, startup, views)

CASES = (startup.CASES + configuration.CASES + runtime.CASES + launch.CASES + limits.CASES +
         views.CASES + search.CASES + any_script.CASES + console.CASES + lifetime.CASES +
         java_reads.CASES + branded.CASES)
STATIC_CHECKS = executable.checks
