#include "background_report.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <streambuf>
#include <thread>
#include <utility>
#include <vector>

namespace {

// Text handed over but not yet written, past which the interpreter waits for
// the console: thousands of lines, little beside a large program's memory.
constexpr std::size_t kMaxPendingBytes = 256 * 1024;

// The writing thread is woken once this much is waiting, and otherwise looks
// on its own this often: waking it for every line would cost two more system
// calls per line than the write itself.
constexpr std::size_t kBatchBytes = 16 * 1024;
constexpr std::chrono::milliseconds kLongestLag{10};

// Text and the ends of the pieces it is made of.
struct Pieces {
  std::vector<char> text;
  std::vector<std::size_t> ends;

  void clear() {
    text.clear();
    ends.clear();
  }
};

}  // namespace

// Collects what is written up to each flush, then hands that piece to the
// writing thread, which writes it within a few milliseconds, even while the
// interpreter waits on the board.
class BackgroundReport::Buffer : public std::streambuf {
 public:
  explicit Buffer(std::ostream& target) : target_(target), writer_([this] { write_until_finished(); }) {}
  ~Buffer() override { finish(); }

  void finish() {
    if (!writer_.joinable()) return;
    sync();
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      finished_ = true;
    }
    work_.notify_one();
    writer_.join();
  }

 protected:
  int_type overflow(int_type c) override {
    if (!traits_type::eq_int_type(c, traits_type::eof())) piece_.push_back(traits_type::to_char_type(c));
    return traits_type::not_eof(c);
  }

  std::streamsize xsputn(const char* text, std::streamsize count) override {
    piece_.insert(piece_.end(), text, text + count);
    return count;
  }

  int sync() override {
    if (piece_.empty()) return 0;
    bool batch_ready = false;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      room_.wait(lock, [this] { return handed_.text.size() < kMaxPendingBytes; });
      const std::size_t before = handed_.text.size();
      handed_.text.insert(handed_.text.end(), piece_.begin(), piece_.end());
      handed_.ends.push_back(handed_.text.size());
      batch_ready = before < kBatchBytes && handed_.text.size() >= kBatchBytes;
    }
    if (batch_ready) work_.notify_one();
    piece_.clear();
    return 0;
  }

 private:
  // Takes everything handed over so far, writes it piece by piece with a
  // flush after each, and comes back for more.
  void write_until_finished() {
    Pieces writing;
    for (;;) {
      {
        std::unique_lock<std::mutex> lock(mutex_);
        work_.wait_for(lock, kLongestLag, [this] { return handed_.text.size() >= kBatchBytes || finished_; });
        if (handed_.ends.empty()) {
          if (finished_) return;
          continue;
        }
        writing.clear();
        std::swap(writing, handed_);
      }
      room_.notify_one();
      std::size_t begin = 0;
      for (std::size_t end : writing.ends) {
        target_.write(writing.text.data() + begin, static_cast<std::streamsize>(end - begin));
        target_.flush();
        begin = end;
      }
    }
  }

  std::ostream& target_;
  std::vector<char> piece_;  // written since the last flush; only the interpreter's thread touches it
  std::mutex mutex_;
  std::condition_variable work_;  // a batch handed over, or finished
  std::condition_variable room_;  // the writer took what was handed over
  Pieces handed_;
  bool finished_ = false;
  std::thread writer_;  // last, so that it starts once everything above is ready
};

BackgroundReport::BackgroundReport(std::ostream& target)
    : std::ostream(nullptr), buffer_(std::make_unique<Buffer>(target)) {
  rdbuf(buffer_.get());
}

BackgroundReport::~BackgroundReport() { finish(); }

void BackgroundReport::finish() { buffer_->finish(); }
