#include "text/text_pass_through.h"

#include <cstring>

namespace tablemend {

namespace {

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

template <typename Unit>
std::basic_string_view<Unit> ReplaceChunk(BasicTextPassThrough<Unit>& text,
                                          typename UnitsOf<Unit>::View line) {
  WritePassedUnits(text, text.current);
  WriteLineChunk(text.writer, line);
  text.unwritten = text.reader.begin;
  text.currentEndsInBareLf = false;
  std::size_t length = text.reader.begin - text.current;
  const Unit* chunk = text.reader.buffer.get() + text.current;
  const bool crLf = length >= 2 && chunk[length - 2] == '\r' && chunk[length - 1] == '\n';
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
