"""Registry views: in a 64-bit prefix the 32-bit launcher reads HKLM\\SOFTWARE
through the 32-bit view (Wow6432Node) and the 64-bit one through the 64-bit
view. Each case puts runtimes into the other view too; every case runs for
each build, so each exe must find its own view's runtimes and never the other's."""
from harness.case import STANDARD, Case, Java
from harness.world import NO_ROOT, Registry, Runtime

from .runtime import INCOMPATIBLE, NOT_FOUND, asking, default_java, error, prompt

OWN = Registry((Runtime("1.4.2_08", r"C:\Java\own\j2re1.4.2_08"),
                Runtime("1.5.0", r"C:\Java\own\jre1.5.0")), current="1.5.0")
# Higher releases of both families, and another current version.
OTHER = Registry((Runtime("1.4.2_09", r"C:\Java\other\j2re1.4.2_09"),
                  Runtime("1.5.0_06", r"C:\Java\other\jre1.5.0_06")), current="1.5.0_06")

CASES = [
    asking("views: runtimes only in the other view are not found, status 11", "1.4.2",
           registry=NO_ROOT, other_view=STANDARD, status=11,
           boxes=[prompt(NOT_FOUND, "Example Viewer", "1.4.2")]),
    asking("views: a higher release in the other view is not taken", "1.4.2",
           registry=OWN, other_view=OTHER,
           stdout_has=["found latest java version 1.4.2_08"],
           java=Java(command_line=r"C:\Java\own\j2re1.4.2_08\bin\javaw.exe Main")),
    asking("views: a release that only the other view has is missing, status 11", "1.4.2_09+",
           registry=OWN, other_view=OTHER, status=11,
           boxes=[prompt(INCOMPATIBLE, "Example Viewer", "1.4.2_09+")]),
    default_java("views: the current version of the own view", OWN,
                 other_view=OTHER, java=Java(command_line=r"C:\Java\own\jre1.5.0\bin\javaw.exe Main")),
    default_java("views: no current version in the own view, though the other has one",
                 OWN.with_current(None), error("No Java Installation Found"), other_view=OTHER),
]
