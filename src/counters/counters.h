#pragma once
// The small counter objects that drive every self-changing value of the scene:
// a smooth random value counter and a random on/off switch. Each writes its
// output through the shared output channels (where its hook may change it)
// and then into the variable the scene gave it.

#include "counters/random_source.h"
#include "ground/hook.h"

namespace qv {

// What a counter's tick needs beyond itself: the random source and the two
// output channels through which a hook learns the output it is called for.
struct CounterContext {
  explicit CounterContext(RandomSource& source) : rng(source) {}

  RandomSource& rng;
  double currentCounterValue = 0.0;
  int currentSwitchState = 0;
};

class AbstCNT {
 public:
  virtual ~AbstCNT() = default;
  virtual void tick(CounterContext& context) = 0;

 protected:
  AbstCNT() = default;
  AbstCNT(const AbstCNT&) = default;
  AbstCNT& operator=(const AbstCNT&) = default;
};

class SmRandUCNTfloat : public AbstCNT {
 public:
  int period = 1;
  int countdown = 1;
  int durationMean = 50;
  int durationSpread = 25;
  Hook hook;
  double* target = nullptr;
  double valueCentre = 0.0;
  double valueSpread = 1.0;
  int smooth = 1;
  double startValue = 0.0;
  double delta = 0.0;

  // Starts at a random point of the range; the first segment begins at the
  // next tick.
  void setRange(CounterContext& context, double* targetValue, double centre, double spread, int meanFrames,
                int spreadFrames);
  void tick(CounterContext& context) override;
};

class RandUCNTswitch : public AbstCNT {
 public:
  Hook hook;
  int* target = nullptr;
  int onMean = 50;
  int onSpread = 50;
  int offMean = 50;
  int offSpread = 25;
  int continuous = 1;
  int state = 1;
  int period = 1;
  int countdown = 1;
  Hook toggleHook;

  // The next tick toggles the state.
  void setPhases(int* targetState, int onMeanFrames, int onSpreadFrames, int offMeanFrames,
                 int offSpreadFrames);
  void tick(CounterContext& context) override;
};

}  // namespace qv
