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

// Moves the waiting units to the front of the buffer and reads more after them, up to a Ctrl-Z.
template <typename Unit>
void RefillReader(BasicTextReader<Unit>& reader) {
  Unit* base = reader.buffer.get();
  const std::size_t waiting = reader.end - reader.begin;
  std::memmove(base, base + reader.begin, waiting * sizeof(Unit));
  reader.begin = 0;
  reader.end = waiting;
  std::ptrdiff_t count = ReadUnits(reader, base + waiting, reader.capacity - waiting);
  if (count <= 0) {
    reader.readFailed = count < 0;
    reader.inputEnded = true;
    return;
  }
  const Unit* mark = FindUnit(base + waiting, static_cast<std::size_t>(count), Unit{0x1A});
  if (mark != nullptr) {
    count = mark - (base + waiting);
    reader.inputEnded = true;
  }
  reader.end += static_cast<std::size_t>(count);
}

// Readies a reader for the text of this format: its buffer, its byte order, and the byte-order
// mark taken off the front of the input.
template <typename Unit>
void StartTextReader(const TextFormat& format, BasicTextReader<Unit>& reader,
                     std::size_t bufferSize) {
  AllocateTextBuffer(reader.buffer, reader.capacity, bufferSize);
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

// The stored units of a chunk are at most one more than its characters: a CR LF pair is one
// character. So the next chunk is decided by the next kMaxChunkLength + 1 units; fewer will do
// only at the end of the input.
constexpr std::size_t kChunkWindow = kMaxChunkLength + 1;

template <typename Unit>
bool WindowIsShort(const BasicTextReader<Unit>& reader) {
  return reader.end - reader.begin < kChunkWindow && !reader.inputEnded;
}

// Where the next chunk lies in the buffer, found without changing a unit.
struct ChunkExtent {
  std::size_t stored = 0;  // the units it takes in the buffer
  bool crLf = false;       // it ends in CR LF, which reads as one LF
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
  const Unit* lineFeed = FindUnit(start, window, Unit{'\n'});
  const std::size_t lineEnd =
      lineFeed != nullptr ? static_cast<std::size_t>(lineFeed - start) : window;
  extent.crLf = lineFeed != nullptr && lineEnd > 0 && start[lineEnd - 1] == '\r';
  extent.bareLf = !extent.crLf && lineFeed != nullptr && lineEnd < kMaxChunkLength;
  if (extent.crLf || extent.bareLf) {
    extent.stored = lineEnd + 1;
  } else {
    // No line end within reach: as many units as a chunk holds, or all that is left. A CR among
    // them is a lone one, as a CR LF pair would have ended the chunk above.
    extent.stored = std::min(window, kMaxChunkLength);
  }
  return true;
}

}  // namespace

template <typename Unit>
bool ReadLineChunk(BasicTextReader<Unit>& reader, std::basic_string_view<Unit>& chunk) {
  while (WindowIsShort(reader)) {
    RefillReader(reader);
  }
  ChunkExtent extent;
  if (!MeasureNextChunk(reader, extent)) {
    return false;
  }
  Unit* start = reader.buffer.get() + reader.begin;
  if (extent.crLf) {
    // The LF takes the CR's place, in the buffer itself.
    start[extent.stored - 2] = '\n';
  }
  chunk = std::basic_string_view<Unit>(start, extent.crLf ? extent.stored - 1 : extent.stored);
  reader.begin += extent.stored;
  return true;
}

template <typename Unit>
long long CopyLineChunksUntil(BasicTextReader<Unit>& reader, BasicTextWriter<Unit>& writer,
                              bool (*stopAfter)(std::basic_string_view<Unit> chunk),
                              bool& stopped) {
  long long count = 0;
  std::size_t runStart = reader.begin;  // units passed over and not yet copied start here
  const auto copyRun = [&](std::size_t runEnd) {
    WriteStoredUnits(writer, reader.buffer.get() + runStart, runEnd - runStart);
  };
  for (;;) {
    if (WindowIsShort(reader)) {
      copyRun(reader.begin);
      while (WindowIsShort(reader)) {
        RefillReader(reader);
      }
      runStart = reader.begin;
    }
    ChunkExtent extent;
    if (!MeasureNextChunk(reader, extent)) {
      copyRun(reader.begin);
      stopped = false;
      return count;
    }
    const std::basic_string_view<Unit> chunk(reader.buffer.get() + reader.begin, extent.stored);
    reader.begin += extent.stored;
    ++count;
    if (extent.bareLf) {
      // The one place where the stored units differ from what is written.
      copyRun(reader.begin - 1);
      WriteStoredUnits(writer, kCrLf<Unit>, 2);
      runStart = reader.begin;
    }
    if (stopAfter(chunk)) {
      copyRun(reader.begin);
      stopped = true;
      return count;
    }
  }
}

// The two code-unit widths: bytes, and UTF-16 units.
#define TABLEMEND_TEXT_READER_FOR(Unit)                                                        \
  template bool OpenTextReader(const std::string&, const TextFormat&, BasicTextReader<Unit>&); \
  template void AttachTextReader(std::string_view, const TextFormat&, BasicTextReader<Unit>&,  \
                                 std::size_t);                                                 \
  template bool ReadLineChunk(BasicTextReader<Unit>&, std::basic_string_view<Unit>&);          \
  template long long CopyLineChunksUntil(BasicTextReader<Unit>&, BasicTextWriter<Unit>&,       \
                                         bool (*)(std::basic_string_view<Unit>), bool&);
TABLEMEND_TEXT_READER_FOR(char)
TABLEMEND_TEXT_READER_FOR(char16_t)

}  // namespace tablemend
