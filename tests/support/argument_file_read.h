// Reads an argument file ("java @file") back as Java's launcher reads it:
// byte by byte, whatever the code page, so that a double-byte character's
// 0x5C byte counts as a backslash.
#ifndef CORVANE_TESTS_SUPPORT_ARGUMENT_FILE_READ_H
#define CORVANE_TESTS_SUPPORT_ARGUMENT_FILE_READ_H

#include <string>
#include <vector>

// Blanks, tabs, form feeds and line breaks separate tokens; a # that starts a
// token outside quotes starts a comment to the end of the line; ' or " opens
// a quoted part that the same character closes; inside it a backslash
// escapes the next byte (\n \r \t \f those characters, any other itself). A
// backslash before a line break joins the lines, the next one's leading
// blanks skipped: taken so in or out of quotes, the stricter reading. The
// e2e harness reads by the same rules (read_like_java, in
// tests/e2e/harness/argument_files.py).
std::vector<std::string> readArgumentFileLikeJava(const std::string& bytes);

#endif
