// Runs: the board simulator's steps kept as arrays, and cdmsim's outputs
// written from them.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "cadmora.h"
#include "handles.h"
#include "outputs.h"
#include "timing_checks.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace {

const cadmora_run& run_of(const cadmora_run* run) {
  require(run != nullptr, "the run must not be NULL");
  return *run;
}

bool is_time(double ns) { return std::isfinite(ns) && ns >= 0; }

// A file of the system's temporary folder, removed once closed.
std::FILE* scratch_file() {
#if defined(_WIN32)
  wchar_t folder[MAX_PATH + 1];
  wchar_t name[MAX_PATH + 1];
  if (GetTempPathW(MAX_PATH + 1, folder) == 0 || GetTempFileNameW(folder, L"cdm", 0, name) == 0) return nullptr;
  return _wfopen(name, L"w+bTD");
#else
  return std::tmpfile();
#endif
}

// The output, and the place the diagram's title names.
OutputSettings output_settings(const cadmora_run& run, int output, OutputTarget target) {
  require(output == CADMORA_OUTPUT_TIMELINE || output == CADMORA_OUTPUT_VCD || output == CADMORA_OUTPUT_SVG,
          "the output is none of CADMORA_OUTPUT_TIMELINE, _VCD, _SVG");
  OutputSettings settings;
  (output == CADMORA_OUTPUT_TIMELINE ? settings.timeline : output == CADMORA_OUTPUT_VCD ? settings.vcd : settings.svg) =
      std::move(target);
  settings.writing = writer_settings(run.program->loaded, run.from_ns, run.settings.until_ns, run.timescale);
  settings.name = run.program->title;
  return settings;
}

// Replays the run's steps into the writers of `settings`.
int write_output(const cadmora_run& run, OutputSettings settings) {
  Writers writers(std::move(settings), run.program->loaded);
  std::string problem;
  if (!writers.open(problem)) return fail(CADMORA_ERROR_FILE, problem);
  run.steps.replay(run.program->loaded.program, run.end, writers);
  if (!writers.finish(run.end, run.error, problem)) return fail(CADMORA_ERROR_FILE, problem);
  return CADMORA_OK;
}

}  // namespace

