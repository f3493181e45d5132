"""Java's argument files ("java @file"), read the way Java reads them, by
the rules of the unit tests' reader (tests/support/argument_file_read.h):
blanks, tabs, form feeds and line breaks separate tokens; a # that starts a
token outside quotes starts a comment to the end of the line; ' or " opens a
quoted part that the same character closes; inside quotes a backslash
escapes what follows (\\n, \\r, \\t, \\f those characters, anything else
itself); a backslash before a line break, in or out of quotes, joins the
lines, the next one's leading blanks and tabs skipped."""
from pathlib import Path

SEPARATORS = " \t\f\r\n"
ESCAPES = {"n": "\n", "r": "\r", "t": "\t", "f": "\f"}


def join_lines(text: str, i: int) -> int:
    """Past the line break at i and the blanks that start the next line."""
    i += 2 if text.startswith("\r\n", i) else 1
    while i < len(text) and text[i] in " \t":
        i += 1
    return i


def read_like_java(text: str) -> list[str]:
    tokens, i = [], 0
    while i < len(text):
        if text[i] in SEPARATORS:
            i += 1
            continue
        if text[i] == "#":
            while i < len(text) and text[i] not in "\r\n":
                i += 1
            continue
        token, quote = [], None
        while i < len(text) and (quote or text[i] not in SEPARATORS):
            c = text[i]
            if c == "\\" and i + 1 < len(text) and text[i + 1] in "\r\n":
                i = join_lines(text, i + 1)
                continue
            if quote and c == "\\" and i + 1 < len(text):
                i += 1
                token.append(ESCAPES.get(text[i], text[i]))
            elif c == quote:
                quote = None
            elif not quote and c in "\"'":
                quote = c
            else:
                token.append(c)
            i += 1
        tokens.append("".join(token))
    return tokens


def exists_any_case(path: Path) -> bool:
    """Whether a file of that name is in its folder, in any letter case, as
    Windows names it."""
    return path.parent.is_dir() and any(
        entry.name.lower() == path.name.lower() for entry in path.parent.iterdir())
