// brivano-pagegen MEGABYTES [SEED]: writes GBK text shaped like the rendered
// result pages of a search engine to standard output, for benchmarks.
#include <cstdio>
#include <cstdlib>

#include "testing/page_text.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: brivano-pagegen MEGABYTES [SEED]\n", stderr);
    return 2;
  }
  const long long megabytes = std::atoll(argv[1]);
  const std::uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1;
  // Written a megabyte at a time so that large files need little memory.
  for (long long i = 0; i < megabytes; ++i) {
    const std::string chunk =
        brivano::bench::PageText(1 << 20, seed + static_cast<std::uint64_t>(i));
    std::fwrite(chunk.data(), 1, chunk.size(), stdout);
  }
  return 0;
}
