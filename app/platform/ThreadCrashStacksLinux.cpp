#include <dlfcn.h>
#include <pthread.h>
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <new>

#include "app/platform/ThreadCrashStack.h"

namespace orvane {
namespace {

// Room for a crash handler that puts a few lines together and makes system calls.
constexpr std::size_t kHandlerRoom = 64 * 1024;

std::size_t PageSize() noexcept {
  return static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

std::size_t StackRoom() noexcept {
  std::size_t room = kHandlerRoom;
#ifdef _SC_SIGSTKSZ
  // What the processor's state needs on the stack, which grows with its registers.
  if (const long least = sysconf(_SC_SIGSTKSZ);
      least > 0 && static_cast<std::size_t>(least) > room) {
    room = static_cast<std::size_t>(least);
  }
#endif
  const std::size_t page = PageSize();
  return (room + page - 1) / page * page;
}

struct ThreadStart {
  void* (*routine)(void*);
  void* argument;
};

extern "C" void* StartWithCrashStack(void* start) {
  const ThreadStart begun = *static_cast<ThreadStart*>(start);
  delete static_cast<ThreadStart*>(start);
  // Also gone when the thread is cancelled or calls pthread_exit: both unwind through here.
  const ThreadCrashStack crash_stack;
  return begun.routine(begun.argument);
}

using CreateThread = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);

CreateThread SystemCreateThread() noexcept {
  static const auto create = reinterpret_cast<CreateThread>(dlsym(RTLD_NEXT, "pthread_create"));
  return create;
}

}  // namespace

ThreadCrashStack::ThreadCrashStack() noexcept {
  const std::size_t page = PageSize();
  const std::size_t room = StackRoom();
  // A page below the stack that nothing may touch: a handler that overflows it faults at once
  // instead of writing over whatever lies beneath.
  void* mapped = mmap(nullptr, room + page, PROT_READ | PROT_WRITE,
                      MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
  if (mapped == MAP_FAILED) {
    return;
  }
  mprotect(mapped, page, PROT_NONE);
  stack_t stack{};
  stack.ss_sp = static_cast<char*>(mapped) + page;
  stack.ss_size = room;
  if (sigaltstack(&stack, nullptr) != 0) {
    munmap(mapped, room + page);
    return;
  }
  mapped_ = mapped;
  size_ = room + page;
}

ThreadCrashStack::~ThreadCrashStack() {
  if (mapped_ == nullptr) {
    return;
  }
  stack_t current{};
  if (sigaltstack(nullptr, &current) != 0) {
    return;
  }
  if (current.ss_sp == static_cast<char*>(mapped_) + PageSize()) {
    if ((current.ss_flags & SS_ONSTACK) != 0) {
      return;  // a handler still runs on it
    }
    stack_t off{};
    off.ss_flags = SS_DISABLE;
    sigaltstack(&off, nullptr);
  }
  munmap(mapped_, size_);
}

}  // namespace orvane

// Every thread of the process starts here, whoever starts it (the program, Qt, the sound
// libraries), with a crash stack of its own: this takes precedence over the C library's
// pthread_create, which it calls.
extern "C" int pthread_create(pthread_t* thread, const pthread_attr_t* attributes,
                              void* (*routine)(void*), void* argument) noexcept {
  const orvane::CreateThread create = orvane::SystemCreateThread();
  if (create == nullptr) {
    return EAGAIN;
  }
  auto* start = new (std::nothrow) orvane::ThreadStart{routine, argument};
  if (start == nullptr) {
    return create(thread, attributes, routine, argument);
  }
  const int result = create(thread, attributes, &orvane::StartWithCrashStack, start);
  if (result != 0) {
    delete start;
  }
  return result;
}
