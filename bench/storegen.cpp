// brivano-storegen DB [ITEMS]: writes a harvest store of ITEMS items
// (default 1000000), 30 a page with provenance, for the export measurements
// of brivano-cli.
#include <cstdio>
#include <cstdlib>

#include "bench/store_pages.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: brivano-storegen DB [ITEMS]\n", stderr);
    return 2;
  }
  const std::uint64_t items = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1000000;
  brivano::StoreOpenResult opened = brivano::HarvestStore::Open(argv[1]);
  if (!opened.store) {
    std::fprintf(stderr, "%s\n", opened.error.c_str());
    return 1;
  }
  try {
    brivano::bench::Fill(*opened.store, items);
  } catch (const brivano::StoreError& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  return 0;
}
