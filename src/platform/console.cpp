#include "platform/console.h"

#include <cstdio>
#include <string>

#include "platform/platform.h"

namespace tablemend {

namespace {

std::string pendingHeading;
HeldText* holding = nullptr;
ConsoleStream messages = ConsoleStream::kOutput;

std::FILE* MessageStream() {
  return messages == ConsoleStream::kError ? stderr : stdout;
}

// Keeps a text when output is held; false when it is not.
bool Hold(std::string_view text, bool utf8) {
  if (holding == nullptr) {
    return false;
  }
  holding->pieces.emplace_back(utf8, std::string(text));
  return true;
}

void WriteUtf8Text(std::string_view text, ConsoleStream stream) {
  if (!PrintToConsoleWindow(text, stream)) {
    std::fwrite(text.data(), 1, text.size(), stream == ConsoleStream::kError ? stderr : stdout);
  }
}

void PrintPendingHeading() {
  if (!pendingHeading.empty() && !Hold(pendingHeading, true)) {
    WriteUtf8Text(pendingHeading, messages);
  }
  pendingHeading.clear();
}

}  // namespace

void PrintText(std::string_view text) {
  PrintPendingHeading();
  if (!Hold(text, false)) {
    std::fwrite(text.data(), 1, text.size(), MessageStream());
  }
}

void PrintUtf8Text(std::string_view text) {
  PrintPendingHeading();
  if (!Hold(text, true)) {
    WriteUtf8Text(text, messages);
  }
}

void HoldConsoleText(HeldText& held) {
  holding = &held;
}

void StopHoldingConsoleText() {
  holding = nullptr;
}

void PrintHeldText(const HeldText& held) {
  for (const auto& [utf8, text] : held.pieces) {
    (utf8 ? PrintUtf8Text : PrintText)(text);
  }
}

void PrintBeforeNextText(std::string_view heading) {
  pendingHeading = heading;
}

void PrintError(std::string_view text) {
  WriteUtf8Text(text, ConsoleStream::kError);
}

void SendMessagesToStandardError() {
  messages = ConsoleStream::kError;
}

bool WriteStandardOutput(std::string_view bytes) {
  UseBinaryStandardOutput();
  return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() &&
         std::fflush(stdout) == 0;
}

bool FlushConsole() {
  // A write that failed before counts as much as the last one.
  const bool writtenSoFar = std::ferror(stdout) == 0;
  return std::fflush(stdout) == 0 && writtenSoFar;
}

}  // namespace tablemend
