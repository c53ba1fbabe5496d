// Compiling, and what a compiled program shows: its instructions, labels,
// listing and timing checks.
#include <cstring>
#include <filesystem>
#include <sstream>

#include "cadmora.h"
#include "file_names.h"
#include "handles.h"
#include "interpreter.h"
#include "memory_board.h"

namespace {

const ProgramData& program_of(const cadmora_program* program) {
  require(program != nullptr && program->data != nullptr, "the program must not be NULL");
  return *program->data;
}

void check_range(std::size_t first, std::size_t count, std::size_t size) {
  require(first <= size && count <= size - first, "the range runs past the end");
}

int compile(std::string source, std::string file, std::string title, double clock_mhz, cadmora_program** program,
            cadmora_diagnostics** diagnostics) {
  if (program != nullptr) *program = nullptr;
  if (diagnostics != nullptr) *diagnostics = nullptr;
  require(program != nullptr, "the program result must not be NULL");
  require(clock_gives_finite_times(clock_mhz),
          "the clock must be above 0 MHz, and fast enough that a run's times can be counted");
  auto data = std::make_shared<ProgramData>();
  data->file = std::move(file);
  data->title = std::move(title);
  CompileSettings settings;
  settings.clock_mhz = clock_mhz;
  settings.labels = true;
  bool compiled = false;
  auto found = collect_diagnostics(data->file, nullptr, [&](DiagnosticWriter& writer) {
    std::ostringstream no_listing;
    compiled = compile_program(std::move(source), settings, data->loaded, writer, no_listing);
    data->source = writer.take_source();
  });
  std::string first_error = "it does not compile";
  for (const Diagnostic& d : found->records)
    if (d.severity == Severity::Error) {
      first_error = d.message;
      break;
    }
  if (diagnostics != nullptr) *diagnostics = found.release();
  if (!compiled) return fail(CADMORA_ERROR_COMPILE, "the program does not compile: " + first_error);
  *program = new cadmora_program{std::move(data)};
  return CADMORA_OK;
}

}  // namespace

extern "C" {

int cadmora_compile_text(const char* text, size_t length, const char* file_name, double clock_mhz,
                         cadmora_program** program, cadmora_diagnostics** diagnostics) {
  return guarded([&]() -> int {
    require(text != nullptr || length == 0, "the text must not be NULL");
    require(length == 0 || std::memchr(text, '\0', length) == nullptr, "the text holds a NUL character");
    const std::string name = file_name == nullptr ? "" : file_name;
    return compile(std::string(text == nullptr ? "" : text, length), name,
                   std::filesystem::u8path(name).filename().u8string(), clock_mhz, program, diagnostics);
  });
}

int cadmora_compile_file(const char* path, double clock_mhz, cadmora_program** program,
                         cadmora_diagnostics** diagnostics) {
  return guarded([&]() -> int {
    if (program != nullptr) *program = nullptr;
    if (diagnostics != nullptr) *diagnostics = nullptr;
    require(path != nullptr && *path != '\0', "the file name must not be NULL or empty");
    const std::filesystem::path file = std::filesystem::u8path(path);
    std::string text;
    std::string problem;
    if (!read_program(file, text, problem)) return fail(CADMORA_ERROR_FILE, problem);
    require(text.find('\0') == std::string::npos, "the file holds a NUL character");
    return compile(std::move(text), shown_path(file), file.filename().u8string(), clock_mhz, program, diagnostics);
  });
}

void cadmora_program_free(cadmora_program* program) { delete program; }

int cadmora_program_size(const cadmora_program* program, size_t* instructions) {
  return guarded([&]() -> int {
    const ProgramData& data = program_of(program);
    require(instructions != nullptr, "the result must not be NULL");
    *instructions = data.loaded.program.instructions.size();
    return CADMORA_OK;
  });
}

int cadmora_program_clock(const cadmora_program* program, double* clock_mhz) {
  return guarded([&]() -> int {
    const ProgramData& data = program_of(program);
    require(clock_mhz != nullptr, "the result must not be NULL");
    *clock_mhz = data.loaded.program.clock_mhz;
    return CADMORA_OK;
  });
}

int cadmora_program_instructions(const cadmora_program* program, size_t first, size_t count, uint32_t* outputs,
                                 int32_t* opcodes, int32_t* data, double* durations_ns, uint32_t* lines) {
  return guarded([&]() -> int {
    const LoadedProgram& loaded = program_of(program).loaded;
    const auto& instructions = loaded.program.instructions;
    check_range(first, count, instructions.size());
    for (std::size_t i = 0; i < count; ++i) {
      const InstructionFields& instruction = instructions[first + i];
      if (outputs != nullptr) outputs[i] = instruction.output_value;
      if (opcodes != nullptr) opcodes[i] = instruction.opcode;
      if (data != nullptr) data[i] = instruction.data;
      if (durations_ns != nullptr) durations_ns[i] = instruction.duration_ns;
      if (lines != nullptr) lines[i] = loaded.line_of(first + i);
    }
    return CADMORA_OK;
  });
}

int cadmora_program_label_count(const cadmora_program* program, size_t* count) {
  return guarded([&]() -> int {
    const ProgramData& data = program_of(program);
    require(count != nullptr, "the result must not be NULL");
    *count = data.loaded.labels.size();
    return CADMORA_OK;
  });
}

int cadmora_program_label(const cadmora_program* program, size_t index, const char** name, uint32_t* address) {
  return guarded([&]() -> int {
    const auto& labels = program_of(program).loaded.labels;
    require(index < labels.size(), "the index is past the last label");
    if (name != nullptr) *name = labels[index].first.c_str();
    if (address != nullptr) *address = labels[index].second;
    return CADMORA_OK;
  });
}

int cadmora_program_output_name(const cadmora_program* program, unsigned output, const char** name) {
  return guarded([&]() -> int {
    const ProgramData& data = program_of(program);
    require(output < kOutputCount, "the output is not one of 0 to 23");
    require(name != nullptr, "the result must not be NULL");
    *name = data.loaded.outputs.names[output].c_str();
    return CADMORA_OK;
  });
}

int cadmora_program_listing(const cadmora_program* program, const char** text) {
  return guarded([&]() -> int {
    const ProgramData& data = program_of(program);
    require(text != nullptr, "the result must not be NULL");
    // The interpreter's pass again, into a board held in memory, listing.
    std::call_once(data.listing_made, [&] {
      MemoryBoard board;
      InterpreterOptions options;
      options.clock_mhz = data.loaded.program.clock_mhz;
      options.listing = true;
      options.board = &board;
      std::ostringstream listing;
      run_interpreter(ProgramSource::from_text(data.source), options, listing);
      data.listing = listing.str();
    });
    *text = data.listing.c_str();
    return CADMORA_OK;
  });
}

int cadmora_program_check(const cadmora_program* program, uint64_t min_cycles, uint64_t memory,
                          cadmora_diagnostics** diagnostics) {
  return guarded([&]() -> int {
    const ProgramData& data = program_of(program);
    require(diagnostics != nullptr, "the result must not be NULL");
    CheckSettings checks;
    checks.min_cycles = min_cycles;
    checks.memory = memory;
    *diagnostics = collect_diagnostics(data.file, &data.source, [&](DiagnosticWriter& writer) {
                     add_timing_findings(data.loaded, checks, writer);
                   }).release();
    return CADMORA_OK;
  });
}

}
