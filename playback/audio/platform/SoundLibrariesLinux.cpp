#include <alsa/asoundlib.h>
#include <jack/jack.h>
#include <pa_linux_alsa.h>
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

// Through ALSA's PulseAudio plug-in, a buffer the program fills to the brim keeps the server from
// asking for more until it has sounded far more than the surplus: the frames taken would then
// stand still for seconds after each start. A buffer twice what is held leaves the server room.
double HostBufferSeconds(double held_ahead) {
  return 2 * held_ahead;
}

// The server asks for frames, and so the taken count moves, a period at a time: PortAudio's
// four periods would make that a second; 64 make it some 60 ms.
void ConfigureHostBuffers() {
  PaAlsa_SetNumPeriods(64);
}

// ALSA drops what the buffer holds when a stream is stopped at once.
bool StopKeepsHostBuffer() {
  return false;
}

}  // namespace orvane
