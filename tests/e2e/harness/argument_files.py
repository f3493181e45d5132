"""Java's argument files ("java @file"), read the way Java reads them:
blanks, tabs, form feeds and line breaks separate tokens; ' or " opens a
quoted part that the same character closes; inside quotes a backslash
escapes what follows (\\n, \\r, \\t, \\f, a line break joins lines, anything
else stands for itself); outside quotes a backslash is plain; a # outside
quotes starts a comment to the end of the line."""
from pathlib import Path

SEPARATORS = " \t\f\r\n"
ESCAPES = {"n": "\n", "r": "\r", "t": "\t", "f": "\f"}


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
            if quote and c == "\\" and i + 1 < len(text):
                i += 1
                if text[i] in "\r\n":  # a joined line goes on after its leading blanks
                    while i + 1 < len(text) and text[i + 1] in SEPARATORS:
                        i += 1
                else:
                    token.append(ESCAPES.get(text[i], text[i]))
            elif c == quote:
                quote = None
            elif not quote and c in "\"'":
                quote = c
            elif not quote and c == "#":
                break
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
