#include "program_generator.h"

#include <algorithm>
#include <random>

namespace {

constexpr const char* kUnits[] = {"s", "ms", "us", "ns"};
constexpr const char* kDelayCommands[] = {"WAIT", "LONG_DELAY"};
constexpr int kSubroutines = 16;
constexpr int kSubroutineLength = 2;  // a pulse, then RTS

class Generator {
 public:
  Generator(std::uint64_t instructions, std::uint32_t seed) : remaining_(instructions), random_(seed) {}

  std::string generate() {
    text_ += "/ Generated timing program: " + std::to_string(remaining_) + " instructions.\n";
    text_ += "$ON = 0n0+3+7\n$WIDTH = 2.5us\n$REPEAT = 4\n$PAUSE = wait\n\n";
    // One STOP and the subroutines close the program.
    remaining_ -= 1 + kSubroutines * kSubroutineLength;
    while (remaining_ > 0) block();
    text_ += "        STOP\n\n";
    for (int i = 0; i < kSubroutines; ++i) {
      text_ += "SUB" + std::to_string(i) + ":  " + pattern() + ", " + time() + "\n";
      text_ += "        0, 100ns, RTS\n";
    }
    return std::move(text_);
  }

 private:
  std::uint32_t pick(std::uint32_t count) { return random_() % count; }

  std::string pattern() {
    switch (pick(5)) {
      case 0:
        return std::to_string(pick(65536));
      case 1: {
        static const char kDigits[] = "0123456789ABCDEF";
        std::string hex = "0x";
        for (int i = 0, n = 1 + static_cast<int>(pick(8)); i < n; ++i) hex += kDigits[pick(16)];
        return hex;
      }
      case 2: {
        std::string binary = "0b";
        for (int i = 0, n = 1 + static_cast<int>(pick(12)); i < n; ++i) binary += pick(2) ? '1' : '0';
        return binary;
      }
      case 3: {
        std::string bits = "0n" + std::to_string(pick(24));
        for (int i = 0, n = static_cast<int>(pick(3)); i < n; ++i) bits += "+" + std::to_string(pick(24));
        return bits;
      }
      default:
        return "$ON";
    }
  }

  std::string time() {
    if (pick(8) == 0) return "$WIDTH";
    std::string number = std::to_string(1 + pick(999));
    if (pick(4) == 0) number += "." + std::to_string(pick(10));
    return number + kUnits[pick(4)];
  }

  void instruction(const std::string& indent, const std::string& tail = "") {
    text_ += indent + pattern() + ", " + time() + tail + "\n";
    --remaining_;
  }

  // A labelled block: plain and delayed instructions, a loop (nested at
  // times), a subroutine call and now and then a branch back to a block
  // already written.
  void block() {
    const std::string label = "BLOCK" + std::to_string(blocks_);
    text_ += label + ":\n";
    const std::uint64_t size = std::min<std::uint64_t>(remaining_, 8 + pick(24));
    const std::uint64_t end = remaining_ - size;
    while (remaining_ > end) {
      const std::uint64_t left = remaining_ - end;
      const std::uint32_t kind = pick(10);
      if (kind == 0 && left >= 5) {
        loop(left >= 8 && pick(2) == 0);
      } else if (kind == 1) {
        instruction("    ", ", JSR, SUB" + std::to_string(pick(kSubroutines)));
      } else if (kind == 2 && blocks_ > 0) {
        instruction("    ", ", BRANCH, BLOCK" + std::to_string(pick(static_cast<std::uint32_t>(blocks_))));
      } else if (kind == 3) {
        instruction("    ", std::string(", ") + kDelayCommands[pick(2)] + ", " + std::to_string(pick(100)));
      } else if (kind == 4) {
        instruction("    ", ", $PAUSE, 2");
      } else if (kind == 5 && pick(4) == 0) {
        text_ += "    / a comment line between instructions\n";
      } else {
        instruction("    ");
      }
    }
    ++blocks_;
    text_ += "\n";
  }

  void loop(bool nested) {
    instruction("    ", pick(2) ? ", LOOP, $REPEAT" : ", LOOP, " + std::to_string(2 + pick(50)));
    if (nested) {
      instruction("      ", ", LOOP, 3");
      instruction("        ");
      instruction("      ", ", END_LOOP");
    } else {
      instruction("      ");
    }
    instruction("    ", ", END_LOOP");
  }

  std::uint64_t remaining_;
  std::mt19937 random_;
  std::string text_;
  int blocks_ = 0;
};

}  // namespace

std::string generate_program(std::uint64_t instructions, std::uint32_t seed) {
  return Generator(std::max<std::uint64_t>(instructions, 1 + kSubroutines * kSubroutineLength), seed).generate();
}
