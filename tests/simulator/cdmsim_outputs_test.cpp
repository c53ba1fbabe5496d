// cdmsim never writes over what a user keeps: an output that is the program
// it runs or another output is refused before anything is written, however
// the path is spelt, and a run that cannot write every output changes no
// file and leaves no temporary one.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "run_program.h"
#include "test_folder.h"

namespace fs = std::filesystem;

namespace {

// Every file in the folder, named in UTF-8, with its bytes.
std::map<std::string, std::string> contents(const TestFolder& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder.path())) {
    std::ifstream file(entry.path(), std::ios::binary);
    files[fs::relative(entry.path(), folder.path()).generic_u8string()] =
        entry.is_regular_file() ? std::string(std::istreambuf_iterator<char>(file), {}) : "<folder>";
  }
  return files;
}

TEST(CdmsimOutputs, NothingAUserKeepsIsWrittenOver) {
  const struct {
    std::vector<std::string> args;
    int status;
    std::string message;  // the first line of standard error
  } cases[] = {
      {{"$DIR/program.cdm", "--quiet", "--vcd", "$DIR/program.cdm"},
       64, "cdmsim: --vcd $DIR/program.cdm would write over the program it runs"},
      {{"$DIR/program.cdm", "--quiet", "--svg", "$DIR/./program.cdm"},
       64, "cdmsim: --svg $DIR/./program.cdm would write over the program it runs"},
      {{"$DIR/program.cdm", "--quiet", "--vcd", "$DIR/second name.cdm"},
       64, "cdmsim: --vcd $DIR/second name.cdm would write over the program it runs"},
      {{"--board", "0", "--quiet", "--vcd", "$DIR/board0.program"},
       64, "cdmsim: --vcd $DIR/board0.program would write over the program it runs"},
      {{"$DIR/program.cdm", "--quiet", "--vcd", "$DIR/new.vcd", "--svg", "$DIR/./new.vcd"},
       64, "cdmsim: --vcd and --svg name the same file"},
      {{"$DIR/program.cdm", "--quiet", "--vcd", "$DIR/keep.vcd", "--svg", "$DIR/no/such/x.svg"},
       1, "cdmsim: cannot write $DIR/no/such/x.svg: No such file or directory"},
      {{"$DIR/program.cdm", "--quiet", "--vcd", "$DIR/keep.vcd", "--svg", "$DIR/a folder"},
       1, "cdmsim: cannot write $DIR/a folder: it is a folder"},
  };
  for (const auto& c : cases) {
    TestFolder folder;
    SCOPED_TRACE(c.args.back());
    const ScopedEnvironment state("MORVAPI_EMULATOR_DIR", folder.path());
    folder.write("program.cdm", "0x1, 1us\n0x0, 1us, STOP\n");
    folder.write("keep.vcd", "keep\n");
    folder.write("board0.program", "100\n1 1 0 1000\n");
    fs::create_hard_link(folder / "program.cdm", folder / "second name.cdm");
    fs::create_directory(folder / "a folder");
    const auto before = contents(folder);

    std::vector<std::string> arguments;
    const std::string dir = folder.path().string();
    for (std::string argument : c.args) {
      if (argument.rfind("$DIR", 0) == 0) argument.replace(0, 4, dir);
      arguments.push_back(argument);
    }
    const ProgramRun run = run_program("cdmsim", arguments);
    EXPECT_EQ(c.status, run.exit_status);
    std::string first_line = run.errors.substr(0, run.errors.find_first_of("\r\n"));
    if (const size_t at = first_line.find(dir); at != std::string::npos) first_line.replace(at, dir.size(), "$DIR");
    EXPECT_EQ(c.message, first_line);
    EXPECT_EQ(before, contents(folder));
  }
}

