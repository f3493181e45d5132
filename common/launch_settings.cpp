#include "common/launch_settings.h"

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

void setJavapath(const char* path, bool quoted) {
  setSetting(&settings.javapath, path);
  settings.javapathQuoted = quoted;
}

static void clearList(TextList* list) {
  for (int i = 0; i < list->count; ++i) releaseMemory(list->items[i]);
  releaseMemory(list->items);
  *list = TextList{};
}

void resetLaunchSettings(void) {
  char** scalars[] = {&settings.javapath,     &settings.mainclass, &settings.appname,
                      &settings.javaVersion,  &settings.consoleTitle, &settings.minJava,
                      &settings.maxJava,      &settings.javaBits,    &settings.downloadPage,
                      &settings.javaRuntimeVersion, &settings.singleInstance,
                      &settings.appUserModelId};
  for (char** field : scalars) {
    releaseMemory(*field);
    *field = nullptr;
  }
  clearList(&settings.vmparam);
  clearList(&settings.vmpath);
  clearList(&settings.vmjars);
  clearList(&settings.arguments);
  clearList(&settings.javaHome);
  settings.javapathQuoted = false;
  settings.debug = false;
  settings.consoleJava = false;
  settings.pathsFromProgramDirectory = false;
}
