#include "progress/BlockValuesText.h"

#include <cstddef>
#include <cstdio>

namespace orvane {

namespace {

std::string CountFields(const KindCount& count) {
  std::string fields = std::to_string(count.trials) + '\t' + std::to_string(count.escaped) + '\t';
  if (const auto percent = count.EscapePercent()) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", *percent);
    fields += text;
  }
  return fields;
}

}  // namespace

std::string BlockValuesText(const ProgressPlot& plot) {
  const char* const counted = plot.CountingOf() == Counting::kFirstDecisions
                                  ? "first decision of each song"
                                  : "every decision";
  std::string text =
      "run\trun_start\tfirst_trial\tlast_trial\tbad_trials\tbad_escaped\tbad_escape_pct\t"
      "neutral_trials\tneutral_escaped\tneutral_escape_pct\tcomplete\tcounted\n";
  for (std::size_t run = 0; run < plot.Runs().size(); ++run) {
    const PlottedRun& plotted = plot.Runs()[run];
    const std::string start = plotted.start ? LoggedAtText(*plotted.start) : std::string();
    for (const Block& block : plotted.blocks.Blocks()) {
      text += std::to_string(run + 1) + '\t' + start + '\t' + std::to_string(block.first_trial) +
              '\t' + std::to_string(block.last_trial) + '\t' + CountFields(block.bad) + '\t' +
              CountFields(block.neutral) + '\t' + (block.complete ? "Yes" : "No") + '\t' + counted +
              '\n';
    }
  }
  return text;
}

}  // namespace orvane
