#include "log/record/SettingsRecord.h"

#include <cmath>

#include "log/record/RecordText.h"

namespace orvane::record {

SettingsTexts ReadSettings(const ExperimentSettings& settings) {
  SettingsTexts texts;
  AppendDecimal(texts[0], settings.PuffDelay(), 1);
  AppendDecimal(texts[1], settings.PuffDuration() / 10.0, 1);
  AppendDecimal(texts[2], settings.Odds(), 3);
  AppendInteger(texts[3], settings.NeutralShareItem() * 25);  // items "0%" to "100%"
  texts[4] = settings.SelectionMode() == 0 ? "random" : "serial";
  AppendInteger(texts[5], settings.SerialBlockLength());
  const std::int32_t start = settings.SerialStartItem();
  if (start == 0 || start == 1) {
    texts[6] = start == 0 ? "bad song" : "safe song";
  } else {
    AppendInteger(texts[6], start);
  }
  AppendInteger(texts[7], static_cast<std::int64_t>(std::trunc(settings.PerchLine())));
  return texts;
}

}  // namespace orvane::record
