// cdmsim's findings, and libcadmora's: the records of a compile, the timing
// checks and a run, placed in their source lines, kept or ranked as errors
// by the -W switches, and written as text, JSON or SARIF.
#pragma once

#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "diagnostic.h"

enum class DiagnosticsFormat { Text, Json, Sarif };

// What -W<category>, -Wno-<category>, -Werror (or --strict) and
// -Werror=<category> ask for.
struct WarningSwitches {
  std::set<Category> off;     // warnings not shown
  std::set<Category> errors;  // warnings that count as errors
  bool all_errors = false;    // every warning counts as an error
};

// Reads one -W switch (without its "-W"); false when it names no category.
bool read_warning_switch(std::string_view text, WarningSwitches& switches);

// Text shows this many errors, then how many more there were.
inline constexpr std::size_t kErrorsShown = 20;

// Writes each record as it is added, in the format asked for, to `out`;
// finish() closes the output.
class DiagnosticWriter {
 public:
  DiagnosticWriter(std::string file, const WarningSwitches& switches, DiagnosticsFormat format, std::ostream& out);

  // The source the records' lines are quoted from, and the label names a
  // misspelt label is compared with.
  void set_source(std::string text, std::vector<std::string> labels);
  // Hands the source back, once the last record is added.
  std::string take_source() {
    lines_.reset();
    return std::move(text_);
  }

  // Names the file, places the record in its source line and applies the
  // switches: a warning switched off is dropped, one ranked as an error
  // becomes one. Text shows kErrorsShown errors and counts the rest.
  void add(Diagnostic diagnostic);

  // Text: how many errors were not shown; JSON and SARIF: the closing.
  void finish();

  // Also appends every record written, as written, to `records`.
  void keep_records(std::vector<Diagnostic>* records) { records_ = records; }

  std::size_t errors() const { return errors_; }
  std::size_t warnings() const { return warnings_; }
  // Warnings the switches made errors.
  std::size_t ranked_errors() const { return ranked_errors_; }

 private:
  void write_text(const Diagnostic& d, std::string_view line);
  void write_json(const Diagnostic& d);
  void write_sarif(const Diagnostic& d);

  std::string file_;
  WarningSwitches switches_;
  DiagnosticsFormat format_;
  std::ostream& out_;
  std::string text_;
  std::unique_ptr<SourceLines> lines_;  // made when a record first needs them
  std::vector<std::string> labels_;
  std::vector<Diagnostic>* records_ = nullptr;
  std::size_t written_ = 0;
  std::size_t errors_ = 0;
  std::size_t warnings_ = 0;
  std::size_t ranked_errors_ = 0;
  std::size_t hidden_errors_ = 0;
};
