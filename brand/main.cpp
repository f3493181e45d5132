// corvane-brand: turns a copy of the launcher into the application's exe.
#include <iostream>
#include <string>
#include <vector>

#include "brand/tool.h"

#ifdef _WIN32
#include <windows.h>

// The arguments as Windows holds them, in UTF-16, passed on in UTF-8.
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    int size = WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
    std::string arg(size > 0 ? size : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, arg.data(), size, nullptr, nullptr);
    arg.resize(arg.size() - 1);
    args.push_back(arg);
  }
  return runBrandTool(args, std::cout, std::cerr);
}
#else
int main(int argc, char** argv) {
  return runBrandTool(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
#endif
