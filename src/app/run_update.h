// One update of an rc file: check the name, put the first version aside as the backup, and
// write the rc file anew from that backup through the converter.
#ifndef TABLEMEND_APP_RUN_UPDATE_H
#define TABLEMEND_APP_RUN_UPDATE_H

#include <string>

#include "app/run_settings.h"

namespace tablemend {

// Performs the run and returns the exit status: 0 when it completed, -1 after any failure, which
// is reported on the console (most reports only when not silent).
int RunUpdate(const std::string& rcPath, const RunSettings& settings);

}  // namespace tablemend

#endif
