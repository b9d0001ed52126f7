// The run log: an append-only history beside the rc file.
#ifndef TABLEMEND_SAFEGUARD_RUN_LOG_H
#define TABLEMEND_SAFEGUARD_RUN_LOG_H

#include <string>

namespace tablemend {

// The log's name: the rc file's name and ".log", whatever the backup extension is.
std::string ComposeLogPath(const std::string& rcPath);

}  // namespace tablemend

#endif
