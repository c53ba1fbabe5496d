#include "background_report.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <streambuf>
#include <string>
#include <thread>
#include <vector>

namespace {

// Text handed over but not yet written, past which the interpreter waits for
// the console: hundreds of thousands of lines, a fraction of a large
// program's memory. The listing costs the interpreter less per line than the
// console does, programming the board more; room for a good stretch of the
// listing lets the interpreter reach the board while the console still has
// lines to write, so that neither waits on the other. Pages never reached
// cost nothing.
constexpr std::size_t kRingBytes = 10 * 1024 * 1024;

// Each side sleeps only for a good share of work, so that the two threads
// wake each other thousands of times fewer than once per line: an idle
// writing thread is woken once this much is waiting, and otherwise looks on
// its own this often (so a line reaches the console within that time even
// while the interpreter waits on the board); ...
constexpr std::size_t kWriterWakeBytes = 64 * 1024;
constexpr std::chrono::milliseconds kLongestLag{10};
// ... an interpreter that found the ring full is woken once this much room
// is free; and the writing thread hands back room in steps of this size.
constexpr std::size_t kInterpreterWakeBytes = kRingBytes / 2;
constexpr std::size_t kHandBackBytes = 16 * 1024;

// A piece in the ring is a 4-byte header followed by its text, padded to 4
// bytes so that the next header is aligned and a header always fits before
// the ring's end. The header holds the text's length or one of two marks.
using Header = std::uint32_t;
constexpr std::size_t kHeaderBytes = sizeof(Header);
constexpr Header kWrapMark = ~Header{0};     // the rest of the ring is unused: go on at its start
constexpr Header kLargeMark = kWrapMark - 1;  // a pointer to a std::string on the heap follows
// Larger pieces go through the heap, so that a single piece never has to
// wait for more room than the ring has.
constexpr std::size_t kLargestInRing = kRingBytes / 8;
constexpr std::size_t kFirstPieceCapacity = 4096;

constexpr std::size_t padded(std::size_t length) { return (length + kHeaderBytes - 1) & ~(kHeaderBytes - 1); }

}  // namespace

