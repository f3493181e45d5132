// Java's own launcher reads its command line in the ANSI code page, into
// which Windows converts the Unicode line with best fit: a character the code
// page lacks becomes a look-alike (a fullwidth quote '"', a no-break space a
// blank) or the default character '?'. Where that would change how Java
// splits the line, or give Java wildcards to expand, the launcher decides by
// the text Java reads:
//   - a program argument reaches Java in quotes, so that a '?' or '*' the
//     code page made is not expanded into file names; where a quote or a
//     backslash appears, as the text Java reads, quoted and escaped as that
//     text needs;
//   - a class-path entry that the launcher quotes (one without a double
//     quote of its own) is given as Java reads it, so that a blank that
//     appears is quoted; one in which a double quote would appear is refused;
//   - a JVM option, the main class and a class-path entry with quotes of its
//     own stand as written: one that Java would read with other quotes,
//     blanks, tabs or backslashes is refused.
// Texts the code page spells, and paths given in their short form, are read
// as written.
#ifndef CORVANE_LAUNCH_JAVA_READING_H
#define CORVANE_LAUNCH_JAVA_READING_H

// Rewrites those settings in place, after giveJavaSpellablePaths. Returns
// false, after one error box naming the text, when a text is refused: Java
// must not be started then.
bool giveJavaReadableTexts(void);

#endif
