#include "cdmsim_options.h"

#include <charconv>
#include <cmath>
#include <string_view>

#include "simulation.h"
#include "time_text.h"

namespace {

// Reads an option's value into the options; false with `problem` saying
// what is wrong with it.
using ValueReader = bool (*)(std::string_view value, SimOptions& options, std::string& problem);

struct OptionEntry {
  std::string_view name;
  ValueReader read;  // null for a flag, which takes no value
  bool SimOptions::*flag;
};

bool malformed(std::string_view value, std::string& problem) {
  problem = "malformed value '" + std::string(value) + "'";
  return false;
}

template <typename Number>
bool read_whole(std::string_view text, Number& value) {
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

bool read_count(std::string_view text, std::uint64_t& count, std::string& problem) {
  return read_whole(text, count) || malformed(text, problem);
}

bool read_time(std::string_view text, double& ns, std::string& problem) {
  switch (parse_time_ns(text, ns)) {
    case TimeReading::Read:
      return true;
    case TimeReading::OutOfRange:
      problem = "'" + std::string(text) + "' is out of range";
      return false;
    case TimeReading::Malformed:
      break;
  }
  return malformed(text, problem);
}

bool read_clock(std::string_view text, SimOptions& options, std::string& problem) {
  double mhz = 0;
  if (text.empty() || !(text[0] >= '0' && text[0] <= '9') || !read_whole(text, mhz) || !(mhz > 0) ||
      !std::isfinite(mhz))
    return malformed(text, problem);
  if (!clock_gives_finite_times(mhz)) {
    problem = std::string(text) + " MHz is too slow a clock: a run's times at it are too long to count";
    return false;
  }
  options.clock_mhz = mhz;
  return true;
}

bool read_board(std::string_view text, SimOptions& options, std::string& problem) {
  int board = 0;
  if (!read_whole(text, board)) return malformed(text, problem);
  options.board = board;
  return true;
}

// The stacks grow to the depth asked for, so it is bounded by what a board
// could hold rather than by the memory a user's number would take.
bool read_depth(std::string_view text, SimOptions& options, std::string& problem) {
  std::uint64_t depth = 0;
  if (!read_count(text, depth, problem)) return false;
  if (depth > kLongestNesting) {
    problem = std::string(text) + " is more than the " + std::to_string(kLongestNesting) + " levels a board can hold";
    return false;
  }
  options.depth = depth;
  return true;
}

bool read_file_name(std::string_view text, std::string& name, std::string& problem) {
  name = std::string(text);
  if (text.empty()) problem = "needs a file name";
  return !text.empty();
}

constexpr OptionEntry kOptions[] = {
    {"clock", read_clock, nullptr},
    {"board", read_board, nullptr},
    {"until", [](std::string_view v, SimOptions& o, std::string& p) { return read_time(v, o.until_ns, p); }, nullptr},
    {"wait", [](std::string_view v, SimOptions& o, std::string& p) { return read_time(v, o.wait_ns, p); }, nullptr},
    {"max-steps", [](std::string_view v, SimOptions& o, std::string& p) { return read_count(v, o.max_steps, p); },
     nullptr},
    {"min-cycles", [](std::string_view v, SimOptions& o, std::string& p) { return read_count(v, o.min_cycles, p); },
     nullptr},
    {"depth", read_depth, nullptr},
    {"memory", [](std::string_view v, SimOptions& o, std::string& p) { return read_count(v, o.memory, p); }, nullptr},
    {"vcd", [](std::string_view v, SimOptions& o, std::string& p) { return read_file_name(v, o.vcd, p); }, nullptr},
    {"svg", [](std::string_view v, SimOptions& o, std::string& p) { return read_file_name(v, o.svg, p); }, nullptr},
    {"quiet", nullptr, &SimOptions::quiet},
    {"check", nullptr, &SimOptions::check},
    {"strict", nullptr, &SimOptions::strict},
    {"listing", nullptr, &SimOptions::listing},
    {"help", nullptr, &SimOptions::help},
    {"version", nullptr, &SimOptions::version},
};

const OptionEntry* find_option(std::string_view name) {
  for (const OptionEntry& entry : kOptions)
    if (entry.name == name) return &entry;
  return nullptr;
}

bool is_option(std::string_view argument) { return argument.size() > 2 && argument.substr(0, 2) == "--"; }

}  // namespace

bool parse_sim_options(int argc, const char* const* argv, SimOptions& options, std::string& error) {
  int files = 0;
  for (int i = 0; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (!is_option(argument)) {
      options.file = std::string(argument);
      ++files;
      continue;
    }
    const size_t equals = argument.find('=');
    const std::string_view name = argument.substr(2, equals == std::string_view::npos ? equals : equals - 2);
    const OptionEntry* entry = find_option(name);
    if (entry == nullptr) {
      error = "unknown option --" + std::string(name);
      return false;
    }
    if (entry->read == nullptr) {
      if (equals != std::string_view::npos) {
        error = "--" + std::string(name) + " takes no value";
        return false;
      }
      options.*(entry->flag) = true;
      continue;
    }
    std::string_view value;
    if (equals != std::string_view::npos) {
      value = argument.substr(equals + 1);
    } else if (i + 1 < argc) {
      value = argv[++i];
    } else {
      error = "--" + std::string(name) + " needs a value";
      return false;
    }
    std::string problem;
    if (!entry->read(value, options, problem)) {
      error = "--" + std::string(name) + ": " + problem;
      return false;
    }
  }
  if (options.help || options.version) return true;
  if (files > 1) error = "more than one program file";
  else if (files == 1 && options.board) error = "a program file and --board both given";
  else if (files == 0 && !options.board) error = "no program file and no --board";
  else if (options.board && options.clock_mhz) error = "--clock does not go with --board: the board file holds its clock";
  return error.empty();
}

void write_sim_usage(std::ostream& out) {
  out << "Usage: cdmsim PROGRAM.cdm [options]\n"
         "       cdmsim --board N [options]\n"
         "Runs a timing program without a board and prints its timeline.\n"
         "  --clock MHZ       clock frequency to compile at (default 100)\n"
         "  --board N         run what emulated board N holds\n"
         "  --until TIME      board time to simulate, as 10us, 2.5ms, 1s (default 1s)\n"
         "  --max-steps N     instructions to execute at most (default 10000000)\n"
         "  --wait TIME       how long each WAIT waits for its trigger (default 0ns)\n"
         "  --min-cycles N    shortest instruction the board runs (default 5)\n"
         "  --depth N         loop and subroutine nesting the board holds (default 8, at most 65536)\n"
         "  --memory N        board memory in instructions (default 32768)\n"
         "  --vcd FILE        write a value change dump\n"
         "  --svg FILE        write a timing diagram\n"
         "  --quiet           no timeline\n"
         "  --check           only the timing checks\n"
         "  --strict          warnings make the exit status 3\n"
         "  --listing         print the interpreter's report even on success\n"
         "  --help, --version\n"
         "Exit status: 0 ran, 1 not compiled or not readable, 2 runtime error, 3 warnings\n"
         "with --strict, 64 usage error.\n";
}
