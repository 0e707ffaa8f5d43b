#pragma once
// The step multiplier of an arrow button held down: the palettes move by 1× for the first
// four repeats, then 2×, 5× from the tenth and 10× from the twentieth.
struct NavRepeatAcceleration {
  static int Factor(int repeats) { return repeats >= 20 ? 10 : repeats >= 10 ? 5 : repeats >= 5 ? 2 : 1; }
};
