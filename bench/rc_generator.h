// A deterministic generator of large, realistic resource scripts, for the benchmarks: the same
// seed and size give the same bytes on every platform.
#ifndef TABLEMEND_BENCH_RC_GENERATOR_H
#define TABLEMEND_BENCH_RC_GENERATOR_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace tablemend::bench {

// Appends sections to `script` until it holds at least `size` bytes, with CR LF line ends:
// comments, preprocessor lines, dialogs, menus and version blocks, and many STRINGTABLE blocks
// (BEGIN/END and braces) in which about a quarter of the entries hold "" and a few lines are
// longer than the 1023-character chunk.
struct ScriptGenerator {
  std::uint64_t state;
  explicit ScriptGenerator(std::uint64_t seed) : state(seed * 2 + 1) {}
};

void AppendSection(ScriptGenerator& generator, std::string& script);
std::string GenerateScript(std::uint64_t seed, std::size_t size);

// The same ASCII text as UTF-16 little-endian, after a byte-order mark, as Visual Studio saves a
// script; with `mark` false, without it.
std::string ToUtf16LittleEndian(const std::string& ascii, bool mark = true);

}  // namespace tablemend::bench

#endif
