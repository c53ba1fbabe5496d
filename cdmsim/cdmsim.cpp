#include "cdmsim.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <optional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cadmora_version.h"
#include "diagram_writer.h"
#include "file_identity.h"
#include "board_file.h"
#include "board_files.h"
#include "diagnostic.h"
#include "interpreter.h"
#include "memory_board.h"
#include "replacing_file.h"
#include "sim_options.h"
#include "simulation.h"
#include "timeline_writer.h"
#include "time_text.h"
#include "timing_checks.h"
#include "vcd_writer.h"

namespace {

constexpr char kVersion[] = "cdmsim " CADMORA_VERSION;

// Hands each step to every writer the user asked for.
class StepFanOut : public StepSink {
 public:
  void add(StepSink& sink) { sinks_.push_back(&sink); }
  void step(const Step& step) override {
    for (StepSink* sink : sinks_) sink->step(step);
  }

 private:
  std::vector<StepSink*> sinks_;
};

// A program to run, and each address's source line (none for a board).
struct LoadedProgram {
  BoardProgram program;
  std::vector<unsigned> source_lines;
};

// The interpreter's own message for a file it cannot open is Load's; here
// the file and the reason are named.
bool can_open(const std::string& file, std::ostream& messages) {
  std::FILE* opened = open_file(file, "rb");
  if (opened != nullptr) {
    std::fclose(opened);
    return true;
  }
  messages << "cdmsim: cannot open " << file << ": " << std::generic_category().message(errno) << "\n";
  return false;
}

// The source's line `number` (1-based), without its line end; empty past
// the end.
std::string source_line(const std::string& file, unsigned number) {
  std::ifstream in(file, std::ios::binary);
  std::string line;
  for (unsigned i = 0; i < number && std::getline(in, line); ++i) {
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

// The caret line under `column`: the source's tabs are kept, so that the
// caret lands under the column however a terminal sets its tabs.
std::string caret_under(const std::string& line, unsigned column) {
  std::string caret;
  for (unsigned i = 1; i < column; ++i) caret += i <= line.size() && line[i - 1] == '\t' ? '\t' : ' ';
  return caret + "^";
}

// The compile error as editors and terminals read it: FILE:LINE:COLUMN:
// error: what, then the line with a caret under the column, and a likely
// meaning for a word that names nothing. A report without a source error
// (the file could not be read) is shown as Load gives it.
void write_first_error(const std::string& file, const std::string& report, const std::vector<std::string>& labels,
                       std::ostream& messages) {
  std::optional<Diagnostic> error = first_error(report);
  if (!error) {
    messages << report;
    return;
  }
  const std::string line = source_line(file, error->line);
  if (error->column == 0) error->column = word_column(line, *error);
  std::string message = error->message;
  const std::vector<std::string> known =
      error->unknown == Diagnostic::Unknown::Label ? labels : known_words(error->unknown);
  if (const std::string guess = closest_word(error->word, known); !guess.empty())
    message += "; did you mean " + guess + "?";
  messages << file << ":" << error->line << ":";
  if (error->column > 0) messages << error->column << ":";
  messages << " error: " << message << "\n";
  messages << line << "\n";
  if (error->column > 0) messages << caret_under(line, error->column) << "\n";
}

bool compile(const SimOptions& options, LoadedProgram& loaded, std::ostream& messages) {
  if (!can_open(options.file, messages)) return false;
  std::ostringstream report;
  MemoryBoard board;
  InterpreterOptions run;
  run.clock_mhz = options.clock_mhz;
  // The listing is on, so a failure shows the very report Load gives.
  run.listing = true;
  run.board = &board;
  run.describe_program = true;
  InterpreterResult result = run_interpreter(ProgramSource::from_file(options.file.c_str()), run, report);
  if (options.listing) messages << report.str();
  if (!result.programmed) {
    if (!options.listing) write_first_error(options.file, report.str(), result.labels, messages);
    return false;
  }
  loaded.program = board.take_program();
  loaded.source_lines = std::move(result.source_lines);
  return true;
}

bool read_board(int board, LoadedProgram& loaded, std::ostream& messages) {
  const auto path = board_program_path(board);
  auto program = parse_board_program(read_board_file(path));
  if (!program) {
    messages << "cdmsim: cannot read the program of board " << board << " from " << path.generic_string() << "\n";
    return false;
  }
  if (!clock_gives_finite_times(program->clock_mhz)) {
    messages << "cdmsim: board " << board << " runs at " << shortest_text(program->clock_mhz)
             << " MHz, too slow a clock: a run's times at it are too long to count\n";
    return false;
  }
  loaded.program = std::move(*program);
  return true;
}

// What the diagram's title calls the program.
std::string program_name(const SimOptions& options) {
  if (options.board) return "board " + std::to_string(*options.board);
  return std::filesystem::path(options.file).filename().string();
}

// An output file the user asked for: written beside its target and put in
// place only once every output is complete, so a run that fails leaves
// each existing file as it was.
struct OutputFile {
  std::unique_ptr<ReplacingFile> file;

  bool open(const std::string& path, std::ostream& messages) {
    if (path.empty()) return true;
    file = std::make_unique<ReplacingFile>(written_path(path));
    if (file->open()) return true;
    messages << "cdmsim: cannot write " << path << ": " << file->error() << "\n";
    return false;
  }
  std::FILE* stream() const { return file ? file->file() : nullptr; }

  // A link keeps pointing where it did: what it names is written.
  static std::filesystem::path written_path(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_symlink(path, error)) return path;
    const auto target = std::filesystem::canonical(path, error);
    return error ? std::filesystem::path(path) : target;
  }
};

// The outputs the user asked for, fed step by step as the board runs.
class Writers {
 public:
  Writers(const SimOptions& options, const LoadedProgram& loaded, std::FILE* timeline_file)
      : options_(options), loaded_(loaded), timeline_out_(timeline_file) {}

  // Opens the output files; false after saying which one cannot be written.
  bool open(std::ostream& messages) {
    if (!vcd_file_.open(options_.vcd, messages) || !svg_file_.open(options_.svg, messages)) return false;
    const double clock_mhz = loaded_.program.clock_mhz;
    const CycleWindow window{first_cycle_at(options_.from_ns, clock_mhz),
                             first_cycle_at(options_.run.until_ns, clock_mhz)};
    if (!options_.quiet) {
      timeline_ = std::make_unique<TimelineWriter>(timeline_out_, clock_mhz, loaded_.source_lines);
      sinks_.add(*timeline_);
    }
    if (vcd_file_.file) {
      vcd_out_ = std::make_unique<TextOutput>(vcd_file_.stream());
      vcd_ = std::make_unique<VcdWriter>(*vcd_out_, clock_mhz, window);
      sinks_.add(*vcd_);
    }
    if (svg_file_.file) {
      diagram_ = std::make_unique<DiagramWriter>(clock_mhz, program_name(options_), window);
      sinks_.add(*diagram_);
    }
    return true;
  }

  StepSink& sink() { return sinks_; }

  // Ends every output and puts the files in place; false when one could not
  // be written in full, and then no file is replaced.
  bool finish(const RunEnd& end, const std::string& error) {
    bool written = true;
    if (timeline_) {
      timeline_->finish(end, error);
      written = timeline_out_.flush();
    }
    if (vcd_) {
      vcd_->finish(end);
      written = vcd_out_->flush() && written;
    }
    if (diagram_) written = diagram_->write(svg_file_.stream(), end) && written;
    if (!written) return false;
    for (OutputFile* output : {&vcd_file_, &svg_file_})
      if (output->file && !output->file->commit()) return false;
    return true;
  }

 private:
  const SimOptions& options_;
  const LoadedProgram& loaded_;
  TextOutput timeline_out_;
  OutputFile vcd_file_;
  OutputFile svg_file_;
  StepFanOut sinks_;
  std::unique_ptr<TimelineWriter> timeline_;
  std::unique_ptr<TextOutput> vcd_out_;
  std::unique_ptr<VcdWriter> vcd_;
  std::unique_ptr<DiagramWriter> diagram_;
};

// The option that would write over the program or over another output, as
// a usage error; empty when every output is a file of its own.
std::string overlapping_output(const SimOptions& options) {
  const std::string program = options.board ? board_program_path(*options.board).string() : options.file;
  const struct {
    const char* option;
    const std::string& path;
  } outputs[] = {{"--vcd", options.vcd}, {"--svg", options.svg}};
  for (const auto& output : outputs) {
    if (output.path.empty()) continue;
    if (same_file(output.path, program))
      return std::string(output.option) + " " + output.path + " would write over the program it runs";
  }
  if (!options.vcd.empty() && !options.svg.empty() && same_file(options.vcd, options.svg))
    return "--vcd and --svg name the same file";
  return {};
}

class Simulator {
 public:
  Simulator(const SimOptions& options, std::ostream& messages) : options_(options), messages_(messages) {}

  int run(std::FILE* timeline_file) {
    if (!load()) return kSimNotLoaded;
    const BoardProgram& program = loaded_.program;
    for (const TimingWarning& warning : check_timing(program, options_.checks))
      warn(place(warning.address) + ": " + warning.text);
    if (options_.check) {
      messages_ << findings_summary() << "\n";
      return outcome(false);
    }

    Writers writers(options_, loaded_, timeline_file);
    if (!writers.open(messages_)) return kSimNotLoaded;
    const RunEnd end = simulate(program, options_.run, writers.sink());

    const std::string error = runtime_error_text(end, loaded_.source_lines);
    if (!writers.finish(end, error)) {
      messages_ << "cdmsim: an output could not be written in full\n";
      return kSimNotLoaded;
    }
    report_unreached(end);
    if (end.reason == EndReason::Error) messages_ << "error: " << error << " (at cycle " << end.cycle << ")\n";
    if (end.reason != EndReason::Error && options_.quiet)
      messages_ << "end: " << end_reason_text(end.reason) << " at cycle " << end.cycle << " ("
                << time_text(cycle_time_ns(end.cycle, program.clock_mhz)) << ")\n";
    return outcome(end.reason == EndReason::Error);
  }

 private:
  bool load() {
    if (options_.board) return read_board(*options_.board, loaded_, messages_);
    return compile(options_, loaded_, messages_);
  }

  void report_unreached(const RunEnd& end) {
    if (const auto unreached = unreached_warning(end, options_.run, loaded_.source_lines)) warn(unreached->text);
  }

  std::string findings_summary() const {
    if (warnings_ == 0) return "no findings";
    return std::to_string(warnings_) + (warnings_ == 1 ? " warning" : " warnings");
  }

  std::string place(std::uint32_t address) const { return instruction_place(address, loaded_.source_lines); }

  void warn(const std::string& text) {
    messages_ << "warning: " << text << "\n";
    ++warnings_;
  }

  int outcome(bool runtime_error) const {
    if (runtime_error) return kSimRuntimeError;
    return options_.strict && warnings_ > 0 ? kSimWarnings : kSimRan;
  }

  const SimOptions& options_;
  std::ostream& messages_;
  LoadedProgram loaded_;
  int warnings_ = 0;
};

// One line naming the problem and where to read more, as command-line
// tools answer a mistyped command.
int usage_error(const std::string& problem, std::ostream& messages) {
  messages << "cdmsim: " << problem << "\nTry 'cdmsim --help'.\n";
  return kSimUsage;
}

}  // namespace

int run_cdmsim(int argc, const char* const* argv, std::FILE* timeline, std::ostream& messages) {
  SimOptions options;
  std::string error;
  if (!parse_sim_options(argc - 1, argv + 1, options, error)) return usage_error(error, messages);
  if (options.help) {
    std::ostringstream usage;
    write_sim_usage(usage);
    std::fputs(usage.str().c_str(), timeline);
    return kSimRan;
  }
  if (options.version) {
    std::fprintf(timeline, "%s\n", kVersion);
    return kSimRan;
  }
  if (const std::string overlap = overlapping_output(options); !overlap.empty()) return usage_error(overlap, messages);
  return Simulator(options, messages).run(timeline);
}
