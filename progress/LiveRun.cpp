#include "progress/LiveRun.h"

namespace orvane {

void LiveRun::Add(const TrialRow& row) {
  rows_.push_back(row);
  if (listener_) {
    listener_(row);
  }
}

}  // namespace orvane
