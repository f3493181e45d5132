"""The ANSI code page of the programs in the tests' Wine prefix, and its texts.

Wine takes the code page from the locale it runs in; the session pins an
English UTF-8 locale, which gives 1252, so Cyrillic, Greek or Chinese names
are outside it. Python's cp1252 leaves five bytes undefined that Windows maps
to the C1 controls of the same numbers; so do these conversions, so that every
byte is a character and back.
"""
import codecs

ANSI_CODE_PAGE = 1252
LOCALE = "C.UTF-8"

_C1_ONLY = frozenset(b"\x81\x8d\x8f\x90\x9d")
_ERRORS = "corvane-windows-1252"


def _as_windows_does(error: UnicodeError):
    piece = error.object[error.start:error.end]
    if isinstance(error, UnicodeDecodeError) and set(piece) <= _C1_ONLY:
        return "".join(map(chr, piece)), error.end
    if isinstance(error, UnicodeEncodeError) and {ord(c) for c in piece} <= _C1_ONLY:
        return piece.encode("latin-1"), error.end
    raise error


codecs.register_error(_ERRORS, _as_windows_does)


def ansi_bytes(text: str) -> bytes:
    """text as the code page writes it; a character outside it is an error."""
    return text.encode("cp1252", _ERRORS)


def ansi_text(data: bytes) -> str:
    return data.decode("cp1252", _ERRORS)


def ansi_spelling(text: str) -> str:
    """text as the launcher's trace and error lines spell it: each character
    outside the code page (a Cyrillic, Greek or Chinese one) becomes '?'."""
    def spelled(character: str) -> str:
        try:
            ansi_bytes(character)
            return character
        except UnicodeEncodeError:
            return "?"
    return "".join(map(spelled, text))
