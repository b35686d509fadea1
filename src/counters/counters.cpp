#include "counters/counters.h"

namespace qv {

namespace {
// A drawn length below one frame would count down through negative numbers;
// such a segment lasts one frame instead.
int atLeastOne(int frames) { return frames < 1 ? 1 : frames; }
}  // namespace

void SmRandUCNTfloat::setRange(CounterContext& context, double* targetValue, double centre, double spread,
                               int meanFrames, int spreadFrames) {
  target = targetValue;
  valueCentre = centre;
  valueSpread = spread;
  durationMean = meanFrames;
  durationSpread = spreadFrames;
  period = 1;
  countdown = 1;
  startValue = context.rng.randAround(valueCentre, valueSpread);
  delta = 0.0;
}

void SmRandUCNTfloat::tick(CounterContext& context) {
  if (countdown != 1) {
    --countdown;
  } else {
    const int n = atLeastOne(context.rng.randIntAround(durationMean, durationSpread));
    startValue = startValue + delta;
    countdown = n;
    period = n;
    delta = context.rng.randAround(valueCentre, valueSpread) - startValue;
  }
  const double t = static_cast<double>(period - countdown) / period;
  const double v = smooth != 0 ? t * t * (3 - 2 * t) * delta : t * delta;
  context.currentCounterValue = v + startValue;
  if (hook) hook();
  if (target != nullptr) *target = context.currentCounterValue;
}

void RandUCNTswitch::setPhases(int* targetState, int onMeanFrames, int onSpreadFrames, int offMeanFrames,
                               int offSpreadFrames) {
  target = targetState;
  onMean = onMeanFrames;
  onSpread = onSpreadFrames;
  offMean = offMeanFrames;
  offSpread = offSpreadFrames;
  period = 1;
  countdown = 1;
}

void RandUCNTswitch::tick(CounterContext& context) {
  if (countdown != 1) {
    --countdown;
  } else {
    state = state == 0 ? 1 : 0;
    const int n = atLeastOne(state == 1 ? context.rng.randIntAround(onMean, onSpread)
                                        : context.rng.randIntAround(offMean, offSpread));
    period = n;
    countdown = n;
    context.currentSwitchState = state;
    if (hook) hook();
    if (toggleHook) toggleHook();
    if (target != nullptr) *target = context.currentSwitchState;
  }
  if (continuous != 0) {
    context.currentSwitchState = state;
    if (hook) hook();
    if (target != nullptr) *target = context.currentSwitchState;
  }
}

}  // namespace qv
