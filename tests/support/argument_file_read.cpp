#include "argument_file_read.h"

#include <string.h>

static bool separates(char c) { return c && strchr(" \t\f\r\n", c) != nullptr; }

// Past a line break at i and the blanks that start the next line.
static size_t joinLines(const std::string& bytes, size_t i) {
  i += bytes.compare(i, 2, "\r\n") == 0 ? 2 : 1;
  while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t')) ++i;
  return i;
}

static bool lineBreakAt(const std::string& bytes, size_t i) {
  return i < bytes.size() && (bytes[i] == '\r' || bytes[i] == '\n');
}

std::vector<std::string> readArgumentFileLikeJava(const std::string& bytes) {
  std::vector<std::string> tokens;
  size_t i = 0;
  while (i < bytes.size()) {
    if (separates(bytes[i])) {
      ++i;
    } else if (bytes[i] == '#') {
      while (i < bytes.size() && !lineBreakAt(bytes, i)) ++i;
    } else {
      std::string token;
      for (char quote = 0; i < bytes.size() && (quote || !separates(bytes[i]));) {
        char c = bytes[i];
        if (c == '\\' && lineBreakAt(bytes, i + 1)) {
          i = joinLines(bytes, i + 1);
          continue;
        }
        if (quote && c == '\\' && i + 1 < bytes.size()) {
          char e = bytes[++i];
          token += e == 'n' ? '\n' : e == 'r' ? '\r' : e == 't' ? '\t' : e == 'f' ? '\f' : e;
        } else if (quote ? c == quote : c == '"' || c == '\'') {
          quote = quote ? 0 : c;
        } else {
          token += c;
        }
        ++i;
      }
      tokens.push_back(token);
    }
  }
  return tokens;
}
