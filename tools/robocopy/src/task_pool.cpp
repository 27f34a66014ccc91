#include "task_pool.hpp"

namespace rc {

TaskPool::TaskPool(unsigned threads, std::size_t limit) : limit_(limit) {
    for (unsigned i = 0; i < threads; ++i) {
        threads_.emplace_back([this] { work(); });
    }
}

TaskPool::~TaskPool() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        queue_.clear();
    }
    ready_.notify_all();
    space_.notify_all();
    for (auto& thread : threads_) {
        thread.join();
    }
}

void TaskPool::submit(std::function<void()> task) {
    push(std::move(task), false);
}

void TaskPool::submitFirst(std::function<void()> task) {
    push(std::move(task), true);
}

void TaskPool::push(std::function<void()> task, bool first) {
    std::unique_lock<std::mutex> lock(mutex_);
    space_.wait(lock, [this] { return limit_ == 0 || queue_.size() < limit_; });
    if (first) {
        queue_.push_front(std::move(task));
    } else {
        queue_.push_back(std::move(task));
    }
    lock.unlock();
    ready_.notify_one();
}

void TaskPool::drain() {
    std::unique_lock<std::mutex> lock(mutex_);
    idle_.wait(lock, [this] { return queue_.empty() && busy_ == 0; });
}

void TaskPool::work() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        ready_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (stopping_) {
            return;
        }
        auto task = std::move(queue_.front());
        queue_.pop_front();
        ++busy_;
        lock.unlock();
        space_.notify_one();
        task();
        task = nullptr; // what the task holds goes before the pool counts it done
        lock.lock();
        --busy_;
        if (queue_.empty() && busy_ == 0) {
            idle_.notify_all();
        }
    }
}

} // namespace rc
