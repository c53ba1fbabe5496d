// Throughput of the whole run sequence on generated programs held in
// memory, against the null board, with and without the listing.
#include <benchmark/benchmark.h>

#include <ostream>
#include <streambuf>
#include <string>

#include "compiled_program.h"
#include "interpreter.h"
#include "null_board.h"
#include "program_generator.h"

namespace {

// Takes every character and keeps none.
class NullBuffer : public std::streambuf {
 protected:
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
  std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

void interpret(benchmark::State& state, bool listing) {
  const auto instructions = static_cast<std::uint64_t>(state.range(0));
  const std::string program = generate_program(instructions);
  NullBuffer buffer;
  std::ostream report(&buffer);
  NullBoard board;
  InterpreterOptions options;
  options.listing = listing;
  options.board = &board;
  for (auto _ : state) {
    const bool succeeded = run_interpreter(ProgramSource::from_text(program), options, report).programmed;
    if (!succeeded) state.SkipWithError("the generated program did not load");
    benchmark::DoNotOptimize(succeeded);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * instructions));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * program.size()));
}

// What a compile for a script asks: compile_program as libcadmora calls it,
// the program kept in a board held in memory, every error and warning as a
// record, each line's source line and each label's address.
void BM_InterpretIntoMemoryWithRecords(benchmark::State& state) {
  const auto instructions = static_cast<std::uint64_t>(state.range(0));
  const std::string program = generate_program(instructions);
  NullBuffer buffer;
  std::ostream report(&buffer);
  CompileSettings settings;
  settings.labels = true;
  for (auto _ : state) {
    LoadedProgram loaded;
    std::vector<Diagnostic> found;
    DiagnosticWriter writer("", WarningSwitches{}, DiagnosticsFormat::Text, report);
    writer.keep_records(&found);
    if (!compile_program(program, settings, loaded, writer, report))
      state.SkipWithError("the generated program did not load");
    writer.finish();
    benchmark::DoNotOptimize(loaded.program);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * instructions));
}

void BM_InterpretWithoutListing(benchmark::State& state) { interpret(state, false); }
void BM_InterpretWithListing(benchmark::State& state) { interpret(state, true); }

BENCHMARK(BM_InterpretWithoutListing)->Arg(10000)->Arg(32768)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InterpretIntoMemoryWithRecords)->Arg(32768)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InterpretWithListing)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
