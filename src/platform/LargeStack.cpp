#include "platform/LargeStack.h"

#include "base/Error.h"

#include <cstring>
#include <exception>
#include <pthread.h>
#include <string>

namespace quillary::platform {

namespace {

struct Job {
  const std::function<void()>& work;
  std::exception_ptr failure;
};

void* RunJob(void* argument) {
  Job& job = *static_cast<Job*>(argument);
  try {
    job.work();
  } catch (...) {
    job.failure = std::current_exception();
  }
  return nullptr;
}

} // namespace

void RunOnLargeStack(std::size_t stackBytes, const std::function<void()>& work) {
  pthread_attr_t attributes;
  if (int error = ::pthread_attr_init(&attributes))
    throw Error(std::string("Cannot start a thread: ") + std::strerror(error));
  Job job{work, nullptr};
  pthread_t thread;
  int error = ::pthread_attr_setstacksize(&attributes, stackBytes);
  if (!error)
    error = ::pthread_create(&thread, &attributes, RunJob, &job);
  ::pthread_attr_destroy(&attributes);
  if (error)
    throw Error(std::string("Cannot start a thread: ") + std::strerror(error));
  ::pthread_join(thread, nullptr);
  if (job.failure)
    std::rethrow_exception(job.failure);
}

} // namespace quillary::platform
