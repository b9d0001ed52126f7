// A text passed from a reader to a writer chunk by chunk: every chunk goes to the writer as it
// was stored unless the caller replaces it. Chunks that pass are not copied one by one but as
// runs, straight from the read buffer, broken only where the buffer is filled again and where a
// line feed without a CR before it must gain one.
#ifndef TABLEMEND_TEXT_TEXT_PASS_THROUGH_H
#define TABLEMEND_TEXT_TEXT_PASS_THROUGH_H

#include <cstddef>
#include <string_view>

#include "text/text_reader.h"
#include "text/text_writer.h"

namespace tablemend {

template <typename Unit>
struct BasicTextPassThrough {
  BasicTextReader<Unit>& reader;
  BasicTextWriter<Unit>& writer;
  std::size_t unwritten = 0;  // reader.buffer[unwritten, current) has passed, still to be written
  std::size_t current = 0;    // where the current chunk starts in the buffer
  bool currentEndsInBareLf = false;  // and the writer makes it CR LF
  bool frontStartsLine = true;       // the unit at the buffer's front starts a line
  // The chunk last replaced, as read: a final CR LF as one line feed.
  Unit replaced[kMinimumTextBufferSize];

  BasicTextPassThrough(BasicTextReader<Unit>& from, BasicTextWriter<Unit>& to)
      : reader(from), writer(to) {}
};

// The rarer steps of NextChunk: a bare line feed written as CR LF, a refill of the buffer, the
// end of the input.
template <typename Unit>
void WriteBareLfAsCrLf(BasicTextPassThrough<Unit>& text);
template <typename Unit>
void FillBuffer(BasicTextPassThrough<Unit>& text);
template <typename Unit>
void WritePassedChunks(BasicTextPassThrough<Unit>& text);

// Moves on to the next chunk, as stored (a final CR LF still two units), valid until the next
// call; the current one goes to the writer unless it was replaced. False at the end of the input,
// once everything is written.
template <typename Unit>
inline bool NextChunk(BasicTextPassThrough<Unit>& text, std::basic_string_view<Unit>& chunk) {
  if (text.currentEndsInBareLf) {
    WriteBareLfAsCrLf(text);
  }
  if (ChunkWindowIsShort(text.reader)) {
    FillBuffer(text);
  }
  text.current = text.reader.begin;
  ChunkEnd ending;
  if (!TakeChunk(text.reader, chunk, ending)) {
    WritePassedChunks(text);
    return false;
  }
  text.currentEndsInBareLf = ending == ChunkEnd::kBareLf && !text.writer.keepsLineEnds;
  return true;
}

// Moves on while `passes(chunk)` holds, up to and including the first chunk for which it does
// not, which becomes the current one. Returns how many chunks it moved over, that one included;
// `stopped` is false when the input ended first.
template <typename Unit, typename Passes>
inline long long PassChunksWhile(BasicTextPassThrough<Unit>& text, Passes passes,
                                 std::basic_string_view<Unit>& chunk, bool& stopped) {
  long long count = 0;
  while (NextChunk(text, chunk)) {
    ++count;
    if (!passes(chunk)) {
      stopped = true;
      return count;
    }
  }
  stopped = false;
  return count;
}

// True when the current chunk starts a line, rather than continuing one too long for a chunk:
// the unit before it is a line feed, or it is the first.
template <typename Unit>
inline bool ChunkStartsLine(const BasicTextPassThrough<Unit>& text) {
  return text.current == 0 ? text.frontStartsLine : text.reader.buffer[text.current - 1] == '\n';
}

// True when the chunks taken so far end a line: the last ended in a line feed, or there was none.
template <typename Unit>
inline bool TakenChunksEndLine(const BasicTextPassThrough<Unit>& text) {
  const std::size_t end = text.reader.begin;
  return end == 0 ? text.frontStartsLine : text.reader.buffer[end - 1] == '\n';
}

// Writes `line` (a line feed at most as its last unit) instead of the current chunk, and returns
// that chunk as read, a final CR LF as one line feed, valid until the next replacement. Where the
// writer keeps line ends, the line goes out with the chunk's own line end, or none, instead.
template <typename Unit>
std::basic_string_view<Unit> ReplaceChunk(BasicTextPassThrough<Unit>& text,
                                          typename UnitsOf<Unit>::View line);

}  // namespace tablemend

#endif
