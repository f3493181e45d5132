// The Java search that "minJava", "maxJava", "javaBits" and "javaHome" lines
// ask for: candidate homes from those lines and from every vendor's registry
// keys, and the choice among the ones that fit.
#ifndef CORVANE_RUNTIME_JAVA_SEARCH_H
#define CORVANE_RUNTIME_JAVA_SEARCH_H

// The Java executable of the runtime the search settles on (heap text): the
// first "javaHome" home that fits, else among the registered runtimes that
// fit the highest version, at equal versions a 64-bit one, then the one
// found first. NULL when none fits, after telling the user what was found
// and why each was not taken, and offering the download page. In debug
// mode each candidate gets a trace line.
char* searchJava(void);

#endif