// Collects what is written up to each flush and puts that piece into a ring
// that only the interpreter's thread fills and only the writing thread
// empties, so that neither takes a lock per line; the writing thread hands
// each piece to the sink within a few milliseconds, even while the
// interpreter waits on the board.
class BackgroundReport::Buffer : public std::streambuf {
 public:
  explicit Buffer(ReportSink& sink)
      : sink_(sink), ring_(new std::uint64_t[kRingBytes / sizeof(std::uint64_t)]), piece_(kFirstPieceCapacity) {
    setp(piece_.data(), piece_.data() + piece_.size());
    std::unique_lock<std::mutex> lock(mutex_);
    writer_ = std::thread([this] { write_until_finished(); });
    work_.wait(lock, [this] { return writer_prepared_; });
  }
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
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const auto length = static_cast<std::size_t>(pptr() - pbase());
    piece_.resize(piece_.size() * 2);
    set_piece_end(length);
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
  }

  int sync() override {
    const auto length = static_cast<std::size_t>(pptr() - pbase());
    if (length == 0) return 0;
    hand_over(pbase(), length);
    set_piece_end(0);
    return 0;
  }

 private:
  // Interpreter's side.

  void set_piece_end(std::size_t length) {
    setp(piece_.data(), piece_.data() + piece_.size());
    for (std::size_t left = length; left > 0;) {
      const int step = left > 1u << 30 ? 1 << 30 : static_cast<int>(left);
      pbump(step);
      left -= static_cast<std::size_t>(step);
    }
  }

  void hand_over(const char* text, std::size_t length) {
    const bool large = length > kLargestInRing;
    const std::size_t record = kHeaderBytes + (large ? sizeof(std::string*) : padded(length));
    std::size_t offset = head_ % kRingBytes;
    const std::size_t skip = kRingBytes - offset < record ? kRingBytes - offset : 0;
    wait_for_room(skip + record);
    if (skip != 0) {
      std::memcpy(at(offset), &kWrapMark, sizeof kWrapMark);
      offset = 0;
    }
    if (large) {
      const std::string* copy = new std::string(text, length);
      std::memcpy(at(offset), &kLargeMark, sizeof kLargeMark);
      std::memcpy(at(offset + kHeaderBytes), &copy, sizeof copy);
    } else {
      const auto header = static_cast<Header>(length);
      std::memcpy(at(offset), &header, sizeof header);
      std::memcpy(at(offset + kHeaderBytes), text, length);
    }
    head_ += skip + record;
    shared_head_.store(head_);
    if (writer_idle_.load() && head_ - shared_tail_.load() >= kWriterWakeBytes) wake(work_);
  }

  void wait_for_room(std::size_t bytes) {
    if (has_room(bytes)) return;
    tail_ = shared_tail_.load();
    if (has_room(bytes)) return;
    std::unique_lock<std::mutex> lock(mutex_);
    interpreter_waiting_.store(true);
    room_.wait(lock, [&] {
      tail_ = shared_tail_.load();
      return has_room(bytes) && has_room(kInterpreterWakeBytes);
    });
    interpreter_waiting_.store(false);
  }

  bool has_room(std::size_t bytes) const { return kRingBytes - (head_ - tail_) >= bytes; }

  // Both sides: the byte at `offset` in the ring.
  char* at(std::size_t offset) const { return reinterpret_cast<char*>(ring_.get()) + offset; }

  // Writing thread's side.

  void write_until_finished() {
    sink_.prepare_writing_thread();
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      writer_prepared_ = true;
    }
    work_.notify_one();
    std::size_t tail = 0;
    for (;;) {
      const std::size_t head = shared_head_.load();
      if (head == tail) {
        if (!wait_for_work(tail)) return;
        continue;
      }
      std::size_t handed_back = tail;
      while (tail != head) {
        tail += write_piece_at(tail % kRingBytes);
        if (tail - handed_back < kHandBackBytes) continue;
        hand_back(tail, head);
        handed_back = tail;
      }
      hand_back(tail, head);
    }
  }

  // Writes the piece whose header is at `offset` and returns the ring bytes
  // it took.
  std::size_t write_piece_at(std::size_t offset) {
    Header header;
    std::memcpy(&header, at(offset), sizeof header);
    if (header == kWrapMark) return kRingBytes - offset;
    if (header == kLargeMark) {
      const std::string* large = nullptr;
      std::memcpy(&large, at(offset + kHeaderBytes), sizeof large);
      write(large->data(), large->size());
      delete large;
      return kHeaderBytes + sizeof large;
    }
    write(at(offset + kHeaderBytes), header);
    return kHeaderBytes + padded(header);
  }

  // Once the sink has failed, the rest of the report is dropped.
  void write(const char* text, std::size_t length) {
    if (sink_working_) sink_working_ = sink_.write_piece(text, length);
  }

  // `head` is the latest the writer has seen; a waiting interpreter adds
  // nothing after it.
  void hand_back(std::size_t tail, std::size_t head) {
    shared_tail_.store(tail);
    if (interpreter_waiting_.load() && kRingBytes - (head - tail) >= kInterpreterWakeBytes) wake(room_);
  }

  // Sleeps until a batch is waiting, the report is finished or the longest
  // lag has passed; false once the report is finished and all written.
  bool wait_for_work(std::size_t tail) {
    std::unique_lock<std::mutex> lock(mutex_);
    writer_idle_.store(true);
    work_.wait_for(lock, kLongestLag, [&] { return finished_ || shared_head_.load() - tail >= kWriterWakeBytes; });
    writer_idle_.store(false);
    return !finished_ || shared_head_.load() != tail;
  }

  // The flags that say who sleeps are stored and read in one total order
  // with the ring's ends (sequentially consistent), and the sleeper checks
  // the ends under the mutex, so a wake is never lost.
  void wake(std::condition_variable& sleeper) {
    const std::lock_guard<std::mutex> lock(mutex_);
    sleeper.notify_one();
  }

  ReportSink& sink_;
  // 8-byte units, so that every header is aligned; left uninitialised, so
  // that a short report touches only the pages it uses.
  std::unique_ptr<std::uint64_t[]> ring_;
  std::vector<char> piece_;          // the put area: written since the last flush
  std::size_t head_ = 0;             // interpreter's: bytes ever put into the ring
  std::size_t tail_ = 0;             // interpreter's: the writer's last hand-back it has seen
  bool sink_working_ = true;         // writer's
  alignas(64) std::atomic<std::size_t> shared_head_{0};
  alignas(64) std::atomic<std::size_t> shared_tail_{0};
  alignas(64) std::atomic<bool> writer_idle_{false};
  std::atomic<bool> interpreter_waiting_{false};
  std::mutex mutex_;
  std::condition_variable work_;  // the writer is prepared; a batch is waiting, or finished
  std::condition_variable room_;  // the writer handed back room
  bool writer_prepared_ = false;
  bool finished_ = false;
  std::thread writer_;
};

BackgroundReport::BackgroundReport(ReportSink& sink)
    : std::ostream(nullptr), buffer_(std::make_unique<Buffer>(sink)) {
  rdbuf(buffer_.get());
}

BackgroundReport::~BackgroundReport() { finish(); }

void BackgroundReport::finish() { buffer_->finish(); }
