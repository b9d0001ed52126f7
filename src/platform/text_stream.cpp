// The one implementation of the text-file rules, shared by every platform and both code-unit
// widths.
#include "platform/text_stream.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/unit_search.h"

namespace tablemend {

namespace {

constexpr char16_t kByteOrderMark = 0xFEFF;

// The line end every line feed is written as.
template <typename Unit>
constexpr Unit kCrLf[] = {'\r', '\n'};

// True when UTF-16 of this encoding is stored in the byte order this machine does not use.
bool StoredSwapped(TextEncoding encoding) {
  const char16_t probe = 1;
  const bool littleEndianMachine = *reinterpret_cast<const unsigned char*>(&probe) == 1;
  return encoding ==
         (littleEndianMachine ? TextEncoding::kUtf16BigEndian : TextEncoding::kUtf16LittleEndian);
}

template <typename Unit>
void SwapBytes(Unit* units, std::size_t count) {
  if constexpr (sizeof(Unit) == 2) {
    for (std::size_t index = 0; index < count; ++index) {
      units[index] = static_cast<Unit>((units[index] >> 8) | (units[index] << 8));
    }
  }
}

template <typename Unit>
void AllocateBuffer(std::unique_ptr<Unit[]>& buffer, std::size_t& capacity, std::size_t size) {
  capacity = std::max(size, kMinimumTextBufferSize);
  buffer.reset(new Unit[capacity]);
}

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
  AllocateBuffer(reader.buffer, reader.capacity, bufferSize);
  reader.swapBytes = StoredSwapped(format.encoding);
  Unit mark;
  if (format.byteOrderMark && ReadUnits(reader, &mark, 1) != 1) {
    reader.readFailed = reader.inputEnded = true;
  }
}

// Copies units into the buffer as they are, handing it to the system whenever it is full.
template <typename Unit>
void AppendUnits(BasicTextWriter<Unit>& writer, const Unit* data, std::size_t size) {
  if (size <= writer.capacity - writer.used) {
    std::memcpy(writer.buffer.get() + writer.used, data, size * sizeof(Unit));
    writer.used += size;
    return;
  }
  while (size > 0) {
    if (writer.used == writer.capacity) {
      FlushTextWriter(writer);
    }
    const std::size_t count = std::min(size, writer.capacity - writer.used);
    std::memcpy(writer.buffer.get() + writer.used, data, count * sizeof(Unit));
    writer.used += count;
    data += count;
    size -= count;
  }
}

// Readies a writer for the text of this format: its buffer, its byte order, and the byte-order
// mark written first.
template <typename Unit>
void StartTextWriter(const TextFormat& format, BasicTextWriter<Unit>& writer,
                     std::size_t bufferSize) {
  AllocateBuffer(writer.buffer, writer.capacity, bufferSize);
  writer.swapBytes = StoredSwapped(format.encoding);
  if (format.byteOrderMark) {
    const Unit mark = static_cast<Unit>(kByteOrderMark);
    AppendUnits(writer, &mark, 1);
  }
}

}  // namespace

TextFormat DetectTextFormat(std::string_view firstBytes) {
  const auto byte = [firstBytes](std::size_t index) {
    return index < firstBytes.size() ? static_cast<unsigned char>(firstBytes[index]) : 0xFFu;
  };
  const auto plainAscii = [](unsigned value) { return value > 0 && value < 0x80; };
  TextFormat format;
  if ((byte(0) == 0xFF && byte(1) == 0xFE) || (byte(0) == 0xFE && byte(1) == 0xFF)) {
    format.encoding =
        byte(0) == 0xFF ? TextEncoding::kUtf16LittleEndian : TextEncoding::kUtf16BigEndian;
    format.byteOrderMark = true;
  } else if (byte(1) == 0 && byte(3) == 0 && plainAscii(byte(0)) && plainAscii(byte(2))) {
    format.encoding = TextEncoding::kUtf16LittleEndian;
  } else if (byte(0) == 0 && byte(2) == 0 && plainAscii(byte(1)) && plainAscii(byte(3))) {
    format.encoding = TextEncoding::kUtf16BigEndian;
  }
  return format;
}

FormatRead ReadTextFormat(const std::string& path, TextFormat& format) {
  FileHandle file;
  char start[4];
  std::size_t count = 0;
  std::ptrdiff_t read = 1;
  std::int64_t length = 0;
  if (!OpenForReading(path, file) || !GetFileLength(file, length)) {
    return FormatRead::kUnreadable;
  }
  while (count < sizeof start && read > 0) {
    read = ReadBytes(file, start + count, sizeof start - count);
    count += read > 0 ? static_cast<std::size_t>(read) : 0;
  }
  if (read < 0) {
    return FormatRead::kUnreadable;
  }
  format = DetectTextFormat(std::string_view(start, count));
  const bool wholeUnits = format.encoding == TextEncoding::kBytes || length % 2 == 0;
  return wholeUnits ? FormatRead::kRead : FormatRead::kCutShort;
}

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
    AppendUnits(writer, reader.buffer.get() + runStart, runEnd - runStart);
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
      AppendUnits(writer, kCrLf<Unit>, 2);
      runStart = reader.begin;
    }
    if (stopAfter(chunk)) {
      copyRun(reader.begin);
      stopped = true;
      return count;
    }
  }
}

