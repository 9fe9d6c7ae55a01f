// platform/StopSignalsWindows.cpp - StopSignals.h on Windows: a console
// control handler (SetConsoleCtrlHandler) takes Ctrl+C, Ctrl+Break and the
// console window's closing. The first is the ask to stop and is handled; a
// later one is passed on to the handlers before ours, the last of which,
// the system's, ends the process. The system runs the handler on a thread of
// its own, so it may wait there for the run to stop.
#include "platform/StopSignals.h"

#include <windows.h>

#include <atomic>

namespace fc::platform {

namespace {

// Read by the handler: set before the handler is installed, cleared after it
// is taken away.
std::atomic<StopSignals::OnStop> gOnStop{nullptr};
std::atomic<void*> gContext{nullptr};
std::atomic<bool> gAsked{false};
static_assert(std::atomic<StopSignals::OnStop>::is_always_lock_free && std::atomic<void*>::is_always_lock_free);

// The system ends a process whose console closes after 5 s, whatever the handler does.
constexpr int kCloseWaitMs = 4500;
constexpr int kPollMs = 50;

BOOL WINAPI OnControl(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) return FALSE;
  if (gAsked.exchange(true)) return FALSE;
  const StopSignals::OnStop onStop = gOnStop.load();
  if (!onStop) return FALSE;
  onStop(gContext.load());
  // A closing console ends the process as soon as the handler returns: the
  // run is given the few seconds the system allows to reach its safe point.
  for (int waited = 0; event == CTRL_CLOSE_EVENT && gOnStop.load() && waited < kCloseWaitMs; waited += kPollMs)
    Sleep(kPollMs);
  return TRUE;
}

}  // namespace

struct StopSignals::Earlier {};  // the system keeps the handlers before ours

StopSignals::StopSignals(OnStop onStop, void* context) : earlier_(std::make_unique<Earlier>()) {
  gAsked.store(false);
  gContext.store(context);
  gOnStop.store(onStop);
  SetConsoleCtrlHandler(OnControl, TRUE);
}

StopSignals::~StopSignals() {
  SetConsoleCtrlHandler(OnControl, FALSE);
  gOnStop.store(nullptr);
  gContext.store(nullptr);
}

}  // namespace fc::platform
