/* Writes records that the e2e harness reads back: one field a line,
   "<name> <length>:<bytes>\n", and "end 0:\n" after the last field of a
   record. Lengths make any byte (blanks, quotes, line breaks) safe. A text
   from a call ending in W is recorded in UTF-8, one from a call ending in A
   as its bytes in the ANSI code page: the harness knows which field is which. */
#ifndef CORVANE_E2E_RECORD_H
#define CORVANE_E2E_RECORD_H

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef struct {
  char* data;
  size_t length;
  size_t capacity;
} Record;

static void recordBytes(Record* record, const char* bytes, size_t length) {
  if (record->length + length + 1 > record->capacity) {
    size_t capacity = (record->capacity + length + 1) * 2;
    char* grown = (char*)realloc(record->data, capacity);
    if (!grown) exit(90);
    record->data = grown;
    record->capacity = capacity;
  }
  memcpy(record->data + record->length, bytes, length);
  record->length += length;
}

static void recordField(Record* record, const char* name, const char* value) {
  char head[64];
  size_t length = strlen(value);
  int headLength = snprintf(head, sizeof head, "%s %lu:", name, (unsigned long)length);
  recordBytes(record, head, (size_t)headLength);
  recordBytes(record, value, length);
  recordBytes(record, "\n", 1);
}

/* The UTF-8 form of a wide text (heap text, caller frees). */
static inline char* utf8FromWide(const WCHAR* wide) {
  int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, NULL, 0, NULL, NULL);
  char* text = (char*)calloc(size > 0 ? (size_t)size : 1, 1);
  if (!text) exit(90);
  if (size > 0) WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, size, NULL, NULL);
  return text;
}

static inline void recordWideField(Record* record, const char* name, const WCHAR* value) {
  char* utf8 = utf8FromWide(value);
  recordField(record, name, utf8);
  free(utf8);
}

/* Appends the finished record to the file in one write, so a reader never
   sees half of it once the writer has gone on. Returns 0 on success. */
static int recordSave(Record* record, const char* path) {
  recordField(record, "end", "");
  FILE* file = fopen(path, "ab");
  if (!file) return 1;
  size_t written = fwrite(record->data, 1, record->length, file);
  int failed = fclose(file) != 0 || written != record->length;
  free(record->data);
  record->data = NULL;
  record->length = record->capacity = 0;
  return failed;
}

#endif
