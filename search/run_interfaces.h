// The three narrow interfaces through which the run knows the world: the
// browser, the timers and the window. The desktop program implements them with
// QtWebEngine, QTimer and widgets; the tests with fakes on a virtual clock.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/contact_kind.h"
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

// The controls the run reads and writes. Every text here is GBK.
class RunWindow : public virtual RunOptionsSource {
 public:
  // The keyword box, line by line (an empty last line does not count).
  virtual int KeywordLineCount() const = 0;
  virtual std::string KeywordLine(int index0) const = 0;

  virtual void SetStatusPanel(StatusPanel panel, const std::string& text) = 0;
  virtual bool SearchEnabled() const = 0;  // 搜索
  virtual void SetSearchEnabled(bool enabled) = 0;
  virtual void SetStopEnabled(bool enabled) = 0;  // 终止
  // The contact-kind and engine groups.
  virtual void SetChoiceGroupsEnabled(bool enabled) = 0;
  virtual void Repaint() = 0;

  // A one-line input box; std::nullopt when the user cancels.
  virtual std::optional<std::string> InputQuery(const std::string& caption,
                                                const std::string& prompt,
                                                const std::string& value) = 0;
  virtual void ShowInformation(const std::string& text) = 0;  // caption "信息"
  virtual void ShowError(const std::string& text) = 0;        // the standard error box
  virtual void ShowMessage(const std::string& text) = 0;      // plain message box

  // The state save: settings file, then auto-save file. Returns
  // false when it failed; the failure has been reported already.
  virtual bool SaveState() = 0;
  // The cache cleaner's 清理; `done` runs once the browser can load again.
  virtual void ClearBrowserCache(std::function<void()> done) = 0;
  // The run paused: at a verification page the user is needed at the
  // browser; with the network down the run goes on by itself once pages load.
  virtual void AskForAttention(PauseReason reason, const std::string& message) = 0;
  // The most seconds of the random extra wait before a keyword's first page.
  virtual int CooldownSeconds() const = 0;
};

}  // namespace brivano