TEST(CdmsimOutputs, ARunPutsEachOutputInPlaceWhole) {
  TestFolder folder;
  folder.write("program.cdm", "0x1, 1us\n0x0, 1us, RTS\n");  // a runtime error ends the run
  folder.write("keep.vcd", "keep\n");
  const ProgramRun run = run_program("cdmsim", {(folder / "program.cdm").string(), "--quiet", "--vcd",
                                                (folder / "keep.vcd").string(), "--svg", (folder / "run.svg").string()});
  EXPECT_EQ(2, run.exit_status);
  EXPECT_EQ(0u, folder.read("keep.vcd").rfind("$version cdmsim $end\n", 0));
  const std::string svg = folder.read("run.svg");
  EXPECT_EQ("</svg>\n", svg.substr(svg.size() - 7));
  EXPECT_EQ(3u, contents(folder).size()) << "program.cdm, keep.vcd, run.svg and nothing else";
}

#if defined(_WIN32)
// NUL is a device, not a file to replace: it takes the dump and stays.
TEST(CdmsimOutputs, NulTakesTheDump) {
  TestFolder folder;
  folder.write("program.cdm", "0x1, 1us\n0x0, 1us, STOP\n");
  const ProgramRun run = run_program("cdmsim", {(folder / "program.cdm").string(), "--quiet", "--vcd", "NUL"});
  EXPECT_EQ(0, run.exit_status) << run.errors;
  EXPECT_EQ("end: stop at cycle 200 (2us)", run.errors.substr(0, run.errors.find_first_of("\r\n")));
}
#endif

// Names in the system's code page and beyond it: the euro sign is one byte
// in the usual Windows code page, Cyrillic has none there. cdmsim reads the
// program and writes the dump and the diagram so named (the diagram's title
// in UTF-8), tells the name in a message as the narrow command line spells
// it, and cdmcli loads the very file.
TEST(CdmsimOutputs, NamesBeyondAsciiNameTheFilesTheySpell) {
  const struct {
    std::string name;   // UTF-8, as the programs' command line takes it
    std::string shown;  // in a message: on Windows in code page 1252, Wine's here
  } cases[] = {
#if defined(_WIN32)
      {"price\xE2\x82\xAC", "price\x80"},
      {"\xD0\xBF\xD1\x80\xD0\xBE\xD0\xB3", "????"},
#else
      {"price\xE2\x82\xAC", "price\xE2\x82\xAC"},
      {"\xD0\xBF\xD1\x80\xD0\xBE\xD0\xB3", "\xD0\xBF\xD1\x80\xD0\xBE\xD0\xB3"},
#endif
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestFolder folder;
    const ScopedEnvironment state("MORVAPI_EMULATOR_DIR", folder.path());
    const auto named = [&](const char* suffix) { return (folder.path() / fs::u8path(c.name + suffix)).u8string(); };
    std::ofstream(fs::u8path(named(".cdm")), std::ios::binary) << "0x1, 1us\n0x0, 1us, STOP\n";
    const ProgramRun run =
        run_program("cdmsim", {named(".cdm"), "--quiet", "--vcd", named(".vcd"), "--svg", named(".svg")});
    EXPECT_EQ(0, run.exit_status) << run.errors;
    auto files = contents(folder);
    EXPECT_EQ(3u, files.size()) << "the program, the dump, the diagram and nothing else";
    EXPECT_EQ(0u, files[c.name + ".vcd"].rfind("$version cdmsim $end\n", 0));
    EXPECT_NE(std::string::npos, files[c.name + ".svg"].find(">" + c.name + ".cdm at 100 MHz"));

    const ProgramRun over = run_program("cdmsim", {named(".cdm"), "--vcd", named(".cdm")});
    EXPECT_EQ(64, over.exit_status);
    EXPECT_NE(std::string::npos, over.errors.find(c.shown + ".cdm would write over the program it runs")) << over.errors;
    EXPECT_EQ(0, run_program("cdmcli", {"Load", named(".cdm"), "100"}).exit_status);
  }
}

}  // namespace
