// The timing view's runs on one worker thread, so that typing never waits
// for a run: a request made while another runs replaces any request still
// waiting, and each finished run is announced by posting a message with its
// request's number to the window that asked. A result that is no longer
// the newest is dropped.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "timing_run.h"

class TimingWorker {
 public:
  TimingWorker() = default;
  TimingWorker(const TimingWorker&) = delete;
  TimingWorker& operator=(const TimingWorker&) = delete;
  // Waits for a run under way, then ends the thread.
  ~TimingWorker();

  // Runs `text` at `clock_mhz` under `settings`, then posts `message`
  // (wparam: `number`) to `target`. Numbers grow with each request.
  void request(HWND target, UINT message, std::uint64_t number, std::string text, double clock_mhz,
               const SimulationSettings& settings);

  // The result of request `number`, once and only when it is the newest
  // request's; null otherwise.
  std::unique_ptr<TimingResult> take(std::uint64_t number);

 private:
  struct Request {
    HWND target;
    UINT message;
    std::uint64_t number;
    std::string text;
    double clock_mhz;
    SimulationSettings settings;
  };

  void serve();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::optional<Request> waiting_;
  std::uint64_t newest_ = 0;
  std::uint64_t done_number_ = 0;
  std::unique_ptr<TimingResult> done_;
  bool stopping_ = false;
  std::thread thread_;
};
