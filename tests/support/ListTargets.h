// A target list for change runs in tests: the paths as given, in order.
#pragma once
#include "engine/ChangeRun.h"
#include <string>
#include <vector>

namespace testsupport {

struct ListTargets : engine::IChangeTargets {
  std::vector<std::wstring> paths;
  int Count() const override { return static_cast<int>(paths.size()); }
  std::wstring Entry(int index) const override { return paths.at(static_cast<size_t>(index)); }
};

}  // namespace testsupport
