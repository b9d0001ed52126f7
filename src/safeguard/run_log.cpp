#include "safeguard/run_log.h"

namespace tablemend {

std::string ComposeLogPath(const std::string& rcPath) {
  return rcPath + ".log";
}

}  // namespace tablemend
