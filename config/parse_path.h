// Expansion of one $NAME environment reference in a configuration value.
#ifndef CORVANE_CONFIG_PARSE_PATH_H
#define CORVANE_CONFIG_PARSE_PATH_H

// Returns a new heap text: the value with its first $NAME reference replaced
// by the variable's value (quoted when that value holds a blank and quoting is
// on, or an '=' stands before the '$'), backslashes turned into slashes.
// A value without '$', or naming an unset variable, comes back unchanged.
char* parsePath(const char* value, bool quoting);

#endif
