// What a user can tune of 访问网站 in the settings file.
#pragma once

#include "visit/politeness.h"

namespace brivano {

struct VisitTuning {
  int revisitDays = 30;  // a site visited this recently is not visited again
  PolitenessLimits politeness{};
};

}  // namespace brivano
