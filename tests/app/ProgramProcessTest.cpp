// The program run in a process of its own (the scripted program), ended as the system ends it.
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "log/record/TrialTableFormat.h"
#include "tests/io/support/SimulatedDevice.h"
#include "tests/playback/SongFiles.h"
#include "tests/support/TabSeparated.h"
#include "tests/support/TemporaryDocuments.h"

namespace orvane {
namespace {

using ::testing::ElementsAre;

const std::string kOnWrite =
    "DAQmxWriteDigitalLines(task 1, 1, 1, 10, 0, [0 0 0 1 0 0 0 0], null, null)";
const std::string kOffWrite =
    "DAQmxWriteDigitalLines(task 1, 1, 1, 10, 0, [0 0 0 0 0 0 0 0], null, null)";
const std::vector<std::string> kCloseCalls = {kOffWrite, "DAQmxStopTask(task 2)",
                                              "DAQmxStopTask(task 1)", "DAQmxClearTask(task 2)",
                                              "DAQmxClearTask(task 1)"};

// A PulseAudio server of the test's own, at normal priority, whose null sink is the default
// output and whose monitor records what it sounds: stalling or killing it disturbs no one else.
class PrivateSoundServer {
 public:
  // Starts it, again after Kill; false when PulseAudio is missing or does not answer.
  bool Start() {
    server_.setProcessEnvironment(WithVariables());
    server_.start(
        "pulseaudio",
        {"--daemonize=no", "--exit-idle-time=-1", "--system=false", "-n", "--high-priority=no",
         "--realtime=no", "--log-target=stderr", "--load=module-null-sink",
         "--load=module-native-protocol-unix auth-anonymous=1 socket=" + Socket()});
    if (!server_.waitForStarted()) {
      return false;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
      QProcess info;
      info.setProcessEnvironment(WithVariables());
      info.start("pactl", {"info"});
      if (info.waitForFinished() && info.exitCode() == 0) {
        return true;
      }
      QThread::msleep(100);
    }
    return false;
  }
  ~PrivateSoundServer() {
    Resume();
    Kill();
  }

  void Pause() { ::kill(static_cast<pid_t>(server_.processId()), SIGSTOP); }
  void Resume() { ::kill(static_cast<pid_t>(server_.processId()), SIGCONT); }
  // Gone, as a crash or a restart of the desktop's server leaves it; the recording ends too.
  void Kill() {
    if (server_.state() != QProcess::NotRunning) {
      server_.kill();
      server_.waitForFinished();
    }
  }

  // Records the monitor from now on, mono at 8 kHz, until the server goes or Recorded is asked.
  void Record() {
    recorder_.setProcessEnvironment(WithVariables());
    recorder_.setStandardOutputFile(Recording());
    recorder_.start("parec", {"--raw", "--format=float32le", "--rate=8000", "--channels=1",
                              "--latency-msec=10", "-d", "null.monitor"});
    recorder_.waitForStarted();
    // Recording once the monitor's first samples arrive.
    for (int attempt = 0; attempt < 100 && QFileInfo(Recording()).size() == 0; ++attempt) {
      QThread::msleep(50);
    }
  }
  // What the monitor has recorded by now; a moment is left for the last samples to arrive.
  std::vector<float> Recorded() {
    QThread::msleep(300);
    recorder_.terminate();
    recorder_.waitForFinished();
    QFile file(Recording());
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    std::vector<float> samples(static_cast<std::size_t>(bytes.size()) / sizeof(float));
    std::memcpy(samples.data(), bytes.constData(), samples.size() * sizeof(float));
    return samples;
  }

  // What points a program at this server.
  QProcessEnvironment Variables() const {
    QProcessEnvironment variables;
    variables.insert("PULSE_RUNTIME_PATH", folder_.filePath("runtime"));
    variables.insert("PULSE_STATE_PATH", folder_.filePath("state"));
    variables.insert("PULSE_SERVER", "unix:" + Socket());
    return variables;
  }

