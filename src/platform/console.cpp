#include "platform/console.h"

#include <cstdio>

#include "platform/platform.h"

namespace tablemend {

void PrintText(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
}

void PrintUtf8Text(std::string_view text) {
  if (!PrintToConsoleWindow(text)) {
    PrintText(text);
  }
}

bool FlushConsole() {
  return std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
}

}  // namespace tablemend
