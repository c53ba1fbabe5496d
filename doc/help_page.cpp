#include "help_page.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>
#include <vector>

#include "program_model.h"
#include "language_tables.h"
#include "simulation.h"
#include "timing_checks.h"
#include "upper_case.h"
#include "value_conversion.h"

namespace {

constexpr std::string_view kCommentStart = "<!-- ";
constexpr std::string_view kCommentEnd = "-->";
// The key of the pattern table's row for decimal patterns, which have no marker.
constexpr std::string_view kDecimalForm = "DECIMAL";

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

// Digits in groups of three, as the page writes large numbers: 32,768.
std::string grouped(std::uint64_t number) {
  std::string digits = std::to_string(number);
  for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3) digits.insert(at, ",");
  return digits;
}

std::string code(std::string_view text) { return "<code>" + std::string(text) + "</code>"; }

// The hand-written cells of a table, by key, in the template's order.
struct TableRows {
  std::vector<std::string> keys;
  std::map<std::string, std::vector<std::string>> cells;
};

class PageRenderer {
 public:
  // `error` is set when rendering fails.
  PageRenderer(std::string_view page_template, std::string& error) : template_(page_template), error_(error) {}

  bool render(std::string& page) {
    std::string_view rest = template_;
    for (std::size_t at; (at = rest.find(kCommentStart)) != std::string_view::npos;) {
      page.append(rest.substr(0, at));
      rest.remove_prefix(at);
      const std::size_t end = rest.find(kCommentEnd);
      if (end == std::string_view::npos) return error("a comment is never closed");
      const std::string_view comment = rest.substr(kCommentStart.size(), end - kCommentStart.size());
      if (!expand(comment, rest.substr(0, end + kCommentEnd.size()), page)) return false;
      rest.remove_prefix(end + kCommentEnd.size());
    }
    page.append(rest);
    return unfilled_anchors();
  }

 private:
  // Appends what a comment stands for: a value, a table, or itself.
  bool expand(std::string_view comment, std::string_view whole, std::string& page) {
    const std::size_t line_end = std::min(comment.find('\n'), comment.size());
    std::istringstream head{std::string(comment.substr(0, line_end))};
    std::string kind, name;
    head >> kind >> name;
    if (kind == "value") return append_value(name, page);
    if (kind == "table") return append_table(name, comment.substr(line_end), page);
    page.append(whole);
    return true;
  }

  bool append_value(const std::string& name, std::string& page) {
    const CheckSettings checks;
    const SimulationSettings simulation;
    const std::map<std::string, std::string> values = {
        {"outputs", std::to_string(kBitListBits)},
        {"highest-output", std::to_string(kBitListBits - 1)},
        {"largest-number", grouped(static_cast<std::uint64_t>(kLargestNumber))},
        {"stop-statement", code(std::string(kStopStatement.pattern) + ", " + std::string(kStopStatement.time) +
                                std::string(kStopStatement.units) + ", " + std::string(kStopStatement.command) +
                                ", " + std::string(kStopStatement.data))},
        {"default-command", code(kDefaultCommand)},
        {"default-data", code(kDefaultData)},
        {"shortest-instruction", std::to_string(checks.min_cycles)},
        {"nesting-depth", std::to_string(simulation.depth)},
        {"memory", grouped(checks.memory)},
        {"cycle-limit", "2<sup>" + std::to_string(std::lround(std::log2(static_cast<double>(kCycleLimit)))) +
                            "</sup>"},
    };
    const auto value = values.find(name);
    if (value == values.end()) return error("no value is called '" + name + "'");
    page.append(value->second);
    return true;
  }

  bool append_table(const std::string& name, std::string_view body, std::string& page) {
    TableRows rows;
    if (!read_rows(name, body, rows)) return false;
    std::string table;
    const bool made = name == "keywords"   ? keywords_table(table)
                      : name == "commands" ? commands_table(rows, table)
                      : name == "units"    ? units_table(rows, table)
                      : name == "patterns" ? patterns_table(rows, table)
                      : name == "categories" ? categories_table(table)
                                           : error("no table is called '" + name + "'");
    if (!made) return false;
    page.append("<table id=\"" + name + "-table\">\n").append(table).append("</table>");
    return true;
  }

