// The narrow interfaces through which the run knows the world: the browser,
// the timers and its host. The desktop program implements them with
// QtWebEngine, QTimer and its window (brivano-run with its keyword file and
// state); the tests with fakes on a virtual clock. What the run does goes out
// as events (run_events.h).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/contact_value.h"
#include "search/engine_table.h"
#include "search/run_options.h"

namespace brivano {

// What the run asks of a document's markup besides its text: the engine
// row's next-page link, verification markup and result blocks.
struct DocumentQuery {
  // An <a> whose visible text, title or aria-label is one of these (blanks
  // and a trailing ">" aside) is the next-page link (UTF-8).
  std::vector<std::string> nextPageTexts;
  // A link that says one of these is never the next-page link, whatever
  // selector it matches (Baidu's pager gives both directions one class).
  std::vector<std::string> previousPageTexts;
  std::string nextPageSelector;  // CSS; empty: none
  std::string verifySelector;
  std::string resultSelector;
  // The document's whole markup is wanted too (a page step reads the result
  // blocks from it).
  bool markup = false;
};

// What a read of the browser finds.
struct PageDocument {
  enum class State {
    None,    // no document at all
    NotYet,  // the last requested page has not replaced the earlier document, or has no body yet
    Shown,   // the document of the last request, or of a page loaded after it
    Failed,  // the last requested page did not load: a network or HTTP error
  };
  State state = State::None;
  std::string address;        // the document's own address, after redirects (UTF-8)
  std::string utf8Text;       // the rendered text of its body
  std::string title;          // UTF-8
  bool nextPageLink = false;  // its markup holds the next-page link
  bool verifyMarkup = false;  // its markup holds what only a verification page has
  int resultBlocks = -1;      // result blocks in its markup; -1: not known
  std::string failure;        // Failed: what went wrong, for the user (UTF-8)
  std::string html;           // the markup as the browser holds it, when asked for (UTF-8)
};

class PageBrowser {
 public:
  virtual ~PageBrowser() = default;
  // Starts loading an address and returns at once. Errors may be thrown; the
  // run ignores them.
  virtual void Navigate(const std::string& address) = 0;
  // Asks for the current document: its address, the rendered text of its
  // body and what `query` asks of its markup. The answer may come at once or
  // later.
  using DocumentCallback = std::function<void(PageDocument document)>;
  virtual void ReadDocument(const DocumentQuery& query, DocumentCallback answer) = 0;
};

enum class PauseReason { Verification, NetworkDown };

// A desktop timer: enabling an enabled timer does not restart its period;
// setting the interval of an enabled timer to a new value restarts it;
// setting the same value changes nothing.
class RunTimer {
 public:
  virtual ~RunTimer() = default;
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Enabled() const = 0;
  virtual void SetInterval(int milliseconds) = 0;
  virtual int Interval() const = 0;
};

class TimerFactory {
 public:
  virtual ~TimerFactory() = default;
  // A disabled timer that calls onTick each time it fires.
  virtual std::unique_ptr<RunTimer> CreateTimer(int intervalMs, std::function<void()> onTick) = 0;
};

// What the run asks of the program that hosts it: the window, or
// brivano-run. Every text here is GBK.
class RunHost {
 public:
  virtual ~RunHost() = default;
  // The keyword list, line by line (an empty last line does not count). The
  // window's box may be edited during a run, so it is asked at each keyword.
  virtual int KeywordLineCount() const = 0;
  virtual std::string KeywordLine(int index0) const = 0;
  // The state save: settings file, then auto-save file (brivano-run: its
  // line to go on from). Returns false when it failed; the failure has been
  // reported already.
  virtual bool SaveState() = 0;
  // Empties the browser's history and cache; `done` runs once the browser
  // can load again.
  virtual void ClearBrowserCache(std::function<void()> done) = 0;
  // The most seconds of the random rest before a keyword's first page.
  virtual int CooldownSeconds() const = 0;
};

// A page of a result's own site that a visit read, for the run to harvest as
// it harvests a result page (GBK texts).
struct SitePageRead {
  std::shared_ptr<const PageSource> resultPage;  // the result page the site stood on
  // The result block the site came from, with the company the site names.
  std::shared_ptr<const ResultOwner> owner;
  std::string address{};  // the page's own address, after redirects
  std::string title{};
  std::string text{};  // as a rendered page reads, line by line
};

// Work a run carries on beside its result pages: the visits of the result
// sites. It hears of every result page's blocks; the run's natural end waits
// for it, 终止 ends it at once.
class RunCompanion {
 public:
  virtual ~RunCompanion() = default;
  virtual void RunStarted(const RunOptions& options) = 0;
  virtual void ResultsRead(const std::shared_ptr<const PageSource>& page,
                           const std::vector<std::shared_ptr<const ResultOwner>>& results) = 0;
  // The run has asked the engine for everything. True when work is left:
  // `done` is then called once it is finished.
  virtual bool FinishBeforeEnd(std::function<void()> done) = 0;
  // 终止, or the end of the run: what is left is dropped at once; what has
  // been read is kept.
  virtual void Stop() = 0;
};

}  // namespace brivano
