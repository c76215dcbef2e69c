// The embedded browser behind the run's browser interface.
#pragma once

#include <QPointer>
#include <QWebEngineView>

#include "search/run_interfaces.h"

namespace brivano {

class WebPageBrowser : public PageBrowser {
 public:
  explicit WebPageBrowser(QWebEngineView* view) : view_(view) {}
  void Navigate(const std::string& address) override;
  void ReadBodyText(BodyTextCallback answer) override;

 private:
  QPointer<QWebEngineView> view_;
};

}  // namespace brivano
