// Splits a command line into arguments the way the C runtime's start-up code
// of a started program does, for checking what the launcher's quoting gives.
#ifndef CORVANE_TESTS_SUPPORT_COMMAND_LINE_SPLIT_H
#define CORVANE_TESTS_SUPPORT_COMMAND_LINE_SPLIT_H

#include <string>
#include <vector>

// Blanks and tabs separate arguments outside quotes; 2n backslashes before a
// double quote give n backslashes and the quote opens or closes a quoted part;
// 2n+1 give n backslashes and a literal quote; inside quotes "" gives a quote.
// quoted, when given, gets for each argument whether a quote opened or
// closed a part of it: Java expands no '*' or '?' in such an argument.
std::vector<std::string> splitLikeCRuntime(const std::string& line,
                                           std::vector<bool>* quoted = nullptr);

#endif
