// A harness built without libFuzzer: runs every input file it is given (or
// every file of a directory it is given), so the corpus replays as a test.
#include <stdio.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz_support.h"

static std::vector<std::filesystem::path> inputFiles(const char* argument) {
  std::vector<std::filesystem::path> files;
  if (!std::filesystem::is_directory(argument)) return {argument};
  for (const auto& entry : std::filesystem::directory_iterator(argument))
    if (entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

int main(int argc, char** argv) {
  size_t count = 0;
  for (int i = 1; i < argc; ++i) {
    for (const auto& file : inputFiles(argv[i])) {
      std::ifstream stream(file, std::ios::binary);
      if (!stream) {
        fprintf(stderr, "cannot read %s\n", file.c_str());
        return 1;
      }
      std::string bytes((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
      fprintf(stderr, "replaying %s\n", file.c_str());
      LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
      ++count;
    }
  }
  printf("%zu inputs replayed\n", count);
  return count > 0 ? 0 : 1;  // an empty corpus replays nothing and proves nothing
}
