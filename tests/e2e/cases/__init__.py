"""Every end-to-end case, by area. Add a case by adding an entry to a list."""
from . import (any_script, branded, configuration, console, executable, launch, lifetime, limits,
               runtime, search, service, startup, views)

CASES = (startup.CASES + configuration.CASES + runtime.CASES + launch.CASES + limits.CASES +
         views.CASES + search.CASES + any_script.CASES + console.CASES + lifetime.CASES +
         branded.CASES + service.CASES)
STATIC_CHECKS = executable.checks
