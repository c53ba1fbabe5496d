// What libcadmora's opaque handles hold, and how every call keeps errors
// inside the library: each entry runs in guarded(), which turns an
// exception into an error code and the thread's last error text.
#pragma once

#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cadmora.h"
#include "compiled_program.h"
#include "diagnostic.h"
#include "diagnostic_output.h"
#include "simulation.h"
#include "step_store.h"
#include "vcd_timescale.h"

// A compiled program with the source it came from, shared by the runs made
// from it, which outlive its handle.
struct ProgramData {
  std::string source;
  std::string file;   // as messages show it
  std::string title;  // the file's name, in UTF-8, as the diagram's title shows it
  LoadedProgram loaded;
  // Made when first asked for.
  mutable std::once_flag listing_made;
  mutable std::string listing;
};

struct cadmora_program {
  std::shared_ptr<const ProgramData> data;
};

struct cadmora_diagnostics {
  std::vector<Diagnostic> records;
  std::string text;
};

struct cadmora_run {
  std::shared_ptr<const ProgramData> program;
  SimulationSettings settings;
  double from_ns = 0;
  std::optional<VcdTimescale> timescale;
  StepStore steps;
  RunEnd end;
  std::string error;  // the error with its place
};

struct cadmora_board {
  int number = 0;
  std::string report;
  std::string version;
};

// Sets the calling thread's last error; returns `code`.
int fail(int code, std::string message);

// A failure with its code, thrown inside a call and caught at its edge.
struct CallError : std::runtime_error {
  CallError(int code, const std::string& message) : std::runtime_error(message), code(code) {}
  int code;
};

inline void require(bool holds, const char* problem) {
  if (!holds) throw CallError(CADMORA_ERROR_ARGUMENT, problem);
}

// Runs `body`, which returns an error code; nothing it throws leaves.
template <typename Body>
int guarded(Body&& body) noexcept {
  try {
    return body();
  } catch (const CallError& error) {
    return fail(error.code, error.what());
  } catch (const std::bad_alloc&) {
    return fail(CADMORA_ERROR_MEMORY, "out of memory");
  } catch (const std::exception& error) {
    return fail(CADMORA_ERROR_INTERNAL, error.what());
  } catch (...) {
    return fail(CADMORA_ERROR_INTERNAL, "unknown error");
  }
}

// The records `fill` hands the writer it is given, kept and shown as cdmsim
// shows them, placed in the lines of `source` (when given).
template <typename Fill>
std::unique_ptr<cadmora_diagnostics> collect_diagnostics(const std::string& file, const std::string* source,
                                                         Fill&& fill) {
  auto found = std::make_unique<cadmora_diagnostics>();
  std::ostringstream text;
  DiagnosticWriter writer(file, WarningSwitches{}, DiagnosticsFormat::Text, text);
  writer.keep_records(&found->records);
  if (source != nullptr) writer.set_source(*source, {});
  fill(writer);
  writer.finish();
  found->text = text.str();
  return found;
}
