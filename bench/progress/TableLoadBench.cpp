// What reading a run's trial table back costs, at a size no run reaches (1,000,000 trials unless
// --trials N says otherwise): the time to read and check every line of it, and the memory it
// takes, from the file to the rows the charts are drawn from. The charts themselves are not drawn.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "bench/support/PeakMemory.h"
#include "bench/ui/Figures.h"
#include "progress/PastRuns.h"
#include "tests/progress/HandMadeTable.h"

namespace {

namespace fs = std::filesystem;

int TrialsAsked(int argc, char** argv) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "--trials") == 0) {
      return std::max(1, std::atoi(argv[i + 1]));
    }
  }
  return 1000000;
}

// Written a block at a time, so that the text is never held whole.
void WriteTable(const fs::path& file, int trials) {
  std::ofstream out(file, std::ios::binary);
  constexpr int kBlock = 10000;
  for (int first = 0; first < trials; first += kBlock) {
    std::vector<orvane::testing::HandRow> rows;
    for (int i = first; i < std::min(trials, first + kBlock); ++i) {
      const bool escaped = i % 5 == 0;
      rows.push_back({i % 2 == 0 ? "bad" : "good", escaped ? "Yes" : "No",
                      escaped ? std::to_string(400 + i % 1600) : "",
                      i == 0 ? "2024-03-21T09:00:30.000+01:00" : "", i == 0 ? "30.000" : ""});
    }
    const std::string text = orvane::testing::TrialTableText(rows);
    // The header only once.
    out << (first == 0 ? std::string_view(text)
                       : std::string_view(text).substr(text.find('\n') + 1));
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int trials = TrialsAsked(argc, argv);
  const fs::path file = fs::temp_directory_path() / "orvane-table-load-bench trials.tsv";
  WriteTable(file, trials);
  std::error_code error;
  const auto bytes = fs::file_size(file, error);
  const std::size_t before = orvane::bench::PeakResidentBytes();

  const auto start = std::chrono::steady_clock::now();
  const std::clock_t processor = std::clock();
  const orvane::PastRuns past = orvane::LoadPastRuns({file});
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double processor_seconds = static_cast<double>(std::clock() - processor) / CLOCKS_PER_SEC;
  const std::size_t peak = orvane::bench::PeakResidentBytes();
  fs::remove(file, error);

  const std::size_t rows = past.runs.empty() ? 0 : past.runs.front().rows.size();
  std::printf("Trial table of %d trials, %.1f MiB: read and checked in %.2f s (processor %.2f s)\n",
              trials, orvane::bench::Mebibytes(bytes), seconds, processor_seconds);
  std::printf(
      "  %zu rows, %zu problems; peak resident memory %.1f MiB before the reading, %.1f MiB "
      "after it\n",
      rows, past.problems.size(), orvane::bench::Mebibytes(before), orvane::bench::Mebibytes(peak));
  return rows == static_cast<std::size_t>(trials) ? 0 : 1;
}