  bool read_rows(const std::string& table, std::string_view body, TableRows& rows) {
    std::istringstream lines{std::string(body)};
    for (std::string line; std::getline(lines, line);) {
      if (trimmed(line).empty()) continue;
      std::vector<std::string> cells;
      std::string_view rest = line;
      for (std::size_t bar; (bar = rest.find('|')) != std::string_view::npos; rest.remove_prefix(bar + 1))
        cells.emplace_back(trimmed(rest.substr(0, bar)));
      cells.emplace_back(trimmed(rest));
      const std::string key = cells.front();
      cells.erase(cells.begin());
      if (!rows.cells.emplace(key, cells).second) return error("table " + table + " describes " + key + " twice");
      rows.keys.push_back(key);
    }
    return true;
  }

  // The row of `key` with exactly `count` cells; the keys the interpreter
  // knows are collected, so that a row for any other key shows up.
  bool row(const std::string& table, const TableRows& rows, const std::string& key, std::size_t count,
           const std::vector<std::string>*& cells) {
    const auto found = rows.cells.find(key);
    if (found == rows.cells.end()) return error("table " + table + " has no row for " + key);
    if (found->second.size() != count)
      return error("table " + table + ": the row for " + key + " needs " + std::to_string(count) + " cells");
    known_keys_.push_back(key);
    cells = &found->second;
    return true;
  }

  bool no_other_rows(const std::string& table, const TableRows& rows) {
    for (const std::string& key : rows.keys)
      if (std::find(known_keys_.begin(), known_keys_.end(), key) == known_keys_.end())
        return error("table " + table + " describes " + key + ", which the interpreter does not know");
    known_keys_.clear();
    return true;
  }

  std::string link(const std::string& anchor, std::string_view text) {
    anchors_.push_back(anchor);
    return "<a href=\"#" + anchor + "\">" + std::string(text) + "</a>";
  }

  // cdmsim's categories of errors and warnings, as its -W switches name them.
  static bool categories_table(std::string& table) {
    table = "<tr><th>Category</th><th>What it covers</th></tr>\n";
    for (const CategoryInfo& category : kCategories)
      table += "<tr><td>" + code(category.name) + "</td><td>" + std::string(category.description) + "</td></tr>\n";
    return true;
  }

  // Every word a program may use, in alphabetical order, with what it is.
  bool keywords_table(std::string& table) {
    std::map<std::string, std::vector<std::string>> words;
    for (const OpcodeKeyword& command : kOpcodeKeywords) {
      const std::string word(command.keyword);
      words[word].push_back(link("command-" + word, "command"));
    }
    for (const TimeUnit& unit : kTimeUnits) words[std::string(unit.text)].push_back(link("units", "time unit"));
    words[std::string(kStopWord)].push_back(link("stop-statement", "a whole instruction alone on its line"));
    table = "<tr><th>Word</th><th>What it is</th></tr>\n";
    for (const auto& [word, kinds] : words) {
      std::string what;
      for (const std::string& kind : kinds) what += (what.empty() ? "" : "; ") + kind;
      table += "<tr><td>" + code(word) + "</td><td>" + what + "</td></tr>\n";
    }
    return true;
  }

  bool commands_table(const TableRows& rows, std::string& table) {
    table = "<tr><th>Command</th><th>Opcode</th><th>Data</th><th>What the board does</th></tr>\n";
    for (const OpcodeKeyword& command : kOpcodeKeywords) {
      const std::string word(command.keyword);
      const std::vector<std::string>* cells = nullptr;
      if (!row("commands", rows, word, 2, cells)) return false;
      table += "<tr><td>" + link("command-" + word, code(word)) + "</td><td>" +
               std::to_string(static_cast<int>(command.opcode)) + "</td><td>" + (*cells)[0] + "</td><td>" +
               (*cells)[1] + "</td></tr>\n";
    }
    return no_other_rows("commands", rows);
  }

