// The converter's own cost, in memory, apart from the file system: bytes per second through
// ConvertStringTables for a generated script, as ANSI text and as the same text in UTF-16.
#include <benchmark/benchmark.h>

#include <string>

#include "convert/string_table_converter.h"
#include "rc_generator.h"

namespace {

template <typename Unit>
void BM_ConvertStringTables(benchmark::State& state) {
  std::string script =
      tablemend::bench::GenerateScript(1, static_cast<std::size_t>(state.range(0)) << 20);
  tablemend::TextFormat format;
  if (sizeof(Unit) == 2) {
    script = tablemend::bench::ToUtf16LittleEndian(script);
    format = {tablemend::TextEncoding::kUtf16LittleEndian, true};
  }
  std::string output;
  output.reserve(script.size() + script.size() / 8);
  long long changes = 0;
  for (auto _ : state) {
    output.clear();
    tablemend::BasicTextReader<Unit> reader;
    tablemend::AttachTextReader(script, format, reader);
    tablemend::BasicTextWriter<Unit> writer;
    tablemend::AttachTextWriter(output, format, writer);
    tablemend::ConvertStringTables<Unit>(
        reader, writer, [&changes](const tablemend::BasicChangeRecord<Unit>&) { ++changes; });
    tablemend::CloseTextWriter(writer);
    benchmark::DoNotOptimize(output.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(script.size()));
  state.counters["changes"] =
      static_cast<double>(changes) / static_cast<double>(state.iterations());
}
BENCHMARK_TEMPLATE(BM_ConvertStringTables, char)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_ConvertStringTables, char16_t)->Arg(16)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
