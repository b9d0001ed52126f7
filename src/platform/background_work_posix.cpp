// POSIX threads: the work's own thread takes the tasks from a queue. Plain pthreads rather than
// std::thread, which reports a thread it cannot start by an exception.
#include <pthread.h>

#include <deque>
#include <utility>

#include "platform/background_work.h"

namespace tablemend {

struct BackgroundWorker {
  pthread_t thread{};
  bool started = false;
  pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;
  pthread_cond_t changed = PTHREAD_COND_INITIALIZER;
  std::deque<std::function<void()>> tasks;
  bool finishing = false;  // no task comes after those queued
};

namespace {

// The thread's loop: each task in turn, done outside the lock, until the queue is empty and
// finishing.
void* DoTasks(void* opaque) {
  BackgroundWorker& worker = *static_cast<BackgroundWorker*>(opaque);
  pthread_mutex_lock(&worker.lock);
  for (;;) {
    while (worker.tasks.empty() && !worker.finishing) {
      pthread_cond_wait(&worker.changed, &worker.lock);
    }
    if (worker.tasks.empty()) {
      break;
    }
    const std::function<void()> task = std::move(worker.tasks.front());
    worker.tasks.pop_front();
    pthread_mutex_unlock(&worker.lock);
    task();
    pthread_mutex_lock(&worker.lock);
  }
  pthread_mutex_unlock(&worker.lock);
  return nullptr;
}

}  // namespace

BackgroundWork::BackgroundWork() : worker(std::make_unique<BackgroundWorker>()) {}

BackgroundWork::~BackgroundWork() {
  FinishWork(*this);
}

void HandOverWork(BackgroundWork& work, std::function<void()> task) {
  BackgroundWorker& worker = *work.worker;
  if (!worker.started) {
    // Nothing is queued before the thread starts: a task done at once keeps the order.
    worker.finishing = false;
    worker.started = pthread_create(&worker.thread, nullptr, DoTasks, &worker) == 0;
    if (!worker.started) {
      task();
      return;
    }
  }
  pthread_mutex_lock(&worker.lock);
  worker.tasks.push_back(std::move(task));
  pthread_cond_signal(&worker.changed);
  pthread_mutex_unlock(&worker.lock);
}

void FinishWork(BackgroundWork& work) {
  BackgroundWorker& worker = *work.worker;
  if (!worker.started) {
    return;
  }
  pthread_mutex_lock(&worker.lock);
  worker.finishing = true;
  pthread_cond_signal(&worker.changed);
  pthread_mutex_unlock(&worker.lock);
  pthread_join(worker.thread, nullptr);
  worker.started = false;
}

}  // namespace tablemend
