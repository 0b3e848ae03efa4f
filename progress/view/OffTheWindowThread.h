#pragma once

#include <QFuture>
#include <QPromise>

#include <thread>
#include <type_traits>
#include <utility>

// Runs `work` on a thread of its own and hands back its result as a future, so that a file on a
// stalled disk or share never holds up the window's thread. The thread is left to finish alone:
// the program may end while it still waits on the file.
template <typename Work>
QFuture<std::invoke_result_t<Work>> OffTheWindowThread(Work work) {
  QPromise<std::invoke_result_t<Work>> promise;
  QFuture<std::invoke_result_t<Work>> future = promise.future();
  // Started before it is handed out: a future not yet running has nothing to wait for.
  promise.start();
  std::thread([promise = std::move(promise), work = std::move(work)]() mutable {
    promise.addResult(work());
    promise.finish();
  }).detach();
  return future;
}
