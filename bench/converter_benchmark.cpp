// The converter's own cost, in memory, apart from the file system: bytes per second through
// ConvertStringTables for a generated script.
#include <benchmark/benchmark.h>

#include <string>

#include "convert/string_table_converter.h"
#include "rc_generator.h"

namespace {

void BM_ConvertStringTables(benchmark::State& state) {
  const std::string script =
      tablemend::bench::GenerateScript(1, static_cast<std::size_t>(state.range(0)) << 20);
  std::string output;
  output.reserve(script.size() + script.size() / 8);
  const tablemend::RunSettings settings;
  long long changes = 0;
  for (auto _ : state) {
    output.clear();
    tablemend::TextReader reader;
    tablemend::AttachTextReader(script, reader);
    tablemend::TextWriter writer;
    tablemend::AttachTextWriter(output, writer);
    tablemend::ConvertStringTables(reader, writer, settings,
                                   [&changes](const tablemend::ChangeRecord&) { ++changes; });
    tablemend::CloseTextWriter(writer);
    benchmark::DoNotOptimize(output.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(script.size()));
  state.counters["changes"] =
      static_cast<double>(changes) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_ConvertStringTables)->Arg(16)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
