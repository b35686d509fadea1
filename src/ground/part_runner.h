#pragma once
// Something that runs a job on several threads at once, lent by the module
// that keeps the threads to the modules below it that have work to share.

namespace qv {

class PartRunner {
 public:
  // Calls job(part) for part = 0 ... parts - 1, each part on a thread of its
  // own where there is one, and returns when every part is done; whatever a
  // part wrote is then the caller's to read, and an exception thrown in a
  // part reaches the caller.
  template <class Job>
  void runParts(int parts, Job& job) {
    runPartJobs(
        parts, [](void* context, int part) { (*static_cast<Job*>(context))(part); }, &job);
  }

 protected:
  ~PartRunner() = default;
  using PartJob = void (*)(void* context, int part);
  virtual void runPartJobs(int parts, PartJob job, void* context) = 0;
};

}  // namespace qv
