#include "platform/console.h"

#include <cstdio>

namespace tablemend {

void PrintText(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
}

bool FlushConsole() {
  return std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
}

}  // namespace tablemend
