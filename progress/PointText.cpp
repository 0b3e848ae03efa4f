#include "progress/PointText.h"

#include <cstdio>

namespace orvane {

namespace {

std::string KindName(SongKind kind) {
  return kind == kBadSong ? "bad song" : "neutral song";
}

std::string Ms(double ms) {
  char text[32];
  std::snprintf(text, sizeof text, "%.0f ms", ms);
  return text;
}

std::string Ordinal(int n) {
  const int tens = n % 100;
  const char* suffix = tens >= 11 && tens <= 13 ? "th"
                       : n % 10 == 1            ? "st"
                       : n % 10 == 2            ? "nd"
                       : n % 10 == 3            ? "rd"
                                                : "th";
  return std::to_string(n) + suffix;
}

std::string RunPart(const ProgressPlot& plot, int run) {
  return plot.Runs().size() > 1 ? " of run " + std::to_string(run + 1) : "";
}

std::string Outcome(const ProgressPlot& plot, const TrialRow& row, int run) {
  const bool first_leaves =
      plot.Runs().at(static_cast<std::size_t>(run)).info.latencies_are_first_leaves;
  if (CameBack(row)) {
    const std::string left = row.left_ms ? "left after " + Ms(*row.left_ms) : "left";
    return left + " and came back; " + (row.escaped ? "gone at the decision" : "stayed");
  }
  if (row.latency_ms) {
    return "escaped after " + Ms(*row.latency_ms);
  }
  if (row.escaped && first_leaves && row.left_ms) {
    return "escaped; first left after " + Ms(*row.left_ms);
  }
  return row.escaped ? "escaped" : "stayed on the perch";
}

}  // namespace

std::string TrialPointText(const ProgressPlot& plot, int x) {
  const TrialRow& row = plot.RowAt(x);
  const int run = plot.RunAt(x);
  std::string text = "Trial " + std::to_string(plot.TrialAt(x)) + RunPart(plot, run) + '\n';
  text += (row.song_file.empty() ? KindName(row.kind)
                                 : row.song_file + " (" + KindName(row.kind) + ")") +
          '\n';
  text += Outcome(plot, row, run);
  if (row.song_decision > 1) {
    text += "\n" + Ordinal(row.song_decision) + " decision of its song";
    text += row.after_puff ? ", after a puff" : "";
  }
  return text;
}

std::string BlockPointText(const ProgressPlot& plot, int run, const Block& block, SongKind kind) {
  const KindCount& count = block.Of(kind);
  char rate[32];
  std::snprintf(rate, sizeof rate, "%.1f %%", count.EscapePercent().value_or(0));
  std::string text = "Trials " + std::to_string(block.first_trial) + "–" +
                     std::to_string(block.last_trial) + RunPart(plot, run) + '\n';
  text += std::to_string(count.escaped) + " of " + std::to_string(count.trials) + " " +
          KindName(kind) + (count.trials == 1 ? "" : "s") + " escaped (" + rate + ")";
  if (!block.complete) {
    text += "\n" + std::to_string(block.trials) + " of " + std::to_string(plot.BlockSize()) +
            " trials" +
            (plot.Runs().at(static_cast<std::size_t>(run)).info.ongoing ? " so far"
                                                                        : ": the run ended");
  }
  return text;
}

std::vector<std::string> RunLabels(const std::vector<PlottedRun>& runs) {
  std::optional<std::int32_t> offset;
  bool one_offset = true;
  for (const PlottedRun& run : runs) {
    if (run.start) {
      one_offset = one_offset && (!offset || *offset == run.start->offset_minutes);
      offset = run.start->offset_minutes;
    }
  }
  std::vector<std::string> labels;
  for (const PlottedRun& run : runs) {
    labels.push_back(run.start ? DateAndMinuteText(*run.start, !one_offset)
                               : "run " + std::to_string(labels.size() + 1));
  }
  return labels;
}

}  // namespace orvane