 private:
  QProcessEnvironment WithVariables() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(Variables());
    return environment;
  }

  QString Socket() const { return folder_.filePath("native"); }
  QString Recording() const { return folder_.filePath("monitor.raw"); }

  QTemporaryDir folder_;
  QProcess server_;
  QProcess recorder_;
};

// Whether a recording holds sound: a song's samples reach a quarter of full scale.
bool HoldsSound(const std::vector<float>& samples) {
  return std::any_of(samples.begin(), samples.end(),
                     [](float sample) { return std::fabs(sample) > 0.25f; });
}

// The scripted program over the driver in `driver_folder`, with documents and a song of its own
// (ten seconds unless told), on Qt's offscreen platform unless `environment` says otherwise.
class ScriptedRun {
 public:
  ScriptedRun(QStringList arguments, const QString& driver_folder,
              const QProcessEnvironment& settings = {}, std::int64_t song_frames = 80000) {
    testing::WriteSong(songs.path() / "alarm.wav", song_frames);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("JACK_NO_START_SERVER", "1");
    environment.insert("XDG_CONFIG_HOME", documents.SettingsFolder());
    environment.insert("LD_LIBRARY_PATH", driver_folder);
    environment.insert("SIMULATED_DRIVER_CALL_LOG", calls_file());
    environment.insert(settings);
    process.setProcessEnvironment(environment);
    // A crash leaves no core file behind.
    process.setChildProcessModifier([] {
      const rlimit none{0, 0};
      setrlimit(RLIMIT_CORE, &none);
    });
    arguments.replaceInStrings("<songs>", QString::fromStdString(songs.Utf8() + "/"));
    process.start(ORVANE_SCRIPTED_PROGRAM, arguments);
  }
  ~ScriptedRun() {
    if (process.state() != QProcess::NotRunning) {
      process.kill();
      process.waitForFinished();
    }
  }

  // Reads what the program says until a line starts with `start`; false if it ends first.
  bool WaitFor(const QString& start) {
    // A long limit, for the whole wait: it only keeps a program that went wrong (one that shows
    // the same box at every tick, say) from holding the test for ever.
    const QDeadlineTimer limit(120000);
    for (;;) {
      while (process.canReadLine()) {
        lines << QString::fromUtf8(process.readLine()).trimmed();
        if (lines.back().startsWith(start)) {
          return true;
        }
      }
      if (limit.hasExpired() ||
          !process.waitForReadyRead(static_cast<int>(limit.remainingTime()))) {
        return false;
      }
    }
  }

  // Reads what the program says for `milliseconds`; false if it ends meanwhile.
  bool ReadFor(int milliseconds) {
    const QDeadlineTimer limit(milliseconds);
    while (!limit.hasExpired()) {
      while (process.canReadLine()) {
        lines << QString::fromUtf8(process.readLine()).trimmed();
      }
      if (process.state() == QProcess::NotRunning) {
        return false;
      }
      process.waitForReadyRead(static_cast<int>(std::max<qint64>(limit.remainingTime(), 1)));
    }
    return true;
  }

  // What the program said last, enough to see why a wait failed without its every tick.
  std::string LastLines() const {
    return lines.mid(std::max<qsizetype>(0, lines.size() - 30)).join('\n').toStdString();
  }

  // Waits for the end, and reads what the program said up to it.
  bool Ended() {
    const bool ended = process.waitForFinished(60000);
    while (process.canReadLine()) {
      lines << QString::fromUtf8(process.readLine()).trimmed();
    }
    return ended;
  }

  // The boxes it showed, leaving out those of a user without the default song folder and of a
  // machine whose sleep cannot be held off (one without systemd-logind, say).
  QStringList Boxes() const {
    QStringList boxes;
    for (const QString& line : lines) {
      if (line.startsWith("box ") && line != "box The specified file was not found." &&
          !line.startsWith("box This computer may go to sleep during the run:")) {
        boxes << line.mid(4);
      }
    }
    return boxes;
  }

