#include "text/text_writer.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace tablemend {

namespace {

constexpr char16_t kByteOrderMark = 0xFEFF;

// How much a file that is to be flushed takes before its writeback is started again.
constexpr std::size_t kFlushStartInterval = 8 << 20;

// Starts the writeback of what the file took so far, once it took enough since the last start.
template <typename Unit>
void StartFlushEveryFewMegabytes(BasicTextWriter<Unit>& writer, std::size_t bytes) {
  writer.unflushedBytes += bytes;
  if (writer.unflushedBytes >= kFlushStartInterval) {
    StartFlushToDisk(writer.file);
    writer.unflushedBytes = 0;
  }
}

// Writes units, in the byte order they are stored in, to the writer's destination.
template <typename Unit>
void WriteToDestination(BasicTextWriter<Unit>& writer, const Unit* units, std::size_t count) {
  if (writer.failed || writer.discards) {
    return;
  }
  const char* bytes = reinterpret_cast<const char*>(units);
  if (writer.memory != nullptr) {
    writer.memory->append(bytes, count * sizeof(Unit));
  } else if (!WriteBytes(writer.file, bytes, count * sizeof(Unit))) {
    writer.failed = true;
  } else if (writer.startsFlushAsItWrites) {
    StartFlushEveryFewMegabytes(writer, count * sizeof(Unit));
  }
}

// Readies a writer for the text of this format: its buffer, its byte order, and the byte-order
// mark written first.
template <typename Unit>
void StartTextWriter(const TextFormat& format, BasicTextWriter<Unit>& writer,
                     std::size_t bufferSize) {
  AllocateTextBuffer(writer.buffer, writer.capacity, bufferSize);
  writer.swapBytes = StoredSwapped(format.encoding);
  if (format.byteOrderMark) {
    const Unit mark = static_cast<Unit>(kByteOrderMark);
    WriteStoredUnits(writer, &mark, 1);
  }
}

}  // namespace

template <typename Unit>
BasicTextWriter<Unit>::~BasicTextWriter() {
  if (memory != nullptr || IsOpen(file)) {
    FlushTextWriter(*this);
  }
}

template <typename Unit>
bool CreateTextWriterLike(const std::string& path, const std::string& modelPath,
                          const TextFormat& format, BasicTextWriter<Unit>& writer) {
  if (!CreateFileLike(path, modelPath, writer.file)) {
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

template <typename Unit>
void AttachTextDiscarder(const TextFormat& format, BasicTextWriter<Unit>& writer) {
  writer.discards = true;
  StartTextWriter(format, writer, kTextBufferSize);
}

bool OpenTextAppender(const std::string& path, TextWriter& writer) {
  if (!OpenForAppending(path, writer.file)) {
    return false;
  }
  StartTextWriter(TextFormat(), writer, kTextBufferSize);
  return true;
}

// A line at a time, through the line writer.
void WriteText(TextWriter& writer, std::string_view text) {
  while (!text.empty()) {
    const std::size_t line = std::min(text.find('\n'), text.size() - 1) + 1;
    WriteLineChunk(writer, text.substr(0, line));
    text.remove_prefix(line);
  }
}

// Copies units into the buffer as they are, handing it to the system whenever it is full. A run
// of at least half a buffer that needs no byte swap goes out from where it lies, after what is
// buffered: a long stretch of unchanged text is then copied once, by the system, not twice.
template <typename Unit>
void WriteStoredUnits(BasicTextWriter<Unit>& writer, const Unit* units, std::size_t count) {
  if (count >= writer.capacity / 2 && !writer.swapBytes) {
    FlushTextWriter(writer);
    WriteToDestination(writer, units, count);
    return;
  }
  if (count <= writer.capacity - writer.used) {
    std::memcpy(writer.buffer.get() + writer.used, units, count * sizeof(Unit));
    writer.used += count;
    return;
  }
  while (count > 0) {
    if (writer.used == writer.capacity) {
      FlushTextWriter(writer);
    }
    const std::size_t part = std::min(count, writer.capacity - writer.used);
    std::memcpy(writer.buffer.get() + writer.used, units, part * sizeof(Unit));
    writer.used += part;
    units += part;
    count -= part;
  }
}

template <typename Unit>
void WriteLineChunk(BasicTextWriter<Unit>& writer, typename UnitsOf<Unit>::View chunk) {
  if (chunk.empty() || chunk.back() != '\n') {
    WriteStoredUnits(writer, chunk.data(), chunk.size());
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
  WriteStoredUnits(writer, chunk.data(), text);
  WriteStoredUnits(writer, kCrLf<Unit>, 2);
}

template <typename Unit>
bool FlushTextWriter(BasicTextWriter<Unit>& writer) {
  if (writer.swapBytes) {
    SwapBytes(writer.buffer.get(), writer.used);
  }
  WriteToDestination(writer, writer.buffer.get(), writer.used);
  writer.used = 0;
  return !writer.failed;
}

template <typename Unit>
bool CloseTextWriter(BasicTextWriter<Unit>& writer) {
  const bool flushed = FlushTextWriter(writer);
  writer.memory = nullptr;
  return CloseFile(writer.file) && flushed;
}

template <typename Unit>
bool ReleaseTextWriterFile(BasicTextWriter<Unit>& writer, FileHandle& file) {
  const bool flushed = FlushTextWriter(writer);
  file = std::move(writer.file);
  return flushed;
}

// The two code-unit widths: bytes, and UTF-16 units.
#define TABLEMEND_TEXT_WRITER_FOR(Unit)                                                         \
  template struct BasicTextWriter<Unit>;                                                        \
  template bool CreateTextWriterLike(const std::string&, const std::string&, const TextFormat&, \
                                     BasicTextWriter<Unit>&);                                   \
  template void AttachTextWriter(std::string&, const TextFormat&, BasicTextWriter<Unit>&,       \
                                 std::size_t);                                                  \
  template void AttachTextDiscarder(const TextFormat&, BasicTextWriter<Unit>&);                 \
  template void WriteLineChunk(BasicTextWriter<Unit>&, UnitsOf<Unit>::View);                    \
  template void WriteStoredUnits(BasicTextWriter<Unit>&, const Unit*, std::size_t);             \
  template bool FlushTextWriter(BasicTextWriter<Unit>&);                                        \
  template bool CloseTextWriter(BasicTextWriter<Unit>&);                                        \
  template bool ReleaseTextWriterFile(BasicTextWriter<Unit>&, FileHandle&);
TABLEMEND_TEXT_WRITER_FOR(char)
TABLEMEND_TEXT_WRITER_FOR(char16_t)

}  // namespace tablemend
