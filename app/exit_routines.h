#pragma once

#include <utility>
#include <vector>

// Ordered routines run once at shutdown. A routine already listed is not added again; taking the
// list empties it, so a second shutdown finds nothing to run.
template <typename Routine>
class ExitRoutineList {
 public:
  void add(Routine r) {
    for (const Routine& existing : routines_)
      if (existing == r) return;
    routines_.push_back(r);
  }
  std::vector<Routine> take() { return std::exchange(routines_, {}); }
  void drop() { routines_.clear(); }
  size_t size() const { return routines_.size(); }

 private:
  std::vector<Routine> routines_;
};
