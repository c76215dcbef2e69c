// What earlier runs know of visited sites, so that a site is not visited
// again within the days the user set: the harvest store in the program.
#pragma once

#include <string>

namespace brivano {

class VisitHistory {
 public:
  virtual ~VisitHistory() = default;
  // Whether a run visited the site (its registrable domain, lower case)
  // less than `days` days before now; 0 days: never counts as visited.
  virtual bool VisitedWithin(const std::string& domain, int days) = 0;
  // The site's visit is done now: its landing page answered.
  virtual void MarkVisited(const std::string& domain) = 0;
};

}  // namespace brivano
