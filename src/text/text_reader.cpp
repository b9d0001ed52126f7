#include "text/text_reader.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "text/unit_search.h"

namespace tablemend {

namespace {

template <typename Unit>
std::ptrdiff_t ReadRawBytes(BasicTextReader<Unit>& reader, char* destination,
                            std::size_t capacity) {
  if (reader.unreadMemory.empty()) {
    return IsOpen(reader.file) ? ReadBytes(reader.file, destination, capacity) : 0;
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

// What may follow the end-of-file mark without being text: blanks, line ends and more marks.
template <typename Unit>
bool MayFollowEndMark(Unit unit) {
  return unit == ' ' || unit == '\t' || unit == '\r' || unit == '\n' || unit == 0x1A;
}

// Looks at everything after the end-of-file mark, the `count` units at `rest` that came with it
// and whatever is left to read, until the first text there.
template <typename Unit>
void LookPastEndMark(BasicTextReader<Unit>& reader, const Unit* rest, std::size_t count) {
  Unit more[512];
  for (;;) {
    if (!std::all_of(rest, rest + count, MayFollowEndMark<Unit>)) {
      reader.textAfterEndMark = true;
      return;
    }
    const std::ptrdiff_t read = ReadUnits(reader, more, sizeof more / sizeof(Unit));
    if (read <= 0) {
      reader.readFailed = reader.readFailed || read < 0;
      return;
    }
    rest = more;
    count = static_cast<std::size_t>(read);
  }
}

// Moves the waiting units to the front of the buffer and reads more after them, up to a Ctrl-Z,
// marking the line feeds of what moved or came in.
template <typename Unit>
void ReadMore(BasicTextReader<Unit>& reader) {
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
    const Unit* read = base + waiting + count;
    count = stop - (base + waiting);
    reader.inputEnded = true;
    LookPastEndMark(reader, stop + 1, static_cast<std::size_t>(read - stop - 1));
  }
  reader.end += static_cast<std::size_t>(count);
  MarkLineFeeds(base + unmarked, reader.end - unmarked,
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
void AdoptTextReader(OpenedText& opened, const TextFormat& format, BasicTextReader<Unit>& reader) {
  reader.file = std::move(opened.file);
  reader.unreadMemory = opened.firstBytes;
  StartTextReader(format, reader, kTextBufferSize);
}

template <typename Unit>
void AttachTextReader(std::string_view bytes, const TextFormat& format,
                      BasicTextReader<Unit>& reader, std::size_t bufferSize) {
  reader.unreadMemory = bytes;
  StartTextReader(format, reader, bufferSize);
}

template <typename Unit>
bool CloseTextReader(BasicTextReader<Unit>& reader) {
  // A failed close of a file only read loses nothing.
  CloseFile(reader.file);
  return !reader.readFailed;
}

template <typename Unit>
void FillChunkWindow(BasicTextReader<Unit>& reader) {
  while (ChunkWindowIsShort(reader)) {
    ReadMore(reader);
  }
  RestartLineFeedSearch(reader);
}

// The two code-unit widths: bytes, and UTF-16 units.
#define TABLEMEND_TEXT_READER_FOR(Unit)                                                        \
  template bool OpenTextReader(const std::string&, const TextFormat&, BasicTextReader<Unit>&); \
  template void AdoptTextReader(OpenedText&, const TextFormat&, BasicTextReader<Unit>&);       \
  template void AttachTextReader(std::string_view, const TextFormat&, BasicTextReader<Unit>&,  \
                                 std::size_t);                                                 \
  template bool CloseTextReader(BasicTextReader<Unit>&);                                       \
  template void FillChunkWindow(BasicTextReader<Unit>&);
TABLEMEND_TEXT_READER_FOR(char)
TABLEMEND_TEXT_READER_FOR(char16_t)

}  // namespace tablemend
