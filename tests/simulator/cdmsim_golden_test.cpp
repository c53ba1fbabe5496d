// The real cdmsim on small programs. Each file in cases/ holds the lines
// "args: ..." and "status: N", then sections opened by "== name": "program"
// (a source, passed as the first argument) or "board" (written as
// board0.program in a fresh emulator state folder), and the whole expected
// "timeline" (standard output) and "messages" (standard error), where
// $DIR stands for the case's own temporary folder, also the state folder;
// a "vcd" or "svg" section asks for that output and holds its whole text.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "run_program.h"
#include "test_folder.h"

namespace fs = std::filesystem;

namespace {

// A case file's "== name" sections; "args" and "status" are one-line headers.
std::map<std::string, std::string> read_sections(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::map<std::string, std::string> sections;
  std::string line;
  std::string* section = nullptr;
  while (std::getline(file, line)) {
    if (line.rfind("== ", 0) == 0) {
      section = &sections[line.substr(3)];
    } else if (section != nullptr) {
      *section += line + "\n";
    } else if (const size_t colon = line.find(": "); colon != std::string::npos) {
      sections[line.substr(0, colon)] = line.substr(colon + 2);
    }
  }
  return sections;
}

std::vector<std::string> words(const std::string& text) {
  std::istringstream stream(text);
  std::vector<std::string> result;
  for (std::string word; stream >> word;) result.push_back(word);
  return result;
}

// Messages name the test's temporary folder as $DIR, in either of its
// forms, and a file in it as $DIR/name.
std::string with_folder_named(std::string text, const fs::path& folder) {
  for (const std::string& form : {folder.string() + "\\", folder.string(), folder.generic_string()})
    for (size_t at; (at = text.find(form)) != std::string::npos;)
      text.replace(at, form.size(), form.back() == '\\' ? "$DIR/" : "$DIR");
  return text;
}

// Arguments name the test's temporary folder as $DIR.
std::string with_folder_path(std::string word, const std::string& folder) {
  if (const size_t at = word.find("$DIR"); at != std::string::npos) word.replace(at, 4, folder);
  return word;
}

std::vector<fs::path> case_files() {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(SIM_CASES_DIR))
    if (entry.path().extension() == ".case") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

TEST(CdmsimGolden, EveryCaseGivesItsWholeOutput) {
  const auto files = case_files();
  ASSERT_FALSE(files.empty());
  for (const fs::path& path : files) {
    SCOPED_TRACE(path.filename().string());
    auto sections = read_sections(path);
    TestFolder folder;
    set_environment("MORVAPI_EMULATOR_DIR", folder.path().string());
    std::vector<std::string> arguments;
    if (sections.count("program")) {
      folder.write("program.cdm", sections["program"]);
      arguments.push_back((folder / "program.cdm").string());
    }
    if (sections.count("board")) folder.write("board0.program", sections["board"]);
    for (const std::string& word : words(sections["args"]))
      arguments.push_back(with_folder_path(word, folder.path().string()));

    for (const char* output : {"vcd", "svg"})
      if (sections.count(output)) arguments.insert(arguments.end(), {std::string("--") + output, (folder / output).string()});

    const ProgramRun run = run_program("cdmsim", arguments);
    EXPECT_EQ(run.exit_status, std::stoi(sections["status"]));
    EXPECT_EQ(run.output, sections["timeline"]);
    EXPECT_EQ(with_folder_named(run.errors, folder.path()), platform_text(sections["messages"]));
    for (const char* output : {"vcd", "svg"}) {
      if (sections.count(output) == 0) continue;
      EXPECT_EQ(sections[output], folder.read(output)) << output;
    }
  }
  set_environment("MORVAPI_EMULATOR_DIR", "");
}

}  // namespace
