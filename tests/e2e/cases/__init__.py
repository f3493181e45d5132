"""Every end-to-end case, by area. Add a case by adding an entry to a list."""
from . import configuration, executable, launch, runtime, startup

CASES = startup.CASES + configuration.CASES + runtime.CASES + launch.CASES
STATIC_CHECKS = executable.CHECKS
