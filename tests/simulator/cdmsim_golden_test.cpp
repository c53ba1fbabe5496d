// The real cdmsim on small programs: each case of tests/simulator/*.golden
// (tests/support/golden_file.h) with the header lines "args ..." and
// "status N" and the sections "program" (a source, passed as the first
// argument) or "board" (written as board0.program in a fresh emulator state
// folder), and the whole expected "timeline" (standard output) and
// "messages" (standard error), where $DIR stands for the case's own
// temporary folder, also the state folder; a "vcd" or "svg" section asks for
// that output and holds its whole text.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "golden_file.h"
#include "run_program.h"
#include "test_folder.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> words(const std::string& text) {
  std::istringstream stream(text);
  std::vector<std::string> result;
  for (std::string word; stream >> word;) result.push_back(word);
  return result;
}

// Messages name the test's temporary folder as $DIR, in either of its forms.
std::string with_folder_named(std::string text, const fs::path& folder) {
  for (const std::string& form : {folder.string(), folder.generic_string()})
    for (size_t at; (at = text.find(form)) != std::string::npos;) text.replace(at, form.size(), "$DIR");
  return text;
}

// Arguments name the test's temporary folder as $DIR.
std::string with_folder_path(std::string word, const std::string& folder) {
  if (const size_t at = word.find("$DIR"); at != std::string::npos) word.replace(at, 4, folder);
  return word;
}

class CdmsimGolden : public ::testing::TestWithParam<GoldenCase> {};

INSTANTIATE_TEST_SUITE_P(Golden, CdmsimGolden, ::testing::ValuesIn(read_golden_files(SIM_CASES_DIR)),
                         golden_test_name);

TEST_P(CdmsimGolden, GivesItsWholeOutput) {
  const GoldenCase& c = GetParam();
  TestFolder folder;
  const ScopedEnvironment state("MORVAPI_EMULATOR_DIR", folder.path());
  std::vector<std::string> arguments;
  if (c.sections.count("program")) {
    folder.write("program.cdm", c.section("program"));
    arguments.push_back((folder / "program.cdm").string());
  }
  if (c.sections.count("board")) folder.write("board0.program", c.section("board"));
  for (const std::string& word : words(c.value("args"))) arguments.push_back(with_folder_path(word, folder.path().string()));

  for (const char* output : {"vcd", "svg"})
    if (c.sections.count(output)) arguments.insert(arguments.end(), {std::string("--") + output, (folder / output).string()});

  const ProgramRun run = run_program("cdmsim", arguments);
  EXPECT_EQ(run.exit_status, std::stoi(c.value("status")));
  EXPECT_EQ(run.output, c.section("timeline"));
  EXPECT_EQ(with_folder_named(run.errors, folder.path()), platform_text(c.section("messages")));
  for (const char* output : {"vcd", "svg"}) {
    if (c.sections.count(output) == 0) continue;
    EXPECT_EQ(c.section(output), folder.read(output)) << output;
  }
}

}  // namespace