template <typename Unit>
BasicTextWriter<Unit>::~BasicTextWriter() {
  if (memory != nullptr || IsOpen(file)) {
    FlushTextWriter(*this);
  }
}

template <typename Unit>
bool OpenTextWriter(const std::string& path, const TextFormat& format,
                    BasicTextWriter<Unit>& writer) {
  if (!OpenForWriting(path, writer.file)) {
    return false;
  }
  StartTextWriter(format, writer, kTextBufferSize);
  return true;
}

template <typename Unit>
void AttachTextWriter(std::string& target, const TextFormat& format, BasicTextWriter<Unit>& writer,
                      std::size_t bufferSize) {
  writer.memory = &target;
  StartTextWriter(format, writer, bufferSize);
}

bool OpenTextAppender(const std::string& path, TextWriter& writer) {
  if (!OpenForAppending(path, writer.file)) {
    return false;
  }
  StartTextWriter(TextFormat(), writer, kTextBufferSize);
  return true;
}

// Byte by byte: the texts written this way (log headers, footers, the refusal banner) are short
// and full of line feeds, where one pass costs less than a search for each line feed.
void WriteText(TextWriter& writer, std::string_view text) {
  for (const char c : text) {
    if (writer.capacity - writer.used < 2) {
      FlushTextWriter(writer);
    }
    if (c == '\n') {
      writer.buffer[writer.used++] = '\r';
    }
    writer.buffer[writer.used++] = c;
  }
}

template <typename Unit>
void WriteLineChunk(BasicTextWriter<Unit>& writer, typename UnitsOf<Unit>::View chunk) {
  if (chunk.empty() || chunk.back() != '\n') {
    AppendUnits(writer, chunk.data(), chunk.size());
    return;
  }
  // The common case, a line that fits the buffer, in one copy.
  const std::size_t text = chunk.size() - 1;
  if (text + 2 <= writer.capacity - writer.used) {
    Unit* out = writer.buffer.get() + writer.used;
    std::memcpy(out, chunk.data(), text * sizeof(Unit));
    out[text] = '\r';
    out[text + 1] = '\n';
    writer.used += text + 2;
    return;
  }
  AppendUnits(writer, chunk.data(), text);
  AppendUnits(writer, kCrLf<Unit>, 2);
}

template <typename Unit>
bool FlushTextWriter(BasicTextWriter<Unit>& writer) {
  if (writer.used > 0 && !writer.failed) {
    if (writer.swapBytes) {
      SwapBytes(writer.buffer.get(), writer.used);
    }
    const char* bytes = reinterpret_cast<const char*>(writer.buffer.get());
    const std::size_t size = writer.used * sizeof(Unit);
    if (writer.memory != nullptr) {
      writer.memory->append(bytes, size);
    } else if (!WriteBytes(writer.file, bytes, size)) {
      writer.failed = true;
    }
  }
  writer.used = 0;
  return !writer.failed;
}

template <typename Unit>
bool CloseTextWriter(BasicTextWriter<Unit>& writer) {
  const bool flushed = FlushTextWriter(writer);
  writer.memory = nullptr;
  return CloseFile(writer.file) && flushed;
}

// The two code-unit widths: bytes, and UTF-16 units.
#define TABLEMEND_TEXT_STREAM_FOR(Unit)                                                        \
  template struct BasicTextWriter<Unit>;                                                       \
  template bool OpenTextReader(const std::string&, const TextFormat&, BasicTextReader<Unit>&); \
  template void AttachTextReader(std::string_view, const TextFormat&, BasicTextReader<Unit>&,  \
                                 std::size_t);                                                 \
  template bool ReadLineChunk(BasicTextReader<Unit>&, std::basic_string_view<Unit>&);          \
  template long long CopyLineChunksUntil(BasicTextReader<Unit>&, BasicTextWriter<Unit>&,       \
                                         bool (*)(std::basic_string_view<Unit>), bool&);       \
  template bool OpenTextWriter(const std::string&, const TextFormat&, BasicTextWriter<Unit>&); \
  template void AttachTextWriter(std::string&, const TextFormat&, BasicTextWriter<Unit>&,      \
                                 std::size_t);                                                 \
  template void WriteLineChunk(BasicTextWriter<Unit>&, UnitsOf<Unit>::View);                   \
  template bool FlushTextWriter(BasicTextWriter<Unit>&);                                       \
  template bool CloseTextWriter(BasicTextWriter<Unit>&);
TABLEMEND_TEXT_STREAM_FOR(char)
TABLEMEND_TEXT_STREAM_FOR(char16_t)

}  // namespace tablemend
