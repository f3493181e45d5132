#include "common/launch_settings.h"

#include <stddef.h>

#include "common/text.h"

LaunchSettings settings;

void setSetting(char** field, const char* value) {
  char* copy = copyText(value);
  releaseMemory(*field);
  *field = copy;
}

static void appendOwned(TextList* list, char* text) {
  if (list->count == list->capacity) {
    if (list->capacity > (1 << 28)) outOfMemory();
    int capacity = list->capacity ? list->capacity * 2 : 16;
    list->items = static_cast<char**>(reallocateOrDie(list->items, sizeof(char*) * capacity));
    list->capacity = capacity;
  }
  list->items[list->count++] = text;
}

void appendSetting(TextList* list, const char* value) { appendOwned(list, copyText(value)); }

void quoteArgument(int index) {
  if (index >= settings.quotedArgumentCount) {
    settings.quotedArguments =
        static_cast<bool*>(reallocateOrDie(settings.quotedArguments, sizeof(bool) * (index + 1)));
    for (int i = settings.quotedArgumentCount; i < index; ++i) settings.quotedArguments[i] = false;
    settings.quotedArgumentCount = index + 1;
  }
  settings.quotedArguments[index] = true;
}

bool argumentQuoted(int index) {
  return index < settings.quotedArgumentCount && settings.quotedArguments[index];
}

void setJavapath(const char* path, bool quoted) {
  setSetting(&settings.javapath, path);
  settings.javapathQuoted = quoted;
}

void clearTextList(TextList* list) {
  for (int i = 0; i < list->count; ++i) releaseMemory(list->items[i]);
  releaseMemory(list->items);
  *list = TextList{};
}

void resetConfiguredSettings(void) {
  // The texts and lists, by their place in the record: a list of offsets
  // takes half the room of a list of pointers, and needs no relocation.
#define FIELD(name) (unsigned short)offsetof(LaunchSettings, name)
  static const unsigned short kScalars[] = {
      FIELD(javapath),       FIELD(mainclass),      FIELD(appname),
      FIELD(javaVersion),    FIELD(consoleTitle),   FIELD(minJava),
      FIELD(maxJava),        FIELD(javaBits),       FIELD(downloadPage),
      FIELD(javaRuntimeVersion), FIELD(singleInstance), FIELD(restartOnFailure),
      FIELD(updateDirectory), FIELD(javaLog),       FIELD(javaLogSize),
      FIELD(javaLogKeep),    FIELD(appUserModelId)};
  for (unsigned short offset : kScalars) {
    char** field = reinterpret_cast<char**>(reinterpret_cast<char*>(&settings) + offset);
    releaseMemory(*field);
    *field = nullptr;
  }
  static const unsigned short kLists[] = {FIELD(vmparam), FIELD(vmpath), FIELD(vmjars),
                                          FIELD(javaHome), FIELD(restartCodes)};
  for (unsigned short offset : kLists)
    clearTextList(reinterpret_cast<TextList*>(reinterpret_cast<char*>(&settings) + offset));
#undef FIELD
  while (settings.arguments.count > settings.commandLineArguments)
    releaseMemory(settings.arguments.items[--settings.arguments.count]);
  if (settings.quotedArgumentCount > settings.commandLineArguments)
    settings.quotedArgumentCount = settings.commandLineArguments;
  settings.javapathQuoted = false;
}

void resetLaunchSettings(void) {
  settings.commandLineArguments = 0;
  resetConfiguredSettings();
  clearTextList(&settings.arguments);
  releaseMemory(settings.quotedArguments);
  settings.quotedArguments = nullptr;
  settings.quotedArgumentCount = 0;
  settings.debug = false;
  settings.consoleJava = false;
  settings.pathsFromProgramDirectory = false;
}
