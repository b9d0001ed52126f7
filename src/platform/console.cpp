#include "platform/console.h"

#include <cstdio>
#include <string>

#include "platform/platform.h"

namespace tablemend {

namespace {

std::string pendingHeading;

void WriteUtf8Text(std::string_view text, ConsoleStream stream) {
  if (!PrintToConsoleWindow(text, stream)) {
    std::fwrite(text.data(), 1, text.size(), stream == ConsoleStream::kError ? stderr : stdout);
  }
}

void PrintPendingHeading() {
  if (!pendingHeading.empty()) {
    WriteUtf8Text(pendingHeading, ConsoleStream::kOutput);
    pendingHeading.clear();
  }
}

}  // namespace

void PrintText(std::string_view text) {
  PrintPendingHeading();
  std::fwrite(text.data(), 1, text.size(), stdout);
}

void PrintUtf8Text(std::string_view text) {
  PrintPendingHeading();
  WriteUtf8Text(text, ConsoleStream::kOutput);
}

void PrintBeforeNextText(std::string_view heading) {
  pendingHeading = heading;
}

void PrintError(std::string_view text) {
  WriteUtf8Text(text, ConsoleStream::kError);
}

bool FlushConsole() {
  return std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
}

}  // namespace tablemend
