/* Watches for message boxes in its Wine prefix, records each one and answers it.
     box_watcher.exe <log file> <answers file> <ready file>
   Every box (a visible top-level window of class "#32770") is recorded once:
   caption, text (dialog item 0xFFFF), both in UTF-8, visible buttons and
   whether it shows an icon (item 0x0440).
   It is then answered with the button that the answers file names for its
   caption (UTF-8 "<caption>\t<button>" lines, "*" for any caption; buttons ok, yes,
   no, cancel). Without a matching line a box is answered with No, or with OK
   when it has no No button. The ready file is created once watching has begun. */
#include <windows.h>

#include "record.h"

#define MAX_BOXES 256
#define ICON_ITEM 0x0440
#define TEXT_ITEM 0xFFFF

static const char* logPath;
static const char* answersPath;
static HWND seen[MAX_BOXES];
static int seenCount;

static const struct {
  int id;
  const char* name;
} kButtons[] = {{IDOK, "ok"}, {IDCANCEL, "cancel"}, {IDABORT, "abort"}, {IDRETRY, "retry"},
                {IDIGNORE, "ignore"}, {IDYES, "yes"}, {IDNO, "no"}};

static int isSeen(HWND window) {
  for (int i = 0; i < seenCount; ++i)
    if (seen[i] == window) return 1;
  return 0;
}

/* A closing box stays findable for a moment: remember every box until its
   window is gone, so that each is handled once. */
static void forgetClosedBoxes(void) {
  int kept = 0;
  for (int i = 0; i < seenCount; ++i)
    if (IsWindow(seen[i])) seen[kept++] = seen[i];
  seenCount = kept;
}

/* Read through the calls ending in W, so that a text in any script comes
   whole, and given in UTF-8. */
static char* windowText(HWND window) {
  int length = window ? GetWindowTextLengthW(window) : 0;
  WCHAR* wide = (WCHAR*)calloc((size_t)length + 2, sizeof(WCHAR));
  if (!wide) exit(92);
  if (window) GetWindowTextW(window, wide, length + 1);
  char* text = utf8FromWide(wide);
  free(wide);
  return text;
}

static int buttonVisible(HWND box, int id) {
  HWND button = GetDlgItem(box, id);
  return button && IsWindowVisible(button);
}

/* Icon handles are per process under Wine, so which icon it is cannot be
   told from here: only whether the box shows one. */
static int hasIcon(HWND box) {
  HWND item = GetDlgItem(box, ICON_ITEM);
  return item && IsWindowVisible(item) && SendMessageA(item, STM_GETICON, 0, 0) != 0;
}

static int buttonId(const char* name) {
  for (size_t i = 0; i < sizeof kButtons / sizeof kButtons[0]; ++i)
    if (strcmp(kButtons[i].name, name) == 0) return kButtons[i].id;
  return 0;
}

/* The answer that the answers file gives for this caption, or 0. */
static int configuredAnswer(const char* caption) {
  FILE* file = fopen(answersPath, "rb");
  if (!file) return 0;
  char line[4096];
  int answer = 0, fallback = 0;
  while (!answer && fgets(line, sizeof line, file)) {
    line[strcspn(line, "\r\n")] = '\0';
    char* tab = strchr(line, '\t');
    if (!tab) continue;
    *tab = '\0';
    if (strcmp(line, caption) == 0) answer = buttonId(tab + 1);
    else if (strcmp(line, "*") == 0) fallback = buttonId(tab + 1);
  }
  fclose(file);
  return answer ? answer : fallback;
}

static int chooseAnswer(HWND box, const char* caption) {
  int answer = configuredAnswer(caption);
  if (answer && buttonVisible(box, answer)) return answer;
  if (buttonVisible(box, IDNO)) return IDNO;
  if (buttonVisible(box, IDOK)) return IDOK;
  return IDCANCEL;
}

static void handleBox(HWND box) {
  char* caption = windowText(box);
  char* text = windowText(GetDlgItem(box, TEXT_ITEM));
  char buttons[64] = "";
  for (size_t i = 0; i < sizeof kButtons / sizeof kButtons[0]; ++i) {
    if (!buttonVisible(box, kButtons[i].id)) continue;
    if (buttons[0]) strcat(buttons, ",");
    strcat(buttons, kButtons[i].name);
  }
  int answer = chooseAnswer(box, caption);

  Record record = {0};
  recordField(&record, "caption", caption);
  recordField(&record, "text", text);
  recordField(&record, "buttons", buttons);
  recordField(&record, "icon", hasIcon(box) ? "yes" : "no");
  for (size_t i = 0; i < sizeof kButtons / sizeof kButtons[0]; ++i)
    if (kButtons[i].id == answer) recordField(&record, "answer", kButtons[i].name);
  if (recordSave(&record, logPath) != 0) exit(93);
  free(caption);
  free(text);
  /* Recorded before it is answered: once the box's program has ended, its
     boxes are all in the log. */
  PostMessageA(box, WM_COMMAND, (WPARAM)answer, 0);
}

static BOOL CALLBACK visitWindow(HWND window, LPARAM unused) {
  (void)unused;
  char className[32];
  if (!IsWindowVisible(window) || isSeen(window)) return TRUE;
  if (!GetClassNameA(window, className, sizeof className) || strcmp(className, "#32770") != 0)
    return TRUE;
  if (seenCount == MAX_BOXES) forgetClosedBoxes();
  if (seenCount < MAX_BOXES) seen[seenCount++] = window;
  handleBox(window);
  return TRUE;
}

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  logPath = argv[1];
  answersPath = argv[2];
  FILE* ready = fopen(argv[3], "wb");
  if (!ready) return 3;
  fclose(ready);
  for (;;) {
    EnumWindows(visitWindow, 0);
    forgetClosedBoxes();
    Sleep(20);
  }
}
