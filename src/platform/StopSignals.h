// platform/StopSignals.h - the operator's asks to stop a running program
// (Ctrl+C, or the system asked to end it) turned into one call, so that a
// long run can stop at its next safe point instead of dying half-way.
//
//   StopRequest stop;
//   {
//     fc::platform::StopSignals signals(
//         [](void* stop) noexcept { static_cast<StopRequest*>(stop)->request(); }, &stop);
//     run(stop);  // polls stop at its safe points
//   }
//
// The first ask calls `onStop(context)`; a second ends the process as it
// would have ended without this unit, so an operator whose run does not stop
// still has the last word. The call comes at any moment, on any thread or
// none (a signal handler): it may do no more than set a lock-free atomic.
// While a StopSignals lives, the earlier handling is set aside; it comes back
// when the StopSignals goes. One StopSignals at a time.
#pragma once

#include <memory>

namespace fc::platform {

class StopSignals {
 public:
  using OnStop = void (*)(void* context) noexcept;
  StopSignals(OnStop onStop, void* context);
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

 private:
  struct Earlier;  // the handling set aside, as the system has it
  std::unique_ptr<Earlier> earlier_;
};

}  // namespace fc::platform
