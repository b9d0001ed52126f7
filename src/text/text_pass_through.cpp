#include "text/text_pass_through.h"

#include <cstring>

namespace tablemend {

namespace {

#if defined(__GNUC__)
#define TABLEMEND_OUT_OF_LINE __attribute__((noinline))
#elif defined(_MSC_VER)
#define TABLEMEND_OUT_OF_LINE __declspec(noinline)
#else
#define TABLEMEND_OUT_OF_LINE
#endif

// Writes the units that have passed, up to `until`.
template <typename Unit>
void WritePassedUnits(BasicTextPassThrough<Unit>& text, std::size_t until) {
  WriteStoredUnits(text.writer, text.reader.buffer.get() + text.unwritten, until - text.unwritten);
  text.unwritten = until;
}

}  // namespace

// The one place where the stored units differ from what is written: the run up to the line
// feed goes out, then CR LF.
template <typename Unit>
void WriteBareLfAsCrLf(BasicTextPassThrough<Unit>& text) {
  WritePassedUnits(text, text.reader.begin - 1);
  WriteStoredUnits(text.writer, kCrLf<Unit>, 2);
  text.unwritten = text.reader.begin;
  text.currentEndsInBareLf = false;
}

// A refill moves what is left to the front of the buffer: what has passed goes out first.
template <typename Unit>
void FillBuffer(BasicTextPassThrough<Unit>& text) {
  WritePassedChunks(text);
  if (text.reader.begin > 0) {
    text.frontStartsLine = text.reader.buffer[text.reader.begin - 1] == '\n';
  }
  FillChunkWindow(text.reader);
  text.unwritten = text.reader.begin;
}

template <typename Unit>
void WritePassedChunks(BasicTextPassThrough<Unit>& text) {
  WritePassedUnits(text, text.reader.begin);
}

// The line with the line end the chunk was stored with: "\r\n", "\n", or none. Kept out of
// line, as a rare step, so that the converter's per-line code stays small enough to inline.
template <typename Unit>
TABLEMEND_OUT_OF_LINE void WriteWithStoredLineEnd(BasicTextWriter<Unit>& writer,
                                                  typename UnitsOf<Unit>::View line,
                                                  const Unit* chunk, std::size_t length,
                                                  bool crLf) {
  if (!line.empty() && line.back() == '\n') {
    line.remove_suffix(1);
  }
  WriteStoredUnits(writer, line.data(), line.size());
  const std::size_t ending = crLf ? 2 : length > 0 && chunk[length - 1] == '\n' ? 1 : 0;
  WriteStoredUnits(writer, chunk + length - ending, ending);
}

template <typename Unit>
std::basic_string_view<Unit> ReplaceChunk(BasicTextPassThrough<Unit>& text,
                                          typename UnitsOf<Unit>::View line) {
  WritePassedUnits(text, text.current);
  std::size_t length = text.reader.begin - text.current;
  const Unit* chunk = text.reader.buffer.get() + text.current;
  const bool crLf = length >= 2 && chunk[length - 2] == '\r' && chunk[length - 1] == '\n';
  if (text.writer.keepsLineEnds) {
    WriteWithStoredLineEnd(text.writer, line, chunk, length, crLf);
  } else {
    WriteLineChunk(text.writer, line);
  }
  text.unwritten = text.reader.begin;
  text.currentEndsInBareLf = false;
  length -= crLf;
  std::memcpy(text.replaced, chunk, length * sizeof(Unit));
  if (crLf) {
    text.replaced[length - 1] = '\n';
  }
  return std::basic_string_view<Unit>(text.replaced, length);
}

// The two code-unit widths: bytes, and UTF-16 units.
#define TABLEMEND_TEXT_PASS_THROUGH_FOR(Unit)                                     \
  template void WriteBareLfAsCrLf(BasicTextPassThrough<Unit>&);                   \
  template void FillBuffer(BasicTextPassThrough<Unit>&);                          \
  template void WritePassedChunks(BasicTextPassThrough<Unit>&);                   \
  template std::basic_string_view<Unit> ReplaceChunk(BasicTextPassThrough<Unit>&, \
                                                     UnitsOf<Unit>::View);
TABLEMEND_TEXT_PASS_THROUGH_FOR(char)
TABLEMEND_TEXT_PASS_THROUGH_FOR(char16_t)

}  // namespace tablemend
