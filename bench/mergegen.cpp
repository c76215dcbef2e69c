// brivano-mergegen FOLDER [FILES [LINES [SEED]]]: writes FILES result files
// (default 5) of LINES lines each (default 200000) as FOLDER/part1.txt ...,
// GBK, for the merge benchmarks.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "testing/merge_lines.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: brivano-mergegen FOLDER [FILES [LINES [SEED]]]\n", stderr);
    return 2;
  }
  const std::string folder = argv[1];
  const int files = argc > 2 ? std::atoi(argv[2]) : 5;
  const std::size_t lines = argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 200000;
  const std::uint64_t seed = argc > 4 ? std::strtoull(argv[4], nullptr, 10) : 1;
  if (files < 1 || lines < 1) {
    std::fputs("brivano-mergegen: FILES and LINES must be 1 or more\n", stderr);
    return 2;
  }
  const std::vector<std::string> contents = brivano::bench::ResultFiles(files, lines, seed);
  for (std::size_t i = 0; i < contents.size(); ++i) {
    const std::string path = folder + "/part" + std::to_string(i + 1) + ".txt";
    std::ofstream out(path, std::ios::binary);
    out << contents[i];
    if (!out) {
      std::fprintf(stderr, "brivano-mergegen: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
