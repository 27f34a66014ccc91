// A few threads that run queued tasks: one type for the copies and for the
// folder listings read ahead.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace rc {

class TaskPool {
  public:
    // "limit": tasks waiting in the queue before submit waits (0: no limit).
    TaskPool(unsigned threads, std::size_t limit);
    // Tasks still waiting are dropped; running ones end first.
    ~TaskPool();
    TaskPool(const TaskPool&) = delete;
    TaskPool& operator=(const TaskPool&) = delete;

    void submit(std::function<void()> task);
    // Queues a task ahead of all waiting ones.
    void submitFirst(std::function<void()> task);
    // Waits until no task waits or runs.
    void drain();

  private:
    void push(std::function<void()> task, bool first);
    void work();

    const std::size_t limit_;
    std::mutex mutex_;
    std::condition_variable ready_, space_, idle_;
    std::deque<std::function<void()>> queue_;
    std::vector<std::thread> threads_;
    unsigned busy_ = 0;
    bool stopping_ = false;
};

} // namespace rc
