// The real cdmsim on each case of tests/simulator/*.golden: "args ..." and
// "status N", then sections "program" (a source, passed as the first
// argument) or "board" (written as board0.program in a fresh emulator state
// folder), and the whole expected "timeline" (standard output) and
// "messages" (standard error), where $DIR stands for the case's own
// temporary folder, also the state folder; a "vcd" or "svg" section asks for
// that output and holds its whole text. A case with "posix" runs only where
// there are POSIX files such as /dev/zero, and one with "fifo" passes its
// program through a named pipe, written by the test as cdmsim reads.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "golden_file.h"
#include "run_program.h"
#include "test_folder.h"

namespace fs = std::filesystem;

namespace {

// Messages name the test's temporary folder as $DIR, in any of its forms
// (JSON doubles a backslash, a file URI has a slash before a drive), and a
// file in it as $DIR/name.
std::string with_folder_named(std::string text, const fs::path& folder) {
  std::string json = folder.string();
  for (size_t at = 0; (at = json.find('\\', at)) != std::string::npos; at += 2) json.insert(at, 1, '\\');
  std::vector<std::string> forms = {json + "\\\\", folder.string() + "\\", folder.string(), folder.generic_string()};
  if (folder.generic_string().front() != '/') forms.insert(forms.begin(), "/" + folder.generic_string());
  for (const std::string& form : forms)
    for (size_t at; (at = text.find(form)) != std::string::npos;)
      text.replace(at, form.size(), form.back() == '\\' ? "$DIR/" : "$DIR");
  return text;
}

class CdmsimGolden : public ::testing::TestWithParam<GoldenCase> {};

INSTANTIATE_TEST_SUITE_P(Golden, CdmsimGolden, ::testing::ValuesIn(read_golden_files(SIM_CASES_DIR)),
                         golden_test_name);

TEST_P(CdmsimGolden, GivesItsWholeOutput) {
  const GoldenCase& c = GetParam();
#ifdef _WIN32
  if (c.has("posix") || c.has("fifo")) GTEST_SKIP() << "no such files here";
#endif
  TestFolder folder;
  const ScopedEnvironment state("MORVAPI_EMULATOR_DIR", folder.path());
  std::vector<std::string> arguments;
  std::thread writer;
  if (c.has("fifo")) {
#ifndef _WIN32
    writer = feed_named_pipe(folder / "program.cdm", c.section("program"));
#endif
    arguments.push_back((folder / "program.cdm").string());
  } else if (c.sections.count("program")) {
    folder.write("program.cdm", c.section("program"));
    arguments.push_back((folder / "program.cdm").string());
  }
  if (c.sections.count("board")) folder.write("board0.program", c.section("board"));
  for (const std::string& word : c.words("args", {{"$DIR", folder.path().string()}})) arguments.push_back(word);

  for (const char* output : {"vcd", "svg"})
    if (c.sections.count(output)) arguments.insert(arguments.end(), {std::string("--") + output, (folder / output).string()});

  const ProgramRun run = run_program("cdmsim", arguments);
  if (writer.joinable()) writer.join();
  EXPECT_EQ(run.exit_status, std::stoi(c.value("status")));
  EXPECT_EQ(run.output, c.section("timeline"));
  EXPECT_EQ(with_folder_named(run.errors, folder.path()), platform_text(c.section("messages")));
  for (const char* output : {"vcd", "svg"}) {
    if (c.sections.count(output) == 0) continue;
    EXPECT_EQ(c.section(output), folder.read(output)) << output;
  }
}

}  // namespace
