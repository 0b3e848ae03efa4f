#pragma once

namespace orvane {

// A numeric display that is also the store of its number (the counters and the settings'
// displays): other parts write the value and read it back exactly as written.
class ValueDisplay {
 public:
  virtual ~ValueDisplay() = default;

  virtual double Value() const = 0;
  virtual void SetLabValue(double value) = 0;
};

}  // namespace orvane
