// What the command line asks of one run.
#ifndef TABLEMEND_APP_RUN_SETTINGS_H
#define TABLEMEND_APP_RUN_SETTINGS_H

#include <string>

namespace tablemend {

struct RunSettings {
  std::string rcPath;  // empty when no file was named
  std::string backupExtension = "original";
  bool silent = false;
  bool verbose = false;
};

}  // namespace tablemend

#endif
