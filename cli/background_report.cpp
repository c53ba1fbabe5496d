#include "background_report.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <streambuf>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

// Text handed over but not yet taken by the writing thread, past which the
// interpreter waits for the console. The listing costs the interpreter less
// per line than the console does, programming the board more; room for a
// good stretch of the listing lets the interpreter reach the board while the
// console still has lines to write, so that neither waits on the other.
// Pages never reached cost nothing.
constexpr std::size_t kMostWaiting = 4 * 1024 * 1024;

// An idle writing thread is woken once this much is waiting, and otherwise
// looks on its own this often, so that a line reaches the console within
// that time even while the interpreter waits on the board, and the two
// threads wake each other thousands of times fewer than once per line.
constexpr std::size_t kWakeBytes = 64 * 1024;
constexpr std::chrono::milliseconds kLongestLag{10};

// Flushed pieces, one after another, and where each ends. The text has
// room for all that may wait from the start, so that it is never copied as
// it grows.
struct Pieces {
  Pieces() { text.reserve(kMostWaiting + kWakeBytes); }
  std::string text;
  std::vector<std::size_t> ends;
};

}  // namespace

// Collects what is written up to each flush and adds that piece to the ones
// waiting; the writing thread takes all that wait at once, in exchange for
// the emptied pieces it wrote before, and writes them piece by piece.
class BackgroundReport::Buffer : public std::streambuf {
 public:
  explicit Buffer(ReportSink& sink) : sink_(sink), writer_([this] { write_until_finished(); }) {}
  ~Buffer() override { finish(); }

  void finish() {
    if (!writer_.joinable()) return;
    sync();
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      finished_ = true;
    }
    changed_.notify_one();
    writer_.join();
  }

 protected:
  int_type overflow(int_type c) override {
    if (!traits_type::eq_int_type(c, traits_type::eof())) piece_ += traits_type::to_char_type(c);
    return traits_type::not_eof(c);
  }

  std::streamsize xsputn(const char* text, std::streamsize count) override {
    piece_.append(text, static_cast<std::size_t>(count));
    return count;
  }

  int sync() override {
    if (piece_.empty()) return 0;
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return waiting_.text.size() < kMostWaiting; });
    const bool was_short = waiting_.text.size() < kWakeBytes;
    waiting_.text += piece_;
    waiting_.ends.push_back(waiting_.text.size());
    if (was_short && waiting_.text.size() >= kWakeBytes) changed_.notify_one();
    piece_.clear();
    return 0;
  }

 private:
  // Only one thread ever waits on `changed_` at a time: the interpreter for
  // room while a full share waits, the writer for work while too little does.
  void write_until_finished() {
    Pieces writing;
    for (;;) {
      {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait_for(lock, kLongestLag, [this] { return finished_ || waiting_.text.size() >= kWakeBytes; });
        if (waiting_.ends.empty()) {
          if (finished_) return;
          continue;
        }
        std::swap(writing, waiting_);
        changed_.notify_one();
      }
      std::size_t begin = 0;
      for (const std::size_t end : writing.ends) {
        if (sink_working_) sink_working_ = sink_.write_piece(writing.text.data() + begin, end - begin);
        begin = end;
      }
      writing.text.clear();
      writing.ends.clear();
    }
  }

  ReportSink& sink_;
  std::string piece_;       // written since the last flush; the interpreter's own
  bool sink_working_ = true;  // the writer's own
  std::mutex mutex_;
  std::condition_variable changed_;  // pieces waiting, room for more, or finished
  Pieces waiting_;
  bool finished_ = false;
  std::thread writer_;  // last, so that it starts once everything above is ready
};

BackgroundReport::BackgroundReport(ReportSink& sink)
    : std::ostream(nullptr), buffer_(std::make_unique<Buffer>(sink)) {
  rdbuf(buffer_.get());
}

BackgroundReport::~BackgroundReport() { finish(); }

void BackgroundReport::finish() { buffer_->finish(); }
