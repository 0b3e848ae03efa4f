#include "log/DurableSync.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace orvane {
namespace {

namespace fs = std::filesystem;

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

// A disk whose syncs return only when the test lets them.
struct HeldDisk {
  std::mutex mutex;
  std::condition_variable changed;
  int started = 0;
  int finished = 0;
  bool released = false;

  bool Sync() {
    std::unique_lock lock(mutex);
    ++started;
    changed.notify_all();
    changed.wait(lock, [this] { return released; });
    ++finished;
    return true;
  }
  void WaitUntilStarted(int count) {
    std::unique_lock lock(mutex);
    changed.wait(lock, [&] { return started >= count; });
  }
  void Release() {
    const std::lock_guard lock(mutex);
    released = true;
    changed.notify_all();
  }
  int Finished() {
    const std::lock_guard lock(mutex);
    return finished;
  }
};

// The end serves what is asked before it, and gives up on a sync that never returns: it ends all
// the same, says so, and the sync left behind finishes later with nothing of the end's gone.
TEST(DurableSync, TheEndServesTheLastRequestsAndGivesUpOnASyncThatHangs) {
  const fs::path root =
      fs::temp_directory_path() / ("durable-" + std::to_string(QCoreApplication::applicationPid()));
  fs::create_directories(root);
  JournalFile::Failure failure;
  const std::shared_ptr<JournalFile> file = JournalFile::Create(root / "run.tsv", failure);
  ASSERT_TRUE(file) << failure.text;
  std::vector<std::string> told;
  const auto tell = [&told](const std::string& text) { told.push_back(text); };
  int synced = 0;
  {
    DurableSync durable(tell,
                        [&synced](JournalFile&, const std::optional<fs::path>&, std::string&) {
                          ++synced;
                          return true;
                        });
    durable.Request(&told, file, root);
  }
  EXPECT_EQ(synced, 1) << "the request made just before the end was served";
  EXPECT_THAT(told, IsEmpty());

  const auto hung = std::make_shared<HeldDisk>();
  {
    DurableSync durable(
        tell,
        [hung](JournalFile&, const std::optional<fs::path>&, std::string&) { return hung->Sync(); },
        std::chrono::milliseconds(200));
    durable.Request(&told, file, std::nullopt);
    hung->WaitUntilStarted(1);
  }
  EXPECT_EQ(hung->Finished(), 0) << "the end did not wait for the hung sync";
  EXPECT_THAT(told, ElementsAre(HasSubstr("not made durable within 0.2 s")));
  hung->Release();
  std::error_code ignored;
  fs::remove_all(root, ignored);
}

}  // namespace
}  // namespace orvane
