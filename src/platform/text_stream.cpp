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

// Turns each CR LF in [from, to) into LF, in place, and returns the new end. A CR that ends the
// range is held back until the next read shows whether an LF follows it, unless the input has
// ended, when it is a lone CR and stays.
char* TranslateLineEnds(TextReader& reader, char* from, const char* to) {
  char* out = from;
  const char* in = from;
  while (in < to) {
    const char* carriageReturn =
        static_cast<const char*>(std::memchr(in, '\r', static_cast<std::size_t>(to - in)));
    const char* runEnd = carriageReturn != nullptr ? carriageReturn : to;
    if (out != in) {
      std::memmove(out, in, static_cast<std::size_t>(runEnd - in));
    }
    out += runEnd - in;
    if (carriageReturn == nullptr) {
      break;
    }
    in = carriageReturn + 1;
    if (in == to && !reader.inputEnded) {
      reader.carriageReturnHeld = true;
    } else if (in == to || *in != '\n') {
      *out++ = '\r';
    }
  }
  return out;
}

// Moves the waiting text to the front of the buffer, reads more bytes after it and translates
// them. Only called with fewer than kMaxChunkLength characters waiting, so there is room.
void RefillReader(TextReader& reader) {
  char* base = reader.buffer.get();
  const std::size_t waiting = reader.end - reader.begin;
  std::memmove(base, base + reader.begin, waiting);
  reader.begin = 0;
  std::size_t rawEnd = waiting;
  if (reader.carriageReturnHeld) {
    base[rawEnd++] = '\r';
    reader.carriageReturnHeld = false;
  }
  std::ptrdiff_t count = ReadRawBytes(reader, base + rawEnd, reader.capacity - rawEnd);
  if (count <= 0) {
    reader.readFailed = count < 0;
    reader.inputEnded = true;
    count = 0;
  }
  const void* mark = std::memchr(base + rawEnd, kEndOfInputMark, static_cast<std::size_t>(count));
  if (mark != nullptr) {
    count = static_cast<const char*>(mark) - (base + rawEnd);
    reader.inputEnded = true;
  }
  rawEnd += static_cast<std::size_t>(count);
  reader.end =
      static_cast<std::size_t>(TranslateLineEnds(reader, base + waiting, base + rawEnd) - base);
}

// Copies bytes into the buffer as they are, handing it to the system whenever it is full.
void AppendBytes(TextWriter& writer, const char* data, std::size_t size) {
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

bool ReadLineChunk(TextReader& reader, std::string_view& chunk) {
  for (;;) {
    const char* start = reader.buffer.get() + reader.begin;
    const std::size_t waiting = reader.end - reader.begin;
    const std::size_t window = std::min(waiting, kMaxChunkLength);
    const void* lineFeed = std::memchr(start, '\n', window);
    std::size_t length = 0;
    if (lineFeed != nullptr) {
      length = static_cast<std::size_t>(static_cast<const char*>(lineFeed) - start) + 1;
    } else if (waiting >= kMaxChunkLength || (reader.inputEnded && waiting > 0)) {
      length = window;
    } else if (reader.inputEnded) {
      return false;
    } else {
      RefillReader(reader);
      continue;
    }
    chunk = std::string_view(start, length);
    reader.begin += length;
    return true;
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

void WriteText(TextWriter& writer, std::string_view text) {
  while (!text.empty()) {
    const void* lineFeed = std::memchr(text.data(), '\n', text.size());
    if (lineFeed == nullptr) {
      AppendBytes(writer, text.data(), text.size());
      return;
    }
    const std::size_t run =
        static_cast<std::size_t>(static_cast<const char*>(lineFeed) - text.data());
    AppendBytes(writer, text.data(), run);
    AppendBytes(writer, "\r\n", 2);
    text.remove_prefix(run + 1);
  }
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
