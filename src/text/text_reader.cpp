#include "text/text_reader.h"

#include <algorithm>
#include <cstring>

#include "text/unit_search.h"

namespace tablemend {

namespace {

template <typename Unit>
std::ptrdiff_t ReadRawBytes(BasicTextReader<Unit>& reader, char* destination,
                            std::size_t capacity) {
  if (!reader.fromMemory) {
    return ReadBytes(reader.file, destination, capacity);
  }
  const std::size_t count = std::min(capacity, reader.unreadMemory.size());
  std::memcpy(destination, reader.unreadMemory.data(), count);
  reader.unreadMemory.remove_prefix(count);
  return static_cast<std::ptrdiff_t>(count);
}

// Reads whole code units in this machine's byte order; -1 on an error, and when the input ends
// inside a code unit.
template <typename Unit>
std::ptrdiff_t ReadUnits(BasicTextReader<Unit>& reader, Unit* destination, std::size_t capacity) {
  char* bytes = reinterpret_cast<char*>(destination);
  std::ptrdiff_t count = ReadRawBytes(reader, bytes, capacity * sizeof(Unit));
  // A read may stop inside a code unit: the rest of it comes with the next.
  while (count > 0 && count % static_cast<std::ptrdiff_t>(sizeof(Unit)) != 0) {
    const std::ptrdiff_t more = ReadRawBytes(reader, bytes + count, 1);
    count = more > 0 ? count + more : -1;
  }
  if (count <= 0) {
    return count;
  }
  const std::size_t units = static_cast<std::size_t>(count) / sizeof(Unit);
  if (reader.swapBytes) {
    SwapBytes(destination, units);
  }
  return static_cast<std::ptrdiff_t>(units);
}

// Moves the waiting units to the front of the buffer and reads more after them, up to a Ctrl-Z,
// marking the line feeds of what moved or came in.
template <typename Unit>
void RefillReader(BasicTextReader<Unit>& reader) {
  Unit* base = reader.buffer.get();
  const std::size_t waiting = reader.end - reader.begin;
  // Marks start at a word's first unit: from the front after a move, else in the last word.
  std::size_t unmarked = reader.end / kUnitsPerMarkWord * kUnitsPerMarkWord;
  if (reader.begin > 0) {
    std::memmove(base, base + reader.begin, waiting * sizeof(Unit));
    reader.begin = 0;
    reader.end = waiting;
    unmarked = 0;
  }
  std::ptrdiff_t count = ReadUnits(reader, base + waiting, reader.capacity - waiting);
  if (count <= 0) {
    reader.readFailed = count < 0;
    reader.inputEnded = true;
    count = 0;
  }
  const Unit* stop = FindUnit(base + waiting, static_cast<std::size_t>(count), Unit{0x1A});
  if (stop != nullptr) {
    count = stop - (base + waiting);
    reader.inputEnded = true;
  }
  reader.end += static_cast<std::size_t>(count);
  MarkUnits(base + unmarked, reader.end - unmarked, Unit{'\n'},
            reader.lineFeeds.get() + unmarked / kUnitsPerMarkWord);
}

// Readies a reader for the text of this format: its buffer, its byte order, and the byte-order
// mark taken off the front of the input.
template <typename Unit>
void StartTextReader(const TextFormat& format, BasicTextReader<Unit>& reader,
                     std::size_t bufferSize) {
  AllocateTextBuffer(reader.buffer, reader.capacity, bufferSize);
  reader.lineFeeds.reset(new std::uint64_t[reader.capacity / kUnitsPerMarkWord + 1]());
  reader.swapBytes = StoredSwapped(format.encoding);
  Unit mark;
  if (format.byteOrderMark && ReadUnits(reader, &mark, 1) != 1) {
    reader.readFailed = reader.inputEnded = true;
  }
}

}  // namespace

template <typename Unit>
bool OpenTextReader(const std::string& path, const TextFormat& format,
                    BasicTextReader<Unit>& reader) {
  if (!OpenForReading(path, reader.file)) {
    return false;
  }
  StartTextReader(format, reader, kTextBufferSize);
  return true;
}

template <typename Unit>
void AttachTextReader(std::string_view bytes, const TextFormat& format,
                      BasicTextReader<Unit>& reader, std::size_t bufferSize) {
  reader.fromMemory = true;
  reader.unreadMemory = bytes;
  StartTextReader(format, reader, bufferSize);
}

namespace {

template <typename Unit>
bool WindowIsShort(const BasicTextReader<Unit>& reader) {
  return reader.end - reader.begin < kChunkWindow && !reader.inputEnded;
}

// Where the next chunk lies in the buffer, found without changing a unit.
struct ChunkExtent {
  std::size_t stored = 0;  // the units it takes in the buffer
  bool bareLf = false;     // it ends in an LF with no CR before it
};

// Needs a full window (or the end of the input) waiting; false when nothing is left.
template <typename Unit>
bool MeasureNextChunk(const BasicTextReader<Unit>& reader, ChunkExtent& extent) {
  const Unit* start = reader.buffer.get() + reader.begin;
  const std::size_t window = std::min(reader.end - reader.begin, kChunkWindow);
  if (window == 0) {
    return false;
  }
  const std::size_t lineEnd =
      FindMarked(reader.lineFeeds.get(), reader.begin, reader.begin + window) - reader.begin;
  const bool lineFeed = lineEnd < window;
  const bool crLf = lineFeed && lineEnd > 0 && start[lineEnd - 1] == '\r';
  extent.bareLf = !crLf && lineFeed && lineEnd < kMaxChunkLength;
  if (crLf || extent.bareLf) {
    extent.stored = lineEnd + 1;
  } else {
    // No line end within reach: as many units as a chunk holds, or all that is left. A CR among
    // them is a lone one, as a CR LF pair would have ended the chunk above.
    extent.stored = std::min(window, kMaxChunkLength);
  }
  return true;
}

// Writes the units passed over up to `until`, which become written.
template <typename Unit>
void WritePassedUnits(BasicTextReader<Unit>& reader, BasicTextWriter<Unit>& writer,
                      std::size_t until) {
  WriteStoredUnits(writer, reader.buffer.get() + reader.copied, until - reader.copied);
  reader.copied = until;
}

// The one place where the stored units differ from what is written: a line feed without a CR
// before it. The run up to it goes out, then CR LF.
template <typename Unit>
void SettleLastChunk(BasicTextReader<Unit>& reader, BasicTextWriter<Unit>& writer) {
  if (reader.lastEndsInBareLf) {
    WritePassedUnits(reader, writer, reader.begin - 1);
    WriteStoredUnits(writer, kCrLf<Unit>, 2);
    reader.copied = reader.begin;
    reader.lastEndsInBareLf = false;
  }
}

}  // namespace

template <typename Unit>
bool NextStoredChunkSlowly(BasicTextReader<Unit>& reader, BasicTextWriter<Unit>& writer,
                           std::basic_string_view<Unit>& chunk) {
  SettleLastChunk(reader, writer);
  if (WindowIsShort(reader)) {
    // A refill moves what is left to the front of the buffer.
    WritePassedUnits(reader, writer, reader.begin);
    while (WindowIsShort(reader)) {
      RefillReader(reader);
    }
    reader.copied = reader.begin;
  }
  ChunkExtent extent;
  if (!MeasureNextChunk(reader, extent)) {
    WritePassedUnits(reader, writer, reader.begin);
    return false;
  }
  chunk = std::basic_string_view<Unit>(reader.buffer.get() + reader.begin, extent.stored);
  reader.lastChunk = reader.begin;
  reader.lastEndsInBareLf = extent.bareLf;
  reader.begin += extent.stored;
  return true;
}

template <typename Unit>
std::basic_string_view<Unit> ReplaceLastChunk(BasicTextReader<Unit>& reader,
                                              BasicTextWriter<Unit>& writer,
                                              typename UnitsOf<Unit>::View line) {
  WritePassedUnits(reader, writer, reader.lastChunk);
  WriteLineChunk(writer, line);
  reader.copied = reader.begin;
  reader.lastEndsInBareLf = false;
  Unit* start = reader.buffer.get() + reader.lastChunk;
  std::size_t length = reader.begin - reader.lastChunk;
  if (length >= 2 && start[length - 2] == '\r' && start[length - 1] == '\n') {
    // Read as one line feed: the LF takes the CR's place, in the buffer, which is not written.
    start[--length - 1] = '\n';
  }
  return std::basic_string_view<Unit>(start, length);
}

// The two code-unit widths: bytes, and UTF-16 units.
#define TABLEMEND_TEXT_READER_FOR(Unit)                                                        \
  template bool OpenTextReader(const std::string&, const TextFormat&, BasicTextReader<Unit>&); \
  template void AttachTextReader(std::string_view, const TextFormat&, BasicTextReader<Unit>&,  \
                                 std::size_t);                                                 \
  template bool NextStoredChunkSlowly(BasicTextReader<Unit>&, BasicTextWriter<Unit>&,          \
                                      std::basic_string_view<Unit>&);                          \
  template std::basic_string_view<Unit> ReplaceLastChunk(                                      \
      BasicTextReader<Unit>&, BasicTextWriter<Unit>&, UnitsOf<Unit>::View);
TABLEMEND_TEXT_READER_FOR(char)
TABLEMEND_TEXT_READER_FOR(char16_t)

}  // namespace tablemend