  std::vector<std::string> DriverCalls() const {
    std::vector<std::string> calls;
    QFile file(calls_file());
    if (file.open(QIODevice::ReadOnly)) {
      for (const QByteArray& line : file.readAll().split('\n')) {
        if (!line.isEmpty()) {
          calls.push_back(line.toStdString());
        }
      }
    }
    return calls;
  }

  QString calls_file() const { return documents.SettingsFolder() + "/driver-calls.txt"; }

  // The run's event log, as "event details" lines.
  std::vector<std::string> Events() const {
    const QDir folder(documents.DocumentsFolder() + "/Orvane");
    const QStringList logs = folder.entryList({"* events.tsv"}, QDir::Files);
    std::vector<std::string> events;
    if (logs.size() == 1) {
      const auto log = testing::ReadTabSeparated(folder.filePath(logs[0]).toStdU16String());
      for (std::size_t row = 0; row < log.rows.size(); ++row) {
        events.push_back(log.At(row, "event") + " " + log.At(row, "details"));
      }
    }
    return events;
  }

  // The last `count` driver calls, fewer if there were fewer.
  std::vector<std::string> LastDriverCalls(std::size_t count) const {
    const std::vector<std::string> calls = DriverCalls();
    return {calls.end() - static_cast<std::ptrdiff_t>(std::min(count, calls.size())), calls.end()};
  }

