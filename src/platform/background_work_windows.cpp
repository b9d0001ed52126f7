// Windows: each task as it is handed over, so that a group of files is put in place before the
// next one starts, as it always was there: a rename writes through, no file is swapped out to be
// freed later, and the 32-bit toolchain's C++ library has no threads.
#include "platform/background_work.h"

namespace tablemend {

struct BackgroundWorker {};

BackgroundWork::BackgroundWork() = default;

BackgroundWork::~BackgroundWork() = default;

void HandOverWork(BackgroundWork&, std::function<void()> task) {
  task();
}

void FinishWork(BackgroundWork&) {}

}  // namespace tablemend
