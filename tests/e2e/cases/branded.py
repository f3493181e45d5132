"""The launcher branded as the application's exe (corvane-brand): it runs
the typical start as the launcher it came from does, and Windows reads its
version record and icon."""
from harness.branding import Brand, application_icon

from .startup import RESOLVE_1_4_2_05_PLUS, VIEWER_JAVA, viewer

VIEWER_BRAND = Brand(options=("--product-name", "Example Viewer", "--company", "Exemple Société",
                              "--file-version", "2.1.0", "--product-version", "2.1",
                              "--copyright", "(c) 2026 Exemple Société"),
                     icon=application_icon())
VIEWER_PROPERTIES = {
    "fileVersion": "2.1.0.0", "productVersion": "2.1.0.0", "translation": "040904b0",
    "string.FileDescription": "Example Viewer", "string.FileVersion": "2.1.0",
    "string.ProductName": "Example Viewer", "string.ProductVersion": "2.1",
    "string.CompanyName": "Exemple Société", "string.LegalCopyright": "(c) 2026 Exemple Société",
    "string.InternalName": "viewer", "string.OriginalFilename": "viewer.exe",
    # eleven groups; the first, the shell's, has the application's images
    "icons": "11", "extractIconEx": "32x32 same", "extractIcon": "32x32 same",
}

CASES = [
    viewer("branded by corvane-brand.exe under Wine: the Linux tool's bytes; the typical run; "
           "Windows reads the version strings and the application's icon",
           brand=Brand(VIEWER_BRAND.options, VIEWER_BRAND.icon, tool="windows"),
           stdout=RESOLVE_1_4_2_05_PLUS, java=VIEWER_JAVA, shell=VIEWER_PROPERTIES),
    viewer("branded as viewer.exe: the typical run as the launcher does it; Windows reads "
           "the version strings and the application's icon",
           brand=VIEWER_BRAND, stdout=RESOLVE_1_4_2_05_PLUS, java=VIEWER_JAVA,
           shell=VIEWER_PROPERTIES),
    viewer("branded with requireAdministrator: the manifest changes, the run does not",
           brand=Brand(options=("--execution-level", "requireAdministrator")),
           stdout=RESOLVE_1_4_2_05_PLUS, java=VIEWER_JAVA),
]
