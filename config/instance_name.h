// The "singleInstance" key: the vendor's name for an application, turned
// into the name of the kernel object that marks its running instance.
#ifndef CORVANE_CONFIG_INSTANCE_NAME_H
#define CORVANE_CONFIG_INSTANCE_NAME_H

// Windows takes kernel object names of up to 260 characters; the prefix
// leaves room for this many of the vendor's.
enum { kMaxInstanceNameLength = 200 };

// Sets settings.singleInstance to the object's name in the session's
// namespace. A name that cannot be part of one (empty, holding a backslash,
// or longer than kMaxInstanceNameLength UTF-16 units) gets an error box and
// is ignored: the application then starts as if the line were not there.
void setSingleInstanceName(const char* name);

#endif
