#include "time_text.h"

#include "time_units.h"
#include "upper_case.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <iterator>

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

std::string lower(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return result;
}

// Length of the leading "digits[.digits]" number, or 0 when there is none.
size_t number_length(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && is_digit(text[i])) ++i;
  if (i == 0) return 0;
  if (i == text.size() || text[i] != '.') return i;
  size_t fraction = i + 1;
  while (fraction < text.size() && is_digit(text[fraction])) ++fraction;
  return fraction == i + 1 ? 0 : fraction;
}

}  // namespace

TimeReading parse_time_ns(std::string_view text, double& ns) {
  const size_t length = number_length(text);
  if (length == 0) return TimeReading::Malformed;
  const std::string unit = upper_case(text.substr(length));
  for (const TimeUnit& candidate : kTimeUnits) {
    if (unit != candidate.text) continue;
    double number = 0;
    if (std::from_chars(text.data(), text.data() + length, number).ec != std::errc()) return TimeReading::OutOfRange;
    if (!std::isfinite(number * candidate.nanoseconds)) return TimeReading::OutOfRange;
    ns = number * candidate.nanoseconds;
    return TimeReading::Read;
  }
  return TimeReading::Malformed;
}

bool read_time_ns(std::string_view text, double& ns, std::string& problem) {
  problem.clear();
  switch (parse_time_ns(text, ns)) {
    case TimeReading::Read:
      return true;
    case TimeReading::OutOfRange:
      problem = "'" + std::string(text) + "' is out of range";
      return false;
    case TimeReading::Malformed:
      break;
  }
  if (!text.empty() && text.find_first_not_of("0123456789.") == std::string_view::npos)
    problem = "'" + std::string(text) + "' needs a unit: " + time_unit_list();
  return false;
}

std::string time_unit_list() {
  std::string list;
  for (const TimeUnit& unit : kTimeUnits) {
    if (!list.empty()) list += &unit == std::end(kTimeUnits) - 1 ? " or " : ", ";
    list += lower(unit.text);
  }
  return list;
}

std::string time_text(double ns) {
  const TimeUnit& unit = largest_unit_in(ns);
  return short_number(ns / unit.nanoseconds) + lower(unit.text);
}

std::string short_number(double value, int decimals) {
  char buffer[400];
  auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  if (error != std::errc()) return "?";
  std::string text(buffer, end);
  if (text.find('.') == std::string::npos) return text;
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text;
}
