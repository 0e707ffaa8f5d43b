#pragma once
// Layout of a tree graph. Undefined values: -1 (the field is left unchanged).

class KIVGPWMessage;

class NavSimpleGraphSetting {
 public:
  NavSimpleGraphSetting() = default;
  NavSimpleGraphSetting(const NavSimpleGraphSetting&) = default;
  NavSimpleGraphSetting& operator=(const NavSimpleGraphSetting&) = default;

  /// Bytes written by writeMessage: 16.
  int getMessageSize() const;
  /// Writes the four ints in declaration order. 0 for a null message.
  int writeMessage(KIVGPWMessage* msg) const;
  /// Reads in the write order; a value that cannot be read stays as it was. 1 when all were read.
  int readMessage(KIVGPWMessage* msg);

  int layoutStyle = -1;     ///< layout style word: orientation, alignment and display bits
  int extensionLevel = -1;  ///< number of levels shown extended, -2 for all
  int widthMargin = -1;     ///< margin between sibling nodes
  int depthMargin = -1;     ///< margin between levels
};
