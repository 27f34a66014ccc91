// Reads folder listings ahead on a few threads while the walk handles the
// folders before them; most of a run over an unchanged tree is spent in stat.
#pragma once

#include "listing.hpp"
#include "task_pool.hpp"

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

namespace rc {

class ListingQueue {
  public:
    struct Slot;
    using Ticket = std::shared_ptr<Slot>;

    explicit ListingQueue(unsigned threads);
    ~ListingQueue();
    ListingQueue(const ListingQueue&) = delete;
    ListingQueue& operator=(const ListingQueue&) = delete;

    // Queues a read ahead of the ones queued before: the walk goes depth first.
    Ticket request(std::function<Listing()> read);
    // The listing of a ticket: waits for a read in progress, or reads here
    // what no thread has taken yet.
    Listing take(const Ticket& ticket);
    // Gives up a listing no longer wanted; a read not started never starts.
    void drop(const Ticket& ticket);

  private:
    void run(Slot& slot);

    std::mutex mutex_;
    std::condition_variable done_;
    TaskPool pool_; // last: its threads end before the rest goes
};

} // namespace rc
