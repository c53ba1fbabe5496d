#include "sim_options.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <string_view>

#include "simulation.h"
#include "time_text.h"

namespace {

// Reads an option's value into the options; false with `problem` saying
// what is wrong with it.
using ValueReader = bool (*)(std::string_view value, SimOptions& options, std::string& problem);

// Says what is wrong; false.
bool refuse(std::string& problem, std::string why) {
  problem = std::move(why);
  return false;
}

bool malformed(std::string_view value, std::string& problem) {
  return refuse(problem, "malformed value '" + std::string(value) + "'");
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
  if (read_time_ns(text, ns, problem)) return true;
  return problem.empty() ? malformed(text, problem) : false;
}

bool read_clock(std::string_view text, SimOptions& options, std::string& problem) {
  double mhz = 0;
  if (text.empty() || !(text[0] >= '0' && text[0] <= '9') || !read_whole(text, mhz) || !(mhz > 0) ||
      !std::isfinite(mhz))
    return malformed(text, problem);
  if (!clock_gives_finite_times(mhz))
    return refuse(problem, std::string(text) + " MHz is too slow a clock: a run's times at it are too long to count");
  options.clock_mhz = mhz;
  options.clock_given = true;
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
  if (depth > kLongestNesting)
    return refuse(problem,
                  std::string(text) + " is more than the " + std::to_string(kLongestNesting) + " levels a board can hold");
  options.run.depth = depth;
  return true;
}

bool read_file_name(std::string_view text, std::filesystem::path& name, std::string& problem) {
  name = std::filesystem::u8path(text.begin(), text.end());
  return !text.empty() || refuse(problem, "needs a file name");
}

bool read_format(std::string_view text, SimOptions& options, std::string& problem) {
  constexpr std::pair<std::string_view, DiagnosticsFormat> kFormats[] = {
      {"text", DiagnosticsFormat::Text}, {"json", DiagnosticsFormat::Json}, {"sarif", DiagnosticsFormat::Sarif}};
  for (const auto& [name, format] : kFormats) {
    if (name != text) continue;
    options.format = format;
    return true;
  }
  return refuse(problem, "'" + std::string(text) + "' is none of text, json, sarif");
}

bool read_timescale(std::string_view text, SimOptions& options, std::string& problem) {
  options.timescale = parse_vcd_timescale(text);
  return options.timescale || refuse(problem, timescale_problem(text));
}

// An option's default as the usage text shows it; null for none.
using DefaultText = std::string (*)(const SimOptions& defaults);

struct OptionLine {
  std::string_view name;
  std::string_view value;  // what the usage text calls its value; empty for a flag
  std::string_view meaning;
  ValueReader read;        // null for a flag, which takes no value
  bool SimOptions::*flag;  // for a flag
  DefaultText default_text;
};

const OptionLine kOptions[] = {
    {"clock", "MHZ", "clock frequency to compile at", read_clock, nullptr,
     [](const SimOptions& o) { return short_number(o.clock_mhz, 6); }},
    {"board", "N", "run what emulated board N holds", read_board, nullptr, nullptr},
    {"until", "TIME", "board time to simulate and show, as 10us, 2.5ms, 1s",
     [](std::string_view v, SimOptions& o, std::string& p) { return read_time(v, o.run.until_ns, p); }, nullptr,
     [](const SimOptions& o) { return time_text(o.run.until_ns); }},
    {"from", "TIME", "where the dump and the diagram start",
     [](std::string_view v, SimOptions& o, std::string& p) { return read_time(v, o.from_ns, p); }, nullptr,
     [](const SimOptions& o) { return time_text(o.from_ns); }},
    {"max-steps", "N", "instructions to execute at most",
     [](std::string_view v, SimOptions& o, std::string& p) { return read_count(v, o.run.max_steps, p); }, nullptr,
     [](const SimOptions& o) { return std::to_string(o.run.max_steps); }},
    {"wait", "TIME", "how long each WAIT waits for its trigger",
     [](std::string_view v, SimOptions& o, std::string& p) { return read_time(v, o.run.wait_ns, p); }, nullptr,
     [](const SimOptions& o) { return time_text(o.run.wait_ns); }},
    {"min-cycles", "N", "shortest instruction the board runs",
     [](std::string_view v, SimOptions& o, std::string& p) { return read_count(v, o.checks.min_cycles, p); }, nullptr,
     [](const SimOptions& o) { return std::to_string(o.checks.min_cycles); }},
    {"depth", "N", "loop and subroutine nesting the board holds", read_depth, nullptr,
     [](const SimOptions& o) { return std::to_string(o.run.depth) + ", at most " + std::to_string(kLongestNesting); }},
    {"memory", "N", "board memory in instructions",
     [](std::string_view v, SimOptions& o, std::string& p) { return read_count(v, o.checks.memory, p); }, nullptr,
     [](const SimOptions& o) { return std::to_string(o.checks.memory); }},
    {"vcd", "FILE", "write a value change dump",
     [](std::string_view v, SimOptions& o, std::string& p) { return read_file_name(v, o.vcd, p); }, nullptr, nullptr},
    {"timescale", "UNIT", "the dump's time unit, as 10ns or 1ps", read_timescale, nullptr,
     [](const SimOptions&) { return std::string("the coarsest exact one"); }},
    {"svg", "FILE", "write a timing diagram",
     [](std::string_view v, SimOptions& o, std::string& p) { return read_file_name(v, o.svg, p); }, nullptr, nullptr},
    {"quiet", "", "no timeline", nullptr, &SimOptions::quiet, nullptr},
    {"check", "", "only the timing checks", nullptr, &SimOptions::check, nullptr},
    {"strict", "", "the same as -Werror", nullptr, &SimOptions::strict, nullptr},
    {"diagnostics-format", "FORMAT", "errors and warnings as text, json or sarif", read_format, nullptr,
     [](const SimOptions&) { return std::string("text"); }},
    {"listing", "", "print the interpreter's report even on success", nullptr, &SimOptions::listing, nullptr},
    {"help", "", "", nullptr, &SimOptions::help, nullptr},
    {"version", "", "", nullptr, &SimOptions::version, nullptr},
};

// Where the usage text starts each option's meaning.
constexpr std::size_t kMeaningColumn = 20;

bool unknown_option(std::string_view name, std::string& error) {
  std::vector<std::string> names;
  for (const OptionLine& option : kOptions) names.emplace_back(option.name);
  const std::string guess = closest_word(name, names);
  return refuse(error, "unknown option --" + std::string(name) + (guess.empty() ? "" : "; did you mean --" + guess + "?"));
}

bool is_option(std::string_view argument) { return argument.size() > 2 && argument.substr(0, 2) == "--"; }

}  // namespace