extern "C" {

int cadmora_run_settings_init(cadmora_run_settings* settings) {
  return guarded([&]() -> int {
    require(settings != nullptr, "the settings must not be NULL");
    const SimulationSettings defaults;
    settings->until_ns = defaults.until_ns;
    settings->from_ns = 0;
    settings->wait_ns = defaults.wait_ns;
    settings->depth = defaults.depth;
    settings->max_steps = defaults.max_steps;
    settings->timescale = nullptr;
    return CADMORA_OK;
  });
}

int cadmora_simulate(const cadmora_program* program, const cadmora_run_settings* settings, cadmora_run** run) {
  return guarded([&]() -> int {
    require(run != nullptr, "the run result must not be NULL");
    *run = nullptr;
    require(program != nullptr && program->data != nullptr, "the program must not be NULL");
    require(settings != nullptr, "the settings must not be NULL");
    require(is_time(settings->until_ns), "until_ns must be a time of 0 or more");
    require(is_time(settings->from_ns), "from_ns must be a time of 0 or more");
    require(is_time(settings->wait_ns), "wait_ns must be a time of 0 or more");
    require(settings->depth <= kLongestNesting, "depth is more than the 65536 levels a board can hold");
    auto made = std::make_unique<cadmora_run>();
    made->program = program->data;
    made->settings.until_ns = settings->until_ns;
    made->settings.wait_ns = settings->wait_ns;
    made->settings.depth = settings->depth;
    made->settings.max_steps = settings->max_steps;
    made->from_ns = settings->from_ns;
    if (settings->timescale != nullptr) {
      made->timescale = parse_vcd_timescale(settings->timescale);
      if (!made->timescale)
        throw CallError(CADMORA_ERROR_ARGUMENT, "timescale " + timescale_problem(settings->timescale));
    }
    made->end = simulate(made->program->loaded.program, made->settings, made->steps);
    made->steps.finish();
    made->error = runtime_error_text(made->end, made->program->loaded.source_lines);
    *run = made.release();
    return CADMORA_OK;
  });
}

void cadmora_run_free(cadmora_run* run) { delete run; }

int cadmora_run_end_of(const cadmora_run* run, cadmora_run_end* end) {
  return guarded([&]() -> int {
    const cadmora_run& r = run_of(run);
    require(end != nullptr, "the result must not be NULL");
    end->reason = static_cast<int>(r.end.reason);
    end->cycle = r.end.cycle;
    end->steps = r.end.steps;
    end->error = r.error.c_str();
    return CADMORA_OK;
  });
}

int cadmora_run_steps(const cadmora_run* run, size_t first, size_t count, uint64_t* cycles, uint64_t* lengths,
                      uint32_t* outputs, uint32_t* addresses, uint32_t* lines) {
  return guarded([&]() -> int {
    const cadmora_run& r = run_of(run);
    const std::size_t size = r.steps.size();
    require(first <= size && count <= size - first, "the range runs past the last step");
    const std::uint32_t* kept_addresses = r.steps.addresses() + first;
    if (cycles != nullptr && count > 0) std::memcpy(cycles, r.steps.cycles() + first, count * sizeof *cycles);
    if (outputs != nullptr && count > 0) std::memcpy(outputs, r.steps.outputs() + first, count * sizeof *outputs);
    if (addresses != nullptr && count > 0) std::memcpy(addresses, kept_addresses, count * sizeof *addresses);
    if (lengths != nullptr)
      for (std::size_t i = 0; i < count; ++i) lengths[i] = r.steps.length(first + i, r.end.cycle);
    if (lines != nullptr)
      for (std::size_t i = 0; i < count; ++i) lines[i] = r.program->loaded.line_of(kept_addresses[i]);
    return CADMORA_OK;
  });
}

int cadmora_run_arrays(const cadmora_run* run, size_t* count, const uint64_t** cycles, const uint32_t** outputs,
                       const uint32_t** addresses) {
  return guarded([&]() -> int {
    const cadmora_run& r = run_of(run);
    require(count != nullptr, "the count must not be NULL");
    *count = r.steps.size();
    if (cycles != nullptr) *cycles = r.steps.cycles();
    if (outputs != nullptr) *outputs = r.steps.outputs();
    if (addresses != nullptr) *addresses = r.steps.addresses();
    return CADMORA_OK;
  });
}

int cadmora_run_diagnostics(const cadmora_run* run, cadmora_diagnostics** diagnostics) {
  return guarded([&]() -> int {
    const cadmora_run& r = run_of(run);
    require(diagnostics != nullptr, "the result must not be NULL");
    *diagnostics = collect_diagnostics(r.program->file, &r.program->source, [&](DiagnosticWriter& writer) {
                     if (r.timescale) add_timescale_finding(*r.timescale, r.program->loaded, writer);
                     add_run_findings(r.end, r.settings, r.program->loaded, writer);
                     add_window_finding(r.end, r.from_ns, r.program->loaded, writer);
                   }).release();
    return CADMORA_OK;
  });
}

int cadmora_run_write(const cadmora_run* run, int output, const char* path) {
  return guarded([&]() -> int {
    const cadmora_run& r = run_of(run);
    require(path != nullptr && *path != '\0', "the file name must not be NULL or empty");
    OutputTarget target;
    target.path = std::filesystem::u8path(path);
    return write_output(r, output_settings(r, output, std::move(target)));
  });
}

int cadmora_run_bytes(const cadmora_run* run, int output, char** bytes, size_t* length) {
  return guarded([&]() -> int {
    const cadmora_run& r = run_of(run);
    require(bytes != nullptr && length != nullptr, "the results must not be NULL");
    *bytes = nullptr;
    *length = 0;
    std::FILE* scratch = scratch_file();
    if (scratch == nullptr) return fail(CADMORA_ERROR_FILE, "cannot make a temporary file");
    struct Closer {
      std::FILE* file;
      ~Closer() { std::fclose(file); }
    } closer{scratch};
    OutputTarget target;
    target.stream = scratch;
    target.shown = "a temporary file";
    if (const int status = write_output(r, output_settings(r, output, std::move(target))); status != CADMORA_OK)
      return status;
    if (std::fflush(scratch) != 0 || std::fseek(scratch, 0, SEEK_END) != 0)
      return fail(CADMORA_ERROR_FILE, "cannot write a temporary file");
    const long size = std::ftell(scratch);
    if (size < 0) return fail(CADMORA_ERROR_FILE, "cannot read back a temporary file");
    char* kept = static_cast<char*>(std::malloc(static_cast<std::size_t>(size) + 1));
    if (kept == nullptr) return fail(CADMORA_ERROR_MEMORY, "out of memory");
    std::rewind(scratch);
    if (std::fread(kept, 1, static_cast<std::size_t>(size), scratch) != static_cast<std::size_t>(size)) {
      std::free(kept);
      return fail(CADMORA_ERROR_FILE, "cannot read back a temporary file");
    }
    kept[size] = '\0';
    *bytes = kept;
    *length = static_cast<std::size_t>(size);
    return CADMORA_OK;
  });
}

void cadmora_bytes_free(char* bytes) { std::free(bytes); }

}
