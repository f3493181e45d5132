#ifndef CORVANE_CONFIG_JAR_SCAN_H
#define CORVANE_CONFIG_JAR_SCAN_H

// Appends every jar file of the directory (not its subdirectories), each
// file whose name ends in ".jar" in any letter case, to settings.vmjars as
// directory + "/" + file name, in listing order.
void addJarDirectory(const char* directory);

#endif
