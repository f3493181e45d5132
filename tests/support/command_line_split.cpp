#include "command_line_split.h"

std::vector<std::string> splitLikeCRuntime(const std::string& line, std::vector<bool>* quoted) {
  std::vector<std::string> args;
  if (quoted) quoted->clear();
  size_t i = 0;
  while (true) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i == line.size()) break;
    std::string arg;
    bool inQuotes = false, quoteActed = false;
    while (i < line.size() && (inQuotes || (line[i] != ' ' && line[i] != '\t'))) {
      size_t backslashes = 0;
      while (i < line.size() && line[i] == '\\') ++backslashes, ++i;
      if (i < line.size() && line[i] == '"') {
        arg.append(backslashes / 2, '\\');
        if (backslashes % 2) {
          arg += '"';
        } else if (inQuotes && i + 1 < line.size() && line[i + 1] == '"') {
          arg += '"';
          ++i;
        } else {
          inQuotes = !inQuotes;
          quoteActed = true;
        }
        ++i;
      } else {
        arg.append(backslashes, '\\');
        if (i < line.size() && (inQuotes || (line[i] != ' ' && line[i] != '\t'))) arg += line[i++];
      }
    }
    args.push_back(arg);
    if (quoted) quoted->push_back(quoteActed);
  }
  return args;
}
