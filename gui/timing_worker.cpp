#include "timing_worker.h"

#include <utility>

TimingWorker::~TimingWorker() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void TimingWorker::request(HWND target, UINT message, std::uint64_t number, std::string text, double clock_mhz,
                           const SimulationSettings& settings) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    waiting_ = Request{target, message, number, std::move(text), clock_mhz, settings};
    newest_ = number;
    if (!thread_.joinable()) thread_ = std::thread([this] { serve(); });
  }
  wake_.notify_all();
}

std::unique_ptr<TimingResult> TimingWorker::take(std::uint64_t number) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (done_number_ != number || number != newest_) return nullptr;
  return std::move(done_);
}

void TimingWorker::serve() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || waiting_.has_value(); });
    if (stopping_) return;
    Request request = std::move(*waiting_);
    waiting_.reset();
    lock.unlock();
    auto result = std::make_unique<TimingResult>(run_timing(request.text, request.clock_mhz, request.settings));
    lock.lock();
    // A newer request makes this result out of date before anyone sees it.
    if (request.number != newest_) continue;
    done_ = std::move(result);
    done_number_ = request.number;
    PostMessageA(request.target, request.message, static_cast<WPARAM>(request.number), 0);
  }
}
