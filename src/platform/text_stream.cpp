// The one implementation of the text-file rules, shared by every platform.
#include "platform/text_stream.h"

#include <algorithm>
#include <cstring>

namespace tablemend {

namespace {

constexpr char kEndOfInputMark = 0x1A;  // Ctrl-Z

void AllocateBuffer(std::unique_ptr<char[]>& buffer, std::size_t& capacity,
                    std::size_t size = kTextBufferSize) {
  capacity = std::max(size, kMinimumTextBufferSize);
  buffer.reset(new char[capacity]);
}

std::ptrdiff_t ReadRawBytes(TextReader& reader, char* destination, std::size_t capacity) {
  if (!reader.fromMemory) {
    return ReadBytes(reader.file, destination, capacity);
  }
  const std::size_t count = std::min(capacity, reader.unreadMemory.size());
  std::memcpy(destination, reader.unreadMemory.data(), count);
  reader.unreadMemory.remove_prefix(count);
  return static_cast<std::ptrdiff_t>(count);
}

// Moves the waiting bytes to the front of the buffer and reads more after them, up to a Ctrl-Z.
void RefillReader(TextReader& reader) {
  char* base = reader.buffer.get();
  const std::size_t waiting = reader.end - reader.begin;
  std::memmove(base, base + reader.begin, waiting);
  reader.begin = 0;
  reader.end = waiting;
  std::ptrdiff_t count = ReadRawBytes(reader, base + waiting, reader.capacity - waiting);
  if (count <= 0) {
    reader.readFailed = count < 0;
    reader.inputEnded = true;
    return;
  }
  const void* mark = std::memchr(base + waiting, kEndOfInputMark, static_cast<std::size_t>(count));
  if (mark != nullptr) {
    count = static_cast<const char*>(mark) - (base + waiting);
    reader.inputEnded = true;
  }
  reader.end += static_cast<std::size_t>(count);
}

// Copies bytes into the buffer as they are, handing it to the system whenever it is full.
void AppendBytes(TextWriter& writer, const char* data, std::size_t size) {
  if (size <= writer.capacity - writer.used) {
    std::memcpy(writer.buffer.get() + writer.used, data, size);
    writer.used += size;
    return;
  }
  while (size > 0) {
    if (writer.used == writer.capacity) {
      FlushTextWriter(writer);
    }
    const std::size_t count = std::min(size, writer.capacity - writer.used);
    std::memcpy(writer.buffer.get() + writer.used, data, count);
    writer.used += count;
    data += count;
    size -= count;
  }
}

}  // namespace

bool OpenTextReader(const std::string& path, TextReader& reader) {
  if (!OpenForReading(path, reader.file)) {
    return false;
  }
  AllocateBuffer(reader.buffer, reader.capacity);
  return true;
}

void AttachTextReader(std::string_view bytes, TextReader& reader, std::size_t bufferSize) {
  reader.fromMemory = true;
  reader.unreadMemory = bytes;
  AllocateBuffer(reader.buffer, reader.capacity, bufferSize);
}

namespace {

// The stored bytes of a chunk are at most one more than its characters: a CR LF pair is one
// character. So the next chunk is decided by the next kMaxChunkLength + 1 bytes; fewer will do
// only at the end of the input.
constexpr std::size_t kChunkWindow = kMaxChunkLength + 1;

bool WindowIsShort(const TextReader& reader) {
  return reader.end - reader.begin < kChunkWindow && !reader.inputEnded;
}

// Where the next chunk lies in the buffer, found without changing a byte.
struct ChunkExtent {
  std::size_t stored = 0;  // the bytes it takes in the buffer
  bool crLf = false;       // it ends in CR LF, which reads as one LF
  bool bareLf = false;     // it ends in an LF with no CR before it
};

// Needs a full window (or the end of the input) waiting; false when nothing is left.
bool MeasureNextChunk(const TextReader& reader, ChunkExtent& extent) {
  const char* start = reader.buffer.get() + reader.begin;
  const std::size_t window = std::min(reader.end - reader.begin, kChunkWindow);
  if (window == 0) {
    return false;
  }
  const char* lineFeed = static_cast<const char*>(std::memchr(start, '\n', window));
  const std::size_t lineEnd =
      lineFeed != nullptr ? static_cast<std::size_t>(lineFeed - start) : window;
  extent.crLf = lineFeed != nullptr && lineEnd > 0 && start[lineEnd - 1] == '\r';
  extent.bareLf = !extent.crLf && lineFeed != nullptr && lineEnd < kMaxChunkLength;
  if (extent.crLf || extent.bareLf) {
    extent.stored = lineEnd + 1;
  } else {
    // No line end within reach: as many characters as a chunk holds, or all that is left. A CR
    // among them is a lone one, as a CR LF pair would have ended the chunk above.
    extent.stored = std::min(window, kMaxChunkLength);
  }
  return true;
}

}  // namespace

bool ReadLineChunk(TextReader& reader, std::string_view& chunk) {
  while (WindowIsShort(reader)) {
    RefillReader(reader);
  }
  ChunkExtent extent;
  if (!MeasureNextChunk(reader, extent)) {
    return false;
  }
  char* start = reader.buffer.get() + reader.begin;
  if (extent.crLf) {
    // The LF takes the CR's place, in the buffer itself.
    start[extent.stored - 2] = '\n';
  }
  chunk = std::string_view(start, extent.crLf ? extent.stored - 1 : extent.stored);
  reader.begin += extent.stored;
  return true;
}

long long CopyLineChunksUntil(TextReader& reader, TextWriter& writer,
                              bool (*stopAfter)(std::string_view chunk), bool& stopped) {
  long long count = 0;
  std::size_t runStart = reader.begin;  // bytes passed over and not yet copied start here
  const auto copyRun = [&](std::size_t runEnd) {
    AppendBytes(writer, reader.buffer.get() + runStart, runEnd - runStart);
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
    const std::string_view chunk(reader.buffer.get() + reader.begin, extent.stored);
    reader.begin += extent.stored;
    ++count;
    if (extent.bareLf) {
      // The one place where the stored bytes differ from what is written.
      copyRun(reader.begin - 1);
      AppendBytes(writer, "\r\n", 2);
      runStart = reader.begin;
    }
    if (stopAfter(chunk)) {
      copyRun(reader.begin);
      stopped = true;
      return count;
    }
  }
}

TextWriter::~TextWriter() {
  if (memory != nullptr || IsOpen(file)) {
    FlushTextWriter(*this);
  }
}

bool OpenTextWriter(const std::string& path, TextWriter& writer) {
  if (!OpenForWriting(path, writer.file)) {
    return false;
  }
  AllocateBuffer(writer.buffer, writer.capacity);
  return true;
}

bool OpenTextAppender(const std::string& path, TextWriter& writer) {
  if (!OpenForAppending(path, writer.file)) {
    return false;
  }
  AllocateBuffer(writer.buffer, writer.capacity);
  return true;
}

void AttachTextWriter(std::string& target, TextWriter& writer, std::size_t bufferSize) {
  writer.memory = &target;
  AllocateBuffer(writer.buffer, writer.capacity, bufferSize);
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

void WriteLineChunk(TextWriter& writer, std::string_view chunk) {
  if (chunk.empty() || chunk.back() != '\n') {
    AppendBytes(writer, chunk.data(), chunk.size());
    return;
  }
  // The common case, a line that fits the buffer, in one copy.
  const std::size_t text = chunk.size() - 1;
  if (text + 2 <= writer.capacity - writer.used) {
    char* out = writer.buffer.get() + writer.used;
    std::memcpy(out, chunk.data(), text);
    out[text] = '\r';
    out[text + 1] = '\n';
    writer.used += text + 2;
    return;
  }
  AppendBytes(writer, chunk.data(), text);
  AppendBytes(writer, "\r\n", 2);
}

bool FlushTextWriter(TextWriter& writer) {
  if (writer.used > 0 && !writer.failed) {
    if (writer.memory != nullptr) {
      writer.memory->append(writer.buffer.get(), writer.used);
    } else if (!WriteBytes(writer.file, writer.buffer.get(), writer.used)) {
      writer.failed = true;
    }
  }
  writer.used = 0;
  return !writer.failed;
}

bool CloseTextWriter(TextWriter& writer) {
  const bool flushed = FlushTextWriter(writer);
  writer.memory = nullptr;
  return CloseFile(writer.file) && flushed;
}

bool StartsWithUtf16ByteOrderMark(const std::string& path) {
  FileHandle file;
  char start[2];
  std::size_t count = 0;
  if (!OpenForReading(path, file)) {
    return false;
  }
  while (count < sizeof start) {
    const std::ptrdiff_t read = ReadBytes(file, start + count, sizeof start - count);
    if (read <= 0) {
      return false;
    }
    count += static_cast<std::size_t>(read);
  }
  return (start[0] == '\xFF' && start[1] == '\xFE') || (start[0] == '\xFE' && start[1] == '\xFF');
}

}  // namespace tablemend
