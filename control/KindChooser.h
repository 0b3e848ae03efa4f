#pragma once

#include "control/SongKind.h"

namespace orvane {

// Decides, on a tick on which a trial may start, whether one starts and with which song.
class KindChooser {
 public:
  virtual ~KindChooser() = default;

  virtual SongKind ChooseRandomKind() = 0;
  virtual SongKind ChooseSerialKind() = 0;
};

}  // namespace orvane