bool parse_sim_options(int argc, const char* const* argv, SimOptions& options, std::string& error) {
  int files = 0;
  for (int i = 0; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "-h") {
      options.help = true;
      continue;
    }
    if (argument.substr(0, 2) == "-W") {
      if (!read_warning_switch(argument.substr(2), options.warnings))
        return refuse(error, "unknown warning switch " + std::string(argument));
      continue;
    }
    if (!is_option(argument)) {
      options.file = std::filesystem::u8path(argument.begin(), argument.end());
      ++files;
      continue;
    }
    const size_t equals = argument.find('=');
    const std::string_view name = argument.substr(2, equals == std::string_view::npos ? equals : equals - 2);
    const OptionLine* entry = std::find_if(std::begin(kOptions), std::end(kOptions),
                                           [&](const OptionLine& option) { return option.name == name; });
    if (entry == std::end(kOptions)) return unknown_option(name, error);
    const std::string option = "--" + std::string(name);
    if (entry->read == nullptr) {
      if (equals != std::string_view::npos) return refuse(error, option + " takes no value");
      options.*(entry->flag) = true;
      continue;
    }
    std::string_view value;
    if (equals != std::string_view::npos)
      value = argument.substr(equals + 1);
    else if (i + 1 < argc)
      value = argv[++i];
    else
      return refuse(error, option + " needs a value");
    std::string problem;
    if (!entry->read(value, options, problem)) return refuse(error, option + ": " + problem);
  }
  if (options.strict) options.warnings.all_errors = true;
  if (options.help || options.version) return true;
  if (files > 1) error = "more than one program file";
  else if (files == 1 && options.board) error = "a program file and --board both given";
  else if (files == 0 && !options.board) error = "no program file and no --board";
  else if (options.board && options.clock_given) error = "--clock does not go with --board: the board file holds its clock";
  else if (options.from_ns > 0 && options.from_ns >= options.run.until_ns)
    error = "--from " + time_text(options.from_ns) + " is not before --until " + time_text(options.run.until_ns) +
            ": the dump and the diagram would show nothing";
  return error.empty();
}

std::string sim_usage() {
  std::string usage =
      "Usage: cdmsim PROGRAM.cdm [options]\n"
      "       cdmsim --board N [options]\n"
      "Runs a timing program without a board and prints its timeline.\n";
  const SimOptions defaults;
  for (const OptionLine& option : kOptions) {
    if (option.meaning.empty()) continue;
    std::string left = "  --" + std::string(option.name);
    if (!option.value.empty()) left += " " + std::string(option.value);
    left.resize(std::max<std::size_t>(left.size() + 1, kMeaningColumn), ' ');
    usage += left + std::string(option.meaning);
    if (option.default_text != nullptr) usage += " (default " + option.default_text(defaults) + ")";
    usage += "\n";
  }
  usage +=
      "  -W<category>, -Wno-<category>\n"
      "                    show or hide the warnings of a category\n"
      "  -Werror, -Werror=<category>\n"
      "                    count every warning, or a category's, as an error\n"
      "  -h, --help, --version\n"
      "Categories of errors and warnings:\n";
  for (const CategoryInfo& category : kCategories) {
    std::string left = "  " + std::string(category.name);
    left.resize(std::max<std::size_t>(left.size() + 1, kMeaningColumn + 4), ' ');
    usage += left + std::string(category.description) + "\n";
  }
  return usage +
         "Exit status: 0 ran, 1 not compiled or not readable, 2 runtime error, 3 warnings\n"
         "counted as errors, 64 usage error.\n";
}
