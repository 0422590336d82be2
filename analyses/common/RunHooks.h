#pragma once
// How the computing routines of an analysis talk to the world while they run,
// without knowing about windows: let the interface process pending messages, test
// the stop flag, report a failure message, set a caption and step a progress bar.
#include <chrono>
#include <cstdint>
#include <string>

class TRunHooks {
 public:
  virtual ~TRunHooks() = default;
  // Lets the user interface process pending messages (cheap; call freely).
  virtual void ProcessMessages() {}
  // True once the user or a failure asked the run to stop.
  virtual bool StopRequested() const { return false; }
  // Asks the run to stop (a failure path).
  virtual void RequestStop() {}
  // Shows a failure or information message to the user.
  virtual void Message(const std::string& /*Text*/) {}
  virtual void SetCaption(const std::string& /*Text*/) {}
  // Steps the progress bar once, and sets its range (long preparations such as a
  // burn-in count on the bar, then give it back to the iterations).
  virtual void StepProgress(int32_t /*Count*/) {}
  virtual void SetProgressRange(int32_t /*Maximum*/, int32_t /*Position*/) {}
};

// Hooks that do nothing except keep the stop flag and record messages: used when a
// routine runs without a user interface (tests, benchmarks).
class TSilentHooks : public TRunHooks {
 public:
  bool Stop = false;
  std::string LastMessage;
  int MessageCount = 0;
  bool StopRequested() const override { return Stop; }
  void RequestStop() override { Stop = true; }
  void Message(const std::string& Text) override {
    LastMessage = Text;
    ++MessageCount;
  }
};

// Hooks used by a routine when its caller gave none.
TRunHooks& NoHooks();

// Pending messages inside a long per-unit or retry loop, at most once every 20 ms: the
// clock is read only every 256 calls, so the loop pays almost nothing for it. Returns
// true when the run is to stop (the stop flag, read after the messages were let run).
class TPacedMessages {
 public:
  explicit TPacedMessages(TRunHooks& Hooks) : Hooks_(Hooks), Last_(std::chrono::steady_clock::now()) {}
  bool Stop() {
    if ((++Calls_ & 255u) == 0u) {
      const auto now = std::chrono::steady_clock::now();
      if (now - Last_ >= std::chrono::milliseconds(20)) {
        Last_ = now;
        Hooks_.ProcessMessages();
        return Hooks_.StopRequested();
      }
    }
    return false;
  }

 private:
  TRunHooks& Hooks_;
  std::chrono::steady_clock::time_point Last_;
  uint32_t Calls_ = 0;
};
