#include "counters/counter_registry.h"

#include "ground/runtime_error.h"

namespace qv {

void CounterRegistry::registerCounter(AbstCNT* counter, int list) {
  if (list < 0 || list >= COUNTER_LIST_COUNT || counts_[list] >= COUNTER_LIST_CAPACITY) {
    reportRuntimeError(platform_, errors::COUNTER_LIST_FULL);
  }
  lists_[list][counts_[list]] = counter;
  counts_[list] += 1;
  fullFlags_[list] = counts_[list] == COUNTER_LIST_CAPACITY ? 1 : 0;
}

void CounterRegistry::tickCounters() {
  for (int list = 0; list < COUNTER_LIST_COUNT; ++list) {
    for (int i = 0; i < counts_[list]; ++i) lists_[list][i]->tick(context_);
  }
}

}  // namespace qv
