// The result-block reader over arbitrary markup, as a page on the web may be
// anything: under every engine's selectors, as the run reads the browser's
// markup and as brivano-cli reads a saved page. Nothing may crash, hang or
// read past the input; a block's title, link and site come out of the page.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "search/engine_table.h"
#include "search/result_blocks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view html(reinterpret_cast<const char*>(data), size);
  for (const brivano::EngineRow& row : brivano::DefaultEngineTable()) {
    for (const std::string& page :
         {std::string(html), brivano::SavedPageAsUtf8(std::string(html))}) {
      for (const brivano::ResultBlock& block : brivano::ReadResultBlocks(page, row)) {
        // Every field is made from the page's own bytes, decoded references
        // at most four bytes for each of their characters.
        if (block.title.size() > 4 * page.size() || block.link.size() > 4 * page.size() ||
            block.site.size() > 4 * page.size() + 64) {
          std::abort();
        }
      }
    }
  }
  return 0;
}
