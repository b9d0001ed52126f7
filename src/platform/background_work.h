// Work done beside the run: on POSIX systems on a thread of its own, one task after another in
// the order they were handed over, while the caller goes on; on Windows each task as it is handed
// over. What the program hands over waits on the disk rather than the processor (files' and
// folders' flushes, freeing a file the device is told of block by block), so that the next
// files' work need not wait for it. A task may hand work over to another BackgroundWork.
#ifndef TABLEMEND_PLATFORM_BACKGROUND_WORK_H
#define TABLEMEND_PLATFORM_BACKGROUND_WORK_H

#include <functional>
#include <memory>

namespace tablemend {

struct BackgroundWorker;

// The tasks handed over and not yet known to be done. Finished (every task done) when it goes
// out of scope, so that no task outlives what it refers to.
struct BackgroundWork {
  std::unique_ptr<BackgroundWorker> worker;

  BackgroundWork();
  BackgroundWork(const BackgroundWork&) = delete;
  BackgroundWork& operator=(const BackgroundWork&) = delete;
  ~BackgroundWork();
};

// Hands a task over, to be done after every task handed over before it; done at once where no
// thread can be started for it.
void HandOverWork(BackgroundWork& work, std::function<void()> task);

// Returns once every task handed over is done.
void FinishWork(BackgroundWork& work);

}  // namespace tablemend

#endif
