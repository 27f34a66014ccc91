#include "walk_thread.hpp"

#include <pthread.h>

namespace rc {

namespace {

void* callWork(void* work) {
    (*static_cast<const std::function<void()>*>(work))();
    return nullptr;
}

} // namespace

void runWithStack(std::size_t stackBytes, const std::function<void()>& work) {
    pthread_attr_t attributes;
    pthread_t thread;
    bool started = false;
    if (pthread_attr_init(&attributes) == 0) {
        started = pthread_attr_setstacksize(&attributes, stackBytes) == 0 &&
                  pthread_create(&thread, &attributes, callWork,
                                 const_cast<std::function<void()>*>(&work)) == 0;
        pthread_attr_destroy(&attributes);
    }
    if (started) {
        pthread_join(thread, nullptr);
    } else {
        work();
    }
}

} // namespace rc
