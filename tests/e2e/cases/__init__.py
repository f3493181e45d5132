"""Every end-to-end case, by area. Add a case by adding an entry to a list."""
from . import configuration, executable, launch, limits, runtime, startup, views

CASES = (startup.CASES + configuration.CASES + runtime.CASES + launch.CASES + limits.CASES +
         views.CASES)
STATIC_CHECKS = executable.checks