  testing::TemporaryDocuments documents;
  testing::TempFolder songs;
  QProcess process;
  QStringList lines;
};

// A logout, a shutdown, Ctrl+C or any other signal whose default would end the program closes it
// as its close box does: in the middle of a puff the valve is closed, then both tasks are stopped
// and cleared, and the exit code is 0. A broken pipe ends nothing.
TEST(ProgramProcess, EachEndSignalClosesTheValveAndReleasesTheDeviceWithExitCodeZero) {
  const std::vector<std::vector<int>> cases = {{SIGTERM}, {SIGINT},  {SIGHUP},
                                               {SIGQUIT}, {SIGUSR1}, {SIGPIPE, SIGTERM}};
  for (const std::vector<int>& sent : cases) {
    SCOPED_TRACE(sent.front());
    ScriptedRun run({"puff"}, ORVANE_DRIVER_FOLDER);
    ASSERT_TRUE(run.WaitFor("puffing")) << run.LastLines();
    for (const int signal : sent) {
      ::kill(static_cast<pid_t>(run.process.processId()), signal);
    }
    ASSERT_TRUE(run.Ended());
    EXPECT_EQ(run.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(run.process.exitCode(), 0);
    std::vector<std::string> expected = {kOnWrite};  // the puff was on until the signal
    expected.insert(expected.end(), kCloseCalls.begin(), kCloseCalls.end());
    EXPECT_EQ(run.LastDriverCalls(expected.size()), expected);
    EXPECT_TRUE(run.Boxes().isEmpty()) << run.Boxes().join('\n').toStdString();
    const std::vector<std::string> events = run.Events();
    ASSERT_GE(events.size(), 2u);
    EXPECT_THAT(std::vector(events.end() - 2, events.end()),
                ElementsAre("run_end reason=signal SIG" + std::string(sigabbrev_np(sent.back())),
                            ::testing::StartsWith("puff_off by=close; held=1")));
  }
}

// The display going away (a desktop session that crashed or a remote one that dropped) makes the
// window system's library end the program with exit(1), mid-puff: the valve is closed and the
// device released all the same, and the program ends with exit code 0 as the close box would.
TEST(ProgramProcess, TheDisplayGoingAwayDuringAPuffClosesTheValveAndEndsWithExitCodeZero) {
  QProcess display;
  display.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
  if (!display.waitForStarted()) {
    GTEST_SKIP() << "Xvfb is not installed";
  }
  ASSERT_TRUE(display.waitForReadyRead(60000)) << "Xvfb named no display";
  const QString number = QString::fromUtf8(display.readLine()).trimmed();
  QProcessEnvironment on_display;
  on_display.insert("QT_QPA_PLATFORM", "xcb");
  on_display.insert("DISPLAY", ":" + number);
  ScriptedRun run({"puff"}, ORVANE_DRIVER_FOLDER, on_display);
  ASSERT_TRUE(run.WaitFor("puffing")) << run.LastLines();

  display.kill();
  display.waitForFinished();
  ASSERT_TRUE(run.Ended());
  EXPECT_EQ(run.process.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(run.process.exitCode(), 0);
  std::vector<std::string> expected = {kOnWrite};
  expected.insert(expected.end(), kCloseCalls.begin(), kCloseCalls.end());
  EXPECT_EQ(run.LastDriverCalls(expected.size()), expected);
}

// A crash in the middle of a puff: on the window's thread; inside the allocator, which holds its
// lock (a block freed twice); from a stack overflow on another thread; and with a second crash on
// another thread while the first's off-write takes a second. Each says so at once, has the off
// pattern written as the process's last act, says so and records it, and dies of the first crash
// as it would have, not of the bound on its last act.
TEST(ProgramProcess, ACrashDuringAPuffWritesTheOffPatternAsItsLastActAndRecordsIt) {
  struct Case {
    const char* script;
    int signal;
  };
  for (const Case& c : {Case{"crash", SIGSEGV}, Case{"double-free", SIGABRT},
                        Case{"overflow", SIGSEGV}, Case{"crash-twice", SIGSEGV}}) {
    SCOPED_TRACE(c.script);
    ScriptedRun run({c.script}, ORVANE_DRIVER_FOLDER);
    ASSERT_TRUE(run.WaitFor("puffing")) << run.LastLines();
    ASSERT_TRUE(run.Ended());
    EXPECT_EQ(run.process.exitStatus(), QProcess::CrashExit);
    EXPECT_EQ(run.process.exitCode(), c.signal) << "SIGALRM (14) is the bound's";
    EXPECT_EQ(run.LastDriverCalls(2), (std::vector<std::string>{kOnWrite, kOffWrite}));
    const std::string name = sigabbrev_np(c.signal);
    const std::string crashed =
        "The program crashed (SIG" + name + ") and switches the puffer off before it ends.";
    EXPECT_THAT(run.process.readAllStandardError().toStdString(),
                ::testing::HasSubstr(crashed + "\nThe puffer was switched off.\n"));
    const std::vector<std::string> events = run.Events();
    ASSERT_GE(events.size(), 3u);
    EXPECT_THAT(std::vector(events.end() - 3, events.end()),
                ElementsAre("message box=crash; text=" + crashed + " The puffer was switched off.",
                            ::testing::StartsWith("puff_off by=crash; held=1; status=0; tick="),
                            "run_end reason=crash SIG" + name));
  }
}

// A whole-process stop of 3 s in the middle of a 3 s puff, with a decision at every tick: on
// resuming past the puff's set time, the valve is closed at once, no decision of that puff opens it
// again, and the notice says how late the puff ended.
TEST(ProgramProcess, AfterTheProcessWasStoppedMidPuffThePuffEndsAtOnceAndTheNoticeSaysHowLate) {
  ScriptedRun run({"every-tick", "<songs>"}, ORVANE_DRIVER_FOLDER);
  ASSERT_TRUE(run.WaitFor("puffing")) << run.LastLines();
  // A second into the puff, so that its set time passes during the stop.
  std::this_thread::sleep_for(std::chrono::seconds(1));
  const auto pid = static_cast<pid_t>(run.process.processId());
  ::kill(pid, SIGSTOP);
  const std::size_t before = run.DriverCalls().size();
  std::this_thread::sleep_for(std::chrono::seconds(3));
  ::kill(pid, SIGCONT);
  ASSERT_TRUE(run.WaitFor("box ")) << run.LastLines();
  EXPECT_THAT(run.lines.back().toStdString(),
              ::testing::MatchesRegex("box The window was not answering for [3-9]\\.[0-9] s; the "
                                      "puffer was switched off [0-9]+\\.[0-9] s after its set "
                                      "time\\."));
  // Past the end of the puff's phase, which its ticks still count.
  std::this_thread::sleep_for(std::chrono::seconds(4));
  ::kill(pid, SIGTERM);
  ASSERT_TRUE(run.Ended());
  std::vector<std::string> writes;
  const std::vector<std::string> calls = run.DriverCalls();
  for (std::size_t call = before; call < calls.size(); ++call) {
    if (calls[call].starts_with("DAQmxWriteDigitalLines")) {
      writes.push_back(calls[call]);
    }
  }
  ASSERT_GE(writes.size(), 2u);
  EXPECT_THAT(std::vector(writes.begin(), writes.begin() + 2), ElementsAre(kOffWrite, kOffWrite));
  std::vector<std::string> puffs;
  for (const std::string& event : run.Events()) {
    if (event.starts_with("puff_")) {
      puffs.push_back(event.substr(0, event.find(';')));
    }
  }
  const auto deadline = std::find(puffs.begin(), puffs.end(), "puff_off by=deadline");
  ASSERT_NE(deadline, puffs.end());
  ASSERT_NE(deadline + 1, puffs.end());
  EXPECT_EQ(*(deadline + 1), "puff_off by=trial") << "the phase's own end comes next";
}

// Killed outright in the middle of a puff, on a device with a watchdog: the device drives the
// valve's line low by itself, the program being gone.
TEST(ProgramProcess, KilledOutrightDuringAPuffTheDevicesWatchdogClosesTheValve) {
  testing::TempFolder device_state;
  const std::filesystem::path lines_file = device_state.path() / "port0";
  QProcessEnvironment with_watchdog;
  with_watchdog.insert(testing::kWatchdogLinesVariable, QString::fromStdString(lines_file));
  ScriptedRun run({"puff"}, ORVANE_DRIVER_FOLDER, with_watchdog);
  ASSERT_TRUE(run.WaitFor("puffing")) << run.LastLines();
  const auto valve_line = [&lines_file] {
    return testing::WatchdogLines(lines_file).value_or(testing::SimulatedDevice::Levels{}).at(3);
  };
  EXPECT_EQ(valve_line(), 1);

  ::kill(static_cast<pid_t>(run.process.processId()), SIGKILL);
  ASSERT_TRUE(run.Ended());
  std::vector<std::string> writes;
  for (const std::string& call : run.DriverCalls()) {
    if (call.starts_with("DAQmxWriteDigitalLines")) {
      writes.push_back(call);
    }
  }
  EXPECT_EQ(writes.back(), kOnWrite) << "the program never switched the puff off";
  // A long bound: it only keeps a watchdog that never acts from holding the test for ever.
  for (int wait = 0; wait < 1000 && valve_line() != 0; ++wait) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(valve_line(), 0);
}

// The sound server stalls in the middle of a song and a puff, and the system ends the program: the
// valve is closed, both tasks are released and the program ends, with exit code 0, while the
// server is still stalled. Nothing of its end waited on it.
TEST(ProgramProcess, AnEndSignalWithTheSoundServerStalledClosesTheValveAndEndsWithoutIt) {
  PrivateSoundServer server;
  if (!server.Start()) {
    GTEST_SKIP() << "no PulseAudio to run a sound server of the test's own";
  }
  ScriptedRun run({"playing-puff", "<songs>"}, ORVANE_DRIVER_FOLDER, server.Variables());
  ASSERT_TRUE(run.WaitFor("puffing")) << run.LastLines();
  server.Pause();
  QElapsedTimer ending;
  ending.start();
  ::kill(static_cast<pid_t>(run.process.processId()), SIGTERM);
  const bool ended = run.Ended();
  const qint64 took = ending.elapsed();
  server.Resume();
  ASSERT_TRUE(ended) << "the program waited on the stalled sound server";
  ::testing::Test::RecordProperty("end_ms", static_cast<int>(took));
  EXPECT_EQ(run.process.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(run.process.exitCode(), 0);
  const std::vector<std::string> calls = run.DriverCalls();
  ASSERT_GE(calls.size(), kCloseCalls.size());
  EXPECT_EQ(std::vector<std::string>(calls.end() - 5, calls.end()), kCloseCalls);
  EXPECT_TRUE(run.Boxes().isEmpty()) << run.Boxes().join('\n').toStdString();
}

// The real program over a real sound server, which is killed and started again between trials,
// as desktops restart theirs: each next trial's song reaches the new server, whose monitor
// records it, and no trial goes unheard. Once the server is gone for good, one box says why, the
// trials go on and nothing more is logged.
TEST(ProgramProcess, ASongReachesASoundServerStartedAgainAndNoTrialIsLoggedWithoutOne) {
  PrivateSoundServer server;
  if (!server.Start()) {
    GTEST_SKIP() << "no PulseAudio to run a sound server of the test's own";
  }
  server.Record();
  // A song of 0.3 s, over before each trial is decided.
  ScriptedRun run({"heard", "<songs>"}, ORVANE_DRIVER_FOLDER, server.Variables(), 2400);
  const auto next_trial = [&] { run.process.write("go\n"); };
  ASSERT_TRUE(run.WaitFor("rows 1")) << run.LastLines();
  EXPECT_TRUE(HoldsSound(server.Recorded()));
  server.Kill();

  // Killed while the song's stream still ran, and killed once it had stopped.
  for (const int row : {2, 3}) {
    ASSERT_TRUE(server.Start());
    server.Record();
    next_trial();
    ASSERT_TRUE(run.WaitFor(QStringLiteral("rows %1").arg(row))) << run.LastLines();
    EXPECT_TRUE(HoldsSound(server.Recorded())) << "trial " << row << " was logged unheard";
    if (row == 3) {
      QThread::sleep(4);  // its stream stops a while after the song
    }
    server.Kill();
  }
  EXPECT_TRUE(run.Boxes().isEmpty()) << run.Boxes().join('\n').toStdString();

  next_trial();
  ASSERT_TRUE(run.WaitFor("box ")) << run.LastLines();
  const QString started = run.lines.filter(QRegularExpression("^trial ")).last();
  for (int more = 0; more < 2; ++more) {
    ASSERT_TRUE(run.WaitFor("trial ")) << run.LastLines();
  }
  EXPECT_NE(run.lines.filter(QRegularExpression("^trial ")).last(), started);
  ASSERT_EQ(run.Boxes().size(), 1) << run.Boxes().join('\n').toStdString();
  EXPECT_TRUE(run.Boxes()[0].contains("sound device")) << run.Boxes()[0].toStdString();
  EXPECT_FALSE(run.lines.contains("rows 4"));
  ::kill(static_cast<pid_t>(run.process.processId()), SIGTERM);
  ASSERT_TRUE(run.Ended());
  EXPECT_EQ(run.process.exitCode(), 0);
}

// The sound server is stopped, as a frozen desktop stops it, for 12 s: once in the middle of a
// song that the next trials join, once before a trial starts its song anew. While it is stopped
// the trials go on and none is logged or puffed, and one box says so; once it goes on, the first
// trial to start reaches it (its monitor records the song) and is logged. The experiment is
// stopped over the server's continuing, so that the recording is running for that trial.
TEST(ProgramProcess, NoTrialIsLoggedWhileTheSoundServerIsStoppedAndTheNextOneIsAfter) {
  // A song of ten seconds, still sounding when the server stops; one of 0.3 s, long over.
  for (const std::int64_t song_frames : {80000, 2400}) {
    SCOPED_TRACE(song_frames);
    PrivateSoundServer server;
    if (!server.Start()) {
      GTEST_SKIP() << "no PulseAudio to run a sound server of the test's own";
    }
    server.Record();
    ScriptedRun run({"heard", "<songs>"}, ORVANE_DRIVER_FOLDER, server.Variables(), song_frames);
    ASSERT_TRUE(run.WaitFor("rows 1")) << run.LastLines();

    server.Pause();
    const qsizetype before = run.lines.size();
    run.process.write("go\n");
    ASSERT_TRUE(run.WaitFor("trial ")) << run.LastLines();
    ASSERT_TRUE(run.ReadFor(12000)) << run.LastLines();
    EXPECT_TRUE(run.lines.mid(before).filter(QRegularExpression("^rows ")).isEmpty())
        << run.LastLines();
    ASSERT_EQ(run.Boxes().size(), 1) << run.Boxes().join('\n').toStdString();
    EXPECT_TRUE(run.Boxes()[0].contains("did not reach the sound device"))
        << run.Boxes()[0].toStdString();
    std::vector<std::string> writes;
    for (const std::string& call : run.DriverCalls()) {
      if (call.starts_with("DAQmxWriteDigitalLines")) {
        writes.push_back(call);
      }
    }
    EXPECT_EQ(std::count(writes.begin(), writes.end(), kOnWrite), 1) << "a lost trial was puffed";

    run.process.write("stop\n");
    server.Resume();
    server.Recorded();  // what the server sounded as it caught up is not the next trial's
    server.Record();
    const qsizetype going_on = run.lines.size();
    QElapsedTimer after;
    after.start();
    run.process.write("go\n");
    ASSERT_TRUE(run.WaitFor("rows 2")) << run.LastLines();
    ::testing::Test::RecordProperty(
        song_frames > 8000 ? "mid_song_logged_after_ms" : "at_start_logged_after_ms",
        static_cast<int>(after.elapsed()));
    EXPECT_EQ(run.lines.mid(going_on).filter(QRegularExpression("^trial ")).size(), 1)
        << "a trial that started after the server went on was lost: " << run.LastLines();
    EXPECT_TRUE(HoldsSound(server.Recorded())) << "the trial was logged unheard";
    EXPECT_EQ(run.Boxes().size(), 1);
    ::kill(static_cast<pid_t>(run.process.processId()), SIGTERM);
    ASSERT_TRUE(run.Ended());
  }
}

// The window is closed while the sound server is stopped and a trial's song waits on it: the
// valve is written off, the device released, and the program ends while the server is still
// stopped, the end waiting on the sound side no longer than it may.
TEST(ProgramProcess, AWindowClosedWhileTheSoundServerIsStoppedEndsWithTheValveWrittenOff) {
  PrivateSoundServer server;
  if (!server.Start()) {
    GTEST_SKIP() << "no PulseAudio to run a sound server of the test's own";
  }
  ScriptedRun run({"heard", "<songs>"}, ORVANE_DRIVER_FOLDER, server.Variables(), 2400);
  ASSERT_TRUE(run.WaitFor("rows 1")) << run.LastLines();
  server.Pause();
  run.process.write("go\n");
  ASSERT_TRUE(run.WaitFor("trial ")) << run.LastLines();
  QElapsedTimer ending;
  ending.start();
  run.process.write("close\n");
  const bool ended = run.process.waitForFinished(20000);
  const qint64 took = ending.elapsed();
  server.Resume();
  ASSERT_TRUE(ended) << "the program waited on the stopped sound server";
  ::testing::Test::RecordProperty("end_ms", static_cast<int>(took));
  EXPECT_EQ(run.process.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(run.process.exitCode(), 0);
  EXPECT_EQ(run.LastDriverCalls(kCloseCalls.size()), kCloseCalls);
}

// Without the driver library the program says so in one box and runs all the same: Start works
// and the perch reads as occupied, crossed out. Closed in the middle of a puff, it has no valve to
// close and says nothing more.
TEST(ProgramProcess, WithoutTheDriverOneBoxSaysSoAndTrialsRunOnAnOccupiedPerch) {
  ScriptedRun run({"run", "<songs>"}, ORVANE_EMPTY_FOLDER);
  ASSERT_TRUE(run.WaitFor("perch")) << run.LastLines();
  EXPECT_EQ(run.lines.back(), "perch yellow crossed");
  ASSERT_TRUE(run.Ended());
  EXPECT_EQ(run.process.exitCode(), 0);
  EXPECT_THAT(run.Boxes(),
              ElementsAre("The device driver library \"libnidaqmx.so.1\" could not be loaded, so "
                          "the perch will read as occupied and the puffer will not move; install "
                          "the driver or connect the device, then restart."))
      << run.Boxes().join('\n').toStdString();
}

// Killed outright in the middle of a run, right after a tick logged its trial: the run's files in
// the documents folder hold exactly the trials and events whose ticks finished, each a whole line.
TEST(ProgramProcess, KilledOutrightItsFilesHoldEveryTrialAndEventWhoseTickFinished) {
  ScriptedRun run({"trials", "3", "<songs>"}, ORVANE_DRIVER_FOLDER);
  ASSERT_TRUE(run.WaitFor("rows 3 ")) << run.LastLines();
  const qulonglong events = run.lines.back().section(' ', 3).toULongLong();
  ::kill(static_cast<pid_t>(run.process.processId()), SIGKILL);
  ASSERT_TRUE(run.Ended());
  EXPECT_EQ(run.process.exitStatus(), QProcess::CrashExit);

  const QDir folder(run.documents.DocumentsFolder() + "/Orvane");
  QStringList files = folder.entryList(QDir::Files);
  ASSERT_EQ(files.filter(" events.tsv").size(), 1) << files.join(' ').toStdString();
  const QString stem = files.filter(" events.tsv")[0].chopped(11);
  files.sort();
  EXPECT_EQ(files, QStringList({stem + " events.tsv", stem + " trials.tsv", stem + ".tsv"}));

  QFile journal(folder.filePath(stem + ".tsv"));
  ASSERT_TRUE(journal.open(QIODevice::ReadOnly));
  const QList<QByteArray> lines = journal.readAll().split('\n');
  ASSERT_EQ(lines.size(), 6) << "the title, the empty line, three rows and nothing after the last";
  EXPECT_EQ(lines[0], "Time\tSong\tEscaped\t\t");
  EXPECT_EQ(lines[1], "");
  for (int row = 2; row < 5; ++row) {
    EXPECT_TRUE(lines[row].endsWith("\tbad\tNo\t\t")) << lines[row].toStdString();
  }
  EXPECT_EQ(lines[5], "");

  const auto table =
      testing::ReadTabSeparated(folder.filePath(stem + " trials.tsv").toStdU16String());
  EXPECT_TRUE(table.ends_with_line_end);
  EXPECT_EQ(table.Column(trial_table::kTrial), (std::vector<std::string>{"1", "2", "3"}));
  const auto log =
      testing::ReadTabSeparated(folder.filePath(stem + " events.tsv").toStdU16String());
  EXPECT_TRUE(log.ends_with_line_end);
  ASSERT_EQ(log.rows.size(), events);
  for (const auto& row : log.rows) {
    EXPECT_EQ(row.size(), 4u);
  }
  EXPECT_EQ(log.rows.back()[2], "decision");
}

}  // namespace
}  // namespace orvane
