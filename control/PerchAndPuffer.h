#pragma once

namespace orvane {

// The experiment's digital lines: the perch sensor and the air-puff valve.
class PerchAndPuffer {
 public:
  virtual ~PerchAndPuffer() = default;

  virtual bool ReadPerch() = 0;  // true when the bird sits on the perch
  virtual void PuffOn() = 0;
  virtual void PuffOff() = 0;  // harmless when the valve is already closed
};

}  // namespace orvane
