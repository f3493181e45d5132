/* Reads an exe's file properties as Windows shows them and records them
   (record.h) in the file its third argument names:
     file_properties.exe EXE ICON RECORD
   The version record through GetFileVersionInfoW and VerQueryValueW, as
   Explorer and Windows Installer read it: the fixed file and product
   versions, the first translation and each string of the table it names.
   The icon through the shell's calls: how many icons ExtractIconExW counts,
   and whether the first one, as ExtractIconExW and ExtractIconW give it at
   the large size, has the pixels of the icon file ICON loaded at that size.
   (Under Wine, SHGetFileInfoW names shell32 as every exe's icon location,
   its image lists alter pixels, and it picks the small size's image by its
   own rules: none of these is recorded.) Exit status 0 when the record was
   written. */
#include <windows.h>
#include <shellapi.h>

#include "record.h"

static const WCHAR* const kStrings[] = {
    L"FileDescription", L"FileVersion", L"ProductName", L"ProductVersion",
    L"CompanyName", L"LegalCopyright", L"InternalName", L"OriginalFilename"};

static void recordVersion(Record* record, const WCHAR* exe) {
  DWORD ignored = 0, size = GetFileVersionInfoSizeW(exe, &ignored);
  void* info = size ? calloc(size, 1) : NULL;
  if (!info || !GetFileVersionInfoW(exe, 0, size, info)) {
    recordField(record, "version", "none");
    free(info);
    return;
  }
  VS_FIXEDFILEINFO* fixed = NULL;
  UINT length = 0;
  char text[64];
  if (VerQueryValueW(info, L"\\", (void**)&fixed, &length) && length >= sizeof *fixed) {
    snprintf(text, sizeof text, "%lu.%lu.%lu.%lu", fixed->dwFileVersionMS >> 16,
             fixed->dwFileVersionMS & 0xFFFF, fixed->dwFileVersionLS >> 16,
             fixed->dwFileVersionLS & 0xFFFF);
    recordField(record, "fileVersion", text);
    snprintf(text, sizeof text, "%lu.%lu.%lu.%lu", fixed->dwProductVersionMS >> 16,
             fixed->dwProductVersionMS & 0xFFFF, fixed->dwProductVersionLS >> 16,
             fixed->dwProductVersionLS & 0xFFFF);
    recordField(record, "productVersion", text);
  }
  WORD* translation = NULL;
  if (!VerQueryValueW(info, L"\\VarFileInfo\\Translation", (void**)&translation, &length) ||
      length < 4) {
    recordField(record, "translation", "none");
    free(info);
    return;
  }
  snprintf(text, sizeof text, "%04x%04x", translation[0], translation[1]);
  recordField(record, "translation", text);
  for (size_t i = 0; i < sizeof kStrings / sizeof kStrings[0]; ++i) {
    WCHAR query[128];
    WCHAR* value = NULL;
    swprintf(query, 128, L"\\StringFileInfo\\%04x%04x\\%ls", translation[0], translation[1],
             kStrings[i]);
    if (!VerQueryValueW(info, query, (void**)&value, &length) || !value) continue;
    char* name = utf8FromWide(kStrings[i]);
    char field[160];
    snprintf(field, sizeof field, "string.%s", name);
    recordWideField(record, field, value);
    free(name);
  }
  free(info);
}

/* The icon's colour and mask pixels at its own size, top-down 32-bit; NULL
   when it has none. *size is its width. */
static DWORD* iconPixels(HICON icon, int* size) {
  ICONINFO info;
  if (!icon || !GetIconInfo(icon, &info)) return NULL;
  BITMAP bitmap;
  GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
  int width = bitmap.bmWidth, height = info.hbmColor ? bitmap.bmHeight : bitmap.bmHeight / 2;
  DWORD* pixels = (DWORD*)calloc((size_t)width * height * 2, sizeof(DWORD));
  BITMAPINFO format;
  memset(&format, 0, sizeof format);
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = width;
  format.bmiHeader.biHeight = -height;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  HDC dc = GetDC(NULL);
  if (info.hbmColor) GetDIBits(dc, info.hbmColor, 0, height, pixels, &format, DIB_RGB_COLORS);
  GetDIBits(dc, info.hbmMask, 0, height, pixels + width * height, &format, DIB_RGB_COLORS);
  ReleaseDC(NULL, dc);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  *size = width;
  return pixels;
}

/* "<size>x<size> same" when the icon has the icon file's pixels at its size,
   "<size>x<size> different" when not, "none" without an icon. */
static void recordIcon(Record* record, const char* name, HICON icon, const WCHAR* ico) {
  int size = 0, fileSize = 0;
  DWORD* pixels = iconPixels(icon, &size);
  if (!pixels) {
    recordField(record, name, "none");
    return;
  }
  HICON fromFile = (HICON)LoadImageW(NULL, ico, IMAGE_ICON, size, size, LR_LOADFROMFILE);
  DWORD* expected = iconPixels(fromFile, &fileSize);
  size_t count = (size_t)size * size * 2, differing = 0, first = 0;
  for (size_t i = 0; expected && fileSize == size && i < count; ++i)
    if (pixels[i] != expected[i] && !differing++) first = i;
  char text[128];
  if (!expected || fileSize != size)
    snprintf(text, sizeof text, "%dx%d, the file has no icon of that size", size, size);
  else if (!differing)
    snprintf(text, sizeof text, "%dx%d same", size, size);
  else
    snprintf(text, sizeof text, "%dx%d different: %lu of %lu values, first at %lu: %08lx, file %08lx",
             size, size, (unsigned long)differing, (unsigned long)count, (unsigned long)first,
             pixels[first], expected[first]);
  recordField(record, name, text);
  free(pixels);
  free(expected);
  if (fromFile) DestroyIcon(fromFile);
}

int wmain(int argc, WCHAR** argv) {
  if (argc != 4) return 2;
  Record record = {0};
  recordVersion(&record, argv[1]);
  char count[16];
  snprintf(count, sizeof count, "%u", ExtractIconExW(argv[1], -1, NULL, NULL, 0));
  recordField(&record, "icons", count);
  HICON large = NULL;
  ExtractIconExW(argv[1], 0, &large, NULL, 1);
  recordIcon(&record, "extractIconEx", large, argv[2]);
  recordIcon(&record, "extractIcon", ExtractIconW(GetModuleHandleW(NULL), argv[1], 0), argv[2]);
  char* path = utf8FromWide(argv[3]);
  int failed = recordSave(&record, path);
  free(path);
  return failed;
}
