// Windows: each task as it is handed over. The work the program hands over is none there (a
// rename writes through, and no file is swapped out to be freed later), and the 32-bit
// toolchain's C++ library has no threads.
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
