#include "listing_queue.hpp"

namespace rc {

struct ListingQueue::Slot {
    enum State { Queued, Running, Done } state = Queued;
    std::function<Listing()> read;
    Listing result;
};

ListingQueue::ListingQueue(unsigned threads) : pool_(threads, 0) {}

ListingQueue::~ListingQueue() = default;

ListingQueue::Ticket ListingQueue::request(std::function<Listing()> read) {
    auto slot = std::make_shared<Slot>();
    slot->read = std::move(read);
    pool_.submitFirst([this, slot] {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            if (slot->state != Slot::Queued) {
                return; // the walk read it itself
            }
            slot->state = Slot::Running;
        }
        run(*slot);
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            slot->state = Slot::Done;
        }
        done_.notify_all();
    });
    return slot;
}

void ListingQueue::run(Slot& slot) {
    slot.result = slot.read();
    slot.read = nullptr; // lets go of the folders it held
}

Listing ListingQueue::take(const Ticket& ticket) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (ticket->state == Slot::Queued) {
        ticket->state = Slot::Running;
        lock.unlock();
        run(*ticket);
        return std::move(ticket->result);
    }
    done_.wait(lock, [&] { return ticket->state == Slot::Done; });
    return std::move(ticket->result);
}

void ListingQueue::drop(const Ticket& ticket) {
    std::function<Listing()> read;
    const std::lock_guard<std::mutex> lock(mutex_);
    if (ticket->state == Slot::Queued) {
        ticket->state = Slot::Done;
        read = std::move(ticket->read); // the folders it holds go with it
    }
}

} // namespace rc
