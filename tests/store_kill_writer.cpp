// Writes pages of 30 values into a store, one transaction a page, and reports
// each page on standard output only once it is committed: "run N" first, then
// the page numbers. The kill test kills it at random moments.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "base/local_time.h"
#include "base/text.h"
#include "store/harvest_store.h"

namespace {

void Report(const std::string& line) {
  // Unbuffered: what the test reads is exactly what was committed.
  std::string text = line + "\n";
  for (std::size_t done = 0; done < text.size();) {
    const ssize_t wrote = ::write(STDOUT_FILENO, text.data() + done, text.size() - done);
    if (wrote <= 0) _exit(3);
    done += static_cast<std::size_t>(wrote);
  }
}

}  // namespace

int main(int argc, char** argv) {
  using namespace brivano;
  if (argc != 2) return 2;
  StoreOpenResult opened = HarvestStore::Open(argv[1]);
  if (!opened.store) {
    std::fprintf(stderr, "%s\n", opened.error.c_str());
    return 1;
  }
  HarvestStore& store = *opened.store;
  const std::int64_t run = store.BeginRun({"baidu", ContactKind::Mobile, ""});
  Report("run " + std::to_string(run));
  const std::string keyword = Utf8ToGbk("深圳 钢材");
  for (std::int32_t page = 1;; ++page) {
    HarvestedPage record;
    record.source = std::make_shared<const PageSource>(PageSource{
        1 + page / 10, keyword, "baidu", page,
        "https://www.baidu.com/s?wd=x&pn=" + std::to_string(page), UtcNowIso8601(), run});
    for (int i = 0; i < 30; ++i) {
      record.values.push_back({"r" + std::to_string(run) + "p" + std::to_string(page) + "v" +
                                   std::to_string(i) + keyword,
                               ContactKind::Mobile, record.source});
    }
    store.AddPage(run, record);
    Report(std::to_string(page));
  }
}
