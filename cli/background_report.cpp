#include "background_report.h"

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
// writing thread at once, so the console never waits on text the interpreter
// has already flushed, even while the interpreter waits on the board.
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
    {
      std::unique_lock<std::mutex> lock(mutex_);
      room_.wait(lock, [this] { return handed_.text.size() < kMaxPendingBytes; });
      handed_.text.insert(handed_.text.end(), piece_.begin(), piece_.end());
      handed_.ends.push_back(handed_.text.size());
    }
    work_.notify_one();
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
        work_.wait(lock, [this] { return !handed_.ends.empty() || finished_; });
        if (handed_.ends.empty()) return;
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
  std::condition_variable work_;  // something handed over, or finished
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
