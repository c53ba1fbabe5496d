#include "emulator_config.h"

#include <algorithm>
#include <charconv>
#include <climits>

#include "state_folder.h"
#include "time_text.h"

namespace {

std::string_view trim(std::string_view text) {
  const auto is_blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
  return text;
}

// A whole decimal number, or with `allow_hex` also 0x hexadecimal.
std::optional<long long> read_integer(std::string_view text, bool allow_hex) {
  int base = 10;
  bool negative = false;
  if (!text.empty() && text.front() == '-') {
    negative = true;
    text.remove_prefix(1);
  }
  if (allow_hex && text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  long long value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return negative ? -value : value;
}

std::optional<int> read_int(std::string_view text) {
  auto value = read_integer(text, false);
  if (!value || *value < INT_MIN || *value > INT_MAX) return std::nullopt;
  return static_cast<int>(*value);
}

// Board numbers separated by blanks, or "none".
std::optional<std::vector<int>> read_board_list(std::string_view text) {
  std::vector<int> numbers;
  if (text == "none") return numbers;
  while (!(text = trim(text)).empty()) {
    size_t end = std::min(text.find_first_of(" \t"), text.size());
    auto number = read_int(text.substr(0, end));
    if (!number) return std::nullopt;
    numbers.push_back(*number);
    text.remove_prefix(end);
  }
  return numbers;
}

// `line` names the line in messages: "emulator.ini line 3".
void apply_setting(EmulatorConfig& config, std::string_view key, std::string_view value, const std::string& line) {
  if (key == "boards") {
    if (auto list = read_board_list(value)) config.boards = *list;
  } else if (key == "default_board") {
    if (auto number = read_int(value)) config.default_board = number;
  } else if (key == "unopenable") {
    if (auto list = read_board_list(value)) config.unopenable = *list;
  } else if (key == "firmware_id") {
    if (auto id = read_integer(value, true); id && *id >= INT_MIN && *id <= UINT_MAX)
      config.firmware_id = static_cast<int>(static_cast<unsigned>(*id));
  } else if (key == "version") {
    config.version = std::string(value);
  } else if (key == "memory_size") {
    if (auto size = read_int(value); size && *size >= 0) config.memory_size = *size;
  } else if (key == "fail_write_at") {
    if (auto address = read_int(value); address && *address >= 0) config.fail_write_at = address;
  } else if (key == "error_text") {
    config.error_text = std::string(value);
  } else if (key == "trace") {
    double ns = 0;
    config.trace_ns.reset();
    config.trace_unusable = false;
    if (value == "off") return;
    const TimeReading reading = parse_time_ns(value, ns);
    if (reading == TimeReading::Read) {
      config.trace_ns = ns;
      return;
    }
    config.trace_unusable = true;
    config.problems.push_back(line + ": trace = " + std::string(value) +
                              (reading == TimeReading::OutOfRange ? " is out of range" : " is not a time such as 2ms"));
  } else if (key == "journal") {
    config.journal = value == "yes" || value == "true" || value == "1";
  }
}

}  // namespace

std::optional<int> EmulatorConfig::initial_board() const {
  if (default_board) return default_board;
  if (boards.empty()) return std::nullopt;
  return boards.front();
}

bool EmulatorConfig::has_board(int number) const {
  return std::find(boards.begin(), boards.end(), number) != boards.end();
}

bool EmulatorConfig::can_open(int number) const {
  return has_board(number) &&
         std::find(unopenable.begin(), unopenable.end(), number) == unopenable.end();
}

EmulatorConfig parse_emulator_config(std::string_view text) {
  EmulatorConfig config;
  for (int number = 1; !text.empty(); ++number) {
    size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    line = line.substr(0, std::min(line.find('#'), line.size()));
    size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    apply_setting(config, trim(line.substr(0, equals)), trim(line.substr(equals + 1)),
                  "emulator.ini line " + std::to_string(number));
  }
  return config;
}

EmulatorConfig read_emulator_config(const std::filesystem::path& path) {
  std::error_code ignored;
  const std::filesystem::file_status status = std::filesystem::status(path, ignored);
  std::string why;
  std::string text;
  if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
    why = " is not a regular file";
  else if ((text = read_file_text(path, kLongestSettingsFile + 1)).size() > kLongestSettingsFile)
    why = " is longer than " + std::to_string(kLongestSettingsFile / 1024) + " KiB";
  if (why.empty()) return parse_emulator_config(text);
  // Whether a journal is wanted is not known, and it is where the emulator
  // says why its settings are not used.
  EmulatorConfig defaults;
  defaults.journal = true;
  defaults.problems.push_back(path.filename().string() + why + "; every setting keeps its default");
  return defaults;
}
