// platform/StopSignalsLinux.cpp - StopSignals.h on Linux: SIGINT and SIGTERM
// get a handler with SA_RESETHAND, so the first signal is the ask to stop and
// the second finds the default action again and ends the process.
#include "platform/StopSignals.h"

#include <signal.h>

#include <atomic>

namespace fc::platform {

namespace {

// Read by the handler: set before the handler is installed, cleared after it
// is taken away.
std::atomic<StopSignals::OnStop> gOnStop{nullptr};
std::atomic<void*> gContext{nullptr};
static_assert(std::atomic<StopSignals::OnStop>::is_always_lock_free && std::atomic<void*>::is_always_lock_free);

extern "C" void OnSignal(int) {
  if (const StopSignals::OnStop onStop = gOnStop.load()) onStop(gContext.load());
}

}  // namespace

struct StopSignals::Earlier {
  struct sigaction interrupt {};
  struct sigaction terminate {};
};

StopSignals::StopSignals(OnStop onStop, void* context) : earlier_(std::make_unique<Earlier>()) {
  gContext.store(context);
  gOnStop.store(onStop);
  struct sigaction action {};
  action.sa_handler = OnSignal;
  action.sa_flags = SA_RESETHAND;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, &earlier_->interrupt);
  sigaction(SIGTERM, &action, &earlier_->terminate);
}

StopSignals::~StopSignals() {
  sigaction(SIGINT, &earlier_->interrupt, nullptr);
  sigaction(SIGTERM, &earlier_->terminate, nullptr);
  gOnStop.store(nullptr);
  gContext.store(nullptr);
}

}  // namespace fc::platform
