"""End-to-end harness: runs the real launcher.exe under Wine against stand-in programs."""
