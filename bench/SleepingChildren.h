#pragma once

#include "support/ChildProcess.h"

#include <memory>
#include <string>
#include <vector>

namespace halvik::bench {

// A crowd of sleeping child processes of one image, killed and reaped when it goes.
class SleepingChildren {
 public:
  SleepingChildren(const std::string& imagePath, int count) {
    for (int i = 0; i < count; ++i) m_children.push_back(std::make_unique<testing_support::ChildProcess>(imagePath));
  }
  std::size_t size() const { return m_children.size(); }

 private:
  std::vector<std::unique_ptr<testing_support::ChildProcess>> m_children;
};

}  // namespace halvik::bench
