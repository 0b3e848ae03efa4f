#include <alsa/asoundlib.h>
#include <jack/jack.h>
#include <pthread.h>
#include <sched.h>

#include "playback/audio/platform/SoundLibraries.h"

namespace orvane {

namespace {

// Libasound reports every configuration it probes and cannot use, and every underrun it
// recovers from; the first is no fault and the second is counted by the output itself.
void IgnoreAlsaMessage(const char* /*file*/, int /*line*/, const char* /*function*/, int /*err*/,
                       const char* /*format*/, ...) {}

// The JACK client library reports that no JACK server runs, which is the usual case.
void IgnoreJackMessage(const char* /*message*/) {}

}  // namespace

void QuietSoundLibraries() {
  snd_lib_error_set_handler(&IgnoreAlsaMessage);
  jack_set_error_function(&IgnoreJackMessage);
  jack_set_info_function(&IgnoreJackMessage);
}

void OpenWithRealtimeHelpers(const std::function<void()>& open) {
  // New threads inherit the scheduling of the thread that starts them.
  const pthread_t self = pthread_self();
  int policy = 0;
  sched_param own{};
  pthread_getschedparam(self, &policy, &own);
  sched_param realtime{};
  realtime.sched_priority = sched_get_priority_min(SCHED_FIFO);
  const bool raised = pthread_setschedparam(self, SCHED_FIFO, &realtime) == 0;
  open();
  if (raised) {
    pthread_setschedparam(self, policy, &own);
  }
}

}  // namespace orvane
