// The help page lists every word the interpreter knows, and the generator
// refuses a template that leaves one undescribed or describes one that is
// gone.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "help_page.h"
#include "program_model.h"
#include "language_tables.h"

namespace {

std::string read_page() {
  std::ifstream in(HELP_PAGE, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The rows of the table with this id, "" when the page has none.
std::string table_of(const std::string& page, const std::string& id) {
  const std::size_t start = page.find("<table id=\"" + id + "\">");
  if (start == std::string::npos) return "";
  return page.substr(start, page.find("</table>", start) - start);
}

bool has_row(const std::string& table, const std::string& word) {
  return table.find("<tr><td><code>" + word + "</code></td>") != std::string::npos ||
         table.find("<tr><td><a href=\"#command-" + word + "\"><code>" + word + "</code></a></td>") !=
             std::string::npos;
}

TEST(HelpPage, ListsEveryWordTheInterpreterKnows) {
  const std::string page = read_page();
  const std::string keywords = table_of(page, "keywords-table");
  const std::string commands = table_of(page, "commands-table");
  const std::string units = table_of(page, "units-table");
  for (const OpcodeKeyword& command : kOpcodeKeywords) {
    EXPECT_TRUE(has_row(keywords, std::string(command.keyword))) << command.keyword;
    EXPECT_TRUE(has_row(commands, std::string(command.keyword))) << command.keyword;
  }
  for (const TimeUnit& unit : kTimeUnits) {
    EXPECT_TRUE(has_row(keywords, std::string(unit.text))) << unit.text;
    EXPECT_TRUE(has_row(units, std::string(unit.text))) << unit.text;
  }
  EXPECT_TRUE(has_row(keywords, std::string(kStopWord)));
  const std::string patterns = table_of(page, "patterns-table");
  for (const PatternForm& form : kPatternForms)
    EXPECT_NE(std::string::npos, patterns.find(std::string("<code>0") + char(form.marker + 'a' - 'A')))
        << form.marker;
  EXPECT_EQ(std::string::npos, page.find("<!-- table")) << "a table was left unfilled";
  EXPECT_EQ(std::string::npos, page.find("<!-- value")) << "a value was left unfilled";
}

// Each template differs from a good one in one fault the generator must name.
TEST(HelpPage, RefusesATemplateThatDisagreesWithTheInterpreter) {
  const std::string units = "<!-- table units\nS | seconds | 1s\nMS | milliseconds | 1ms\nUS | microseconds | 1us\n";
  const struct {
    std::string page_template;
    std::string error;
  } cases[] = {
      {units + "-->", "table units has no row for NS"},
      {units + "NS | nanoseconds | 1ns\nPS | picoseconds | 1ps\n-->",
       "table units describes PS, which the interpreter does not know"},
      {"<!-- table patterns\nDECIMAL | decimal | digits | 12\n0B | binary | 0b | 0b102\n-->",
       "the interpreter refuses the example 0b102: Output value 0B102 is invalid"},
      {"<!-- table keywords -->", "the page has no section id=\"command-CONTINUE\" for its tables to link to"},
      {"<!-- value outputs", "a comment is never closed"},
  };
  for (const auto& c : cases) {
    std::string page, error;
    EXPECT_FALSE(render_help_page(c.page_template, page, error)) << c.page_template;
    EXPECT_EQ(c.error, error) << c.page_template;
  }
  std::string page, error;
  ASSERT_TRUE(render_help_page(units + "NS | nanoseconds | 1ns\n-->, <!-- value outputs --> outputs", page, error))
      << error;
  EXPECT_NE(std::string::npos, page.find("<tr><td><code>MS</code></td><td>milliseconds</td><td>1,000,000</td>"));
  EXPECT_NE(std::string::npos, page.find("</table>, 24 outputs"));
}

}  // namespace