  bool units_table(const TableRows& rows, std::string& table) {
    table = "<tr><th>Unit</th><th>Name</th><th>Nanoseconds</th><th>Example</th></tr>\n";
    for (const TimeUnit& unit : kTimeUnits) {
      const std::string word(unit.text);
      const std::vector<std::string>* cells = nullptr;
      if (!row("units", rows, word, 2, cells)) return false;
      table += "<tr><td>" + code(word) + "</td><td>" + (*cells)[0] + "</td><td>" +
               grouped(static_cast<std::uint64_t>(unit.nanoseconds)) + "</td><td>" + code((*cells)[1]) +
               "</td></tr>\n";
    }
    return no_other_rows("units", rows);
  }

  // Each form's example is converted by the interpreter itself, and the
  // outputs it switches on are shown beside it.
  bool patterns_table(const TableRows& rows, std::string& table) {
    table = "<tr><th>Form</th><th>Written as</th><th>Example</th><th>Outputs on</th></tr>\n";
    std::vector<std::string> keys{std::string(kDecimalForm)};
    for (const PatternForm& form : kPatternForms) keys.push_back(std::string("0") + form.marker);
    for (const std::string& key : keys) {
      const std::vector<std::string>* cells = nullptr;
      if (!row("patterns", rows, key, 3, cells)) return false;
      const std::string& example = (*cells)[2];
      std::string outputs;
      if (!example_outputs(key, example, outputs)) return false;
      table += "<tr><td>" + (*cells)[0] + "</td><td>" + (*cells)[1] + "</td><td>" + code(example) + "</td><td>" +
               outputs + "</td></tr>\n";
    }
    return no_other_rows("patterns", rows);
  }

  bool example_outputs(const std::string& form, const std::string& example, std::string& outputs) {
    const std::string pattern = upper_case(example);
    const bool decimal = form == kDecimalForm;
    if (decimal ? pattern.size() > 1 && !(pattern[1] >= '0' && pattern[1] <= '9') : pattern.rfind(form, 0) != 0)
      return error("the example " + example + " is not of the form " + form);
    ProgramLine line{pattern, "1", "US", kDefaultCommand, kDefaultData, 1};
    const std::vector<LabelEntry> no_labels;
    LoopStack loops;
    Diagnostic refusal;
    InstructionFields fields;
    if (!convert_line(line, 0, LabelIndex(no_labels), loops, refusal, fields))
      return error("the interpreter refuses the example " + example + ": " + refusal.message);
    outputs = output_list(fields.output_value);
    return true;
  }

  // "0-3, 7", or "none"; bits above the outputs are named as such.
  static std::string output_list(std::uint32_t value) {
    std::string list;
    for (unsigned bit = 0; bit < kBitListBits; ++bit) {
      if ((value >> bit & 1) == 0 || (bit > 0 && (value >> (bit - 1) & 1) != 0)) continue;
      unsigned last = bit;
      while (last + 1 < kBitListBits && (value >> (last + 1) & 1) != 0) ++last;
      list += (list.empty() ? "" : ", ") + std::to_string(bit) + (last > bit ? "&ndash;" + std::to_string(last) : "");
    }
    if (list.empty()) list = "none";
    if ((value >> kBitListBits) != 0) list += " (and bits above " + std::to_string(kBitListBits - 1) + ", which drive no output)";
    return list;
  }

  bool unfilled_anchors() {
    for (const std::string& anchor : anchors_)
      if (template_.find("id=\"" + anchor + "\"") == std::string_view::npos)
        return error("the page has no section id=\"" + anchor + "\" for its tables to link to");
    return true;
  }

  bool error(const std::string& text) {
    error_ = text;
    return false;
  }

  std::string_view template_;
  std::vector<std::string> anchors_;
  std::vector<std::string> known_keys_;
  std::string& error_;
};

}  // namespace

bool render_help_page(std::string_view page_template, std::string& page, std::string& error) {
  page.clear();
  return PageRenderer(page_template, error).render(page);
}
