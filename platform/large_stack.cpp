#include "platform/large_stack.h"

#include <pthread.h>

#include <exception>

namespace qv {

namespace {

struct Job {
    const std::function<void()>* work;
    std::exception_ptr error;
};

void* runJob(void* argument) {
    Job* job = static_cast<Job*>(argument);
    try {
        (*job->work)();
    } catch (...) {
        job->error = std::current_exception();
    }
    return nullptr;
}

}  // namespace

void runOnLargeStack(const std::function<void()>& work, size_t stackBytes) {
    Job job{&work, nullptr};
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, stackBytes);
    pthread_t thread;
    // The stack is reserved address space; pages are committed only as deep as the work goes.
    bool started = pthread_create(&thread, &attributes, runJob, &job) == 0;
    pthread_attr_destroy(&attributes);
    if (!started) {
        work();
        return;
    }
    pthread_join(thread, nullptr);
    if (job.error) std::rethrow_exception(job.error);
}

}  // namespace qv
