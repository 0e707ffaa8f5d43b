#pragma once
// How a viewpoint animation turns the view. Undefined values: -1; a viewer given none
// uses kind 20, direction 1, 50 steps per turn, axis 1.

class KIVGPWMessage;

class NavViewpointAnimation {
 public:
  NavViewpointAnimation() = default;
  NavViewpointAnimation(const NavViewpointAnimation&) = default;
  NavViewpointAnimation& operator=(const NavViewpointAnimation&) = default;

  /// Bytes written by writeMessage: 16.
  int getMessageSize() const;
  /// Writes the four ints in declaration order. 0 for a null message.
  int writeMessage(KIVGPWMessage* msg) const;
  /// Reads in the write order; a value that cannot be read stays as it was. 1 when all were read.
  int readMessage(KIVGPWMessage* msg);

  int kind = -1;          ///< 20 orbit around the target, 18 roll, other values turn in place
  int direction = -1;     ///< 0 negative angle, other values positive
  int stepsPerTurn = -1;  ///< steps of one full turn (positive)
  int axis = -1;          ///< except for rolls: 1 turns about the up direction, else about sight x up
};
