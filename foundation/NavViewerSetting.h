#pragma once
// The whole setting of an extended viewer, in sections that the section mask says are
// given. Undefined values: -1, -1.0 and null; applying a setting skips them.

#include "foundation/NavDistanceSetting.h"
#include "foundation/NavLightSourceSet.h"
#include "foundation/NavQualitySpeedSetting.h"
#include "foundation/NavReferenceViewSetting.h"

class KIVGPWMessage;
class KIVGraphicMaterial;
class NavPaletteViewerSetting;

class NavViewerSetting {
 public:
  /// Bits of sectionMask.
  enum Section {
    kFogClipping = 1,     ///< fog, clippingMode, clippingNear, clippingFar
    kLights = 2,          ///< lights, texture, ambientLight
    kReferenceView = 4,   ///< referenceView
    kStereo = 8,          ///< stereoMode, stereoValue
    kQualitySpeed = 16,   ///< qualitySpeed
    kStates = 32,         ///< dashboardState, perfoState, axisState, groundState
    kPalette = 64,        ///< palette
    kDistance = 128       ///< distance
  };
  /// Viewer settings nested inside one another (through palettes and secondary viewers)
  /// deeper than this in one message are taken as corrupt: real settings nest twice, and
  /// reading must not recurse as deep as a forged message asks.
  static constexpr int snbMaxNesting = 16;

  NavViewerSetting() = default;
  /// Deep copy: the palette is copied, the texture is shared.
  NavViewerSetting(const NavViewerSetting& other);
  /// Copies every field; a palette of the source is assigned to ours, or copied when we have
  /// none; without one in the source we keep ours.
  NavViewerSetting& operator=(const NavViewerSetting& other);
  ~NavViewerSetting();

  /// Bytes written by writeMessage: 144, plus the palette's size when there is one.
  int getMessageSize() const;
  /// Writes section mask, stereo mode, the seven ints from dashboard state to navigation
  /// style, the four floats, the lights, reference view, quality and distance records, then
  /// the palette presence flag and palette. The texture is never written. 0 for a null message.
  int writeMessage(KIVGPWMessage* msg) const;
  /// Reads in the write order. A value that cannot be read stays as it was; a palette flag of
  /// 1 creates the palette if needed and reads into it, any other flag leaves it alone.
  /// 1 when everything was read.
  int readMessage(KIVGPWMessage* msg);

  int sectionMask = -1;                      ///< Section bits of the sections given
  NavReferenceViewSetting referenceView;     ///< background, ground reference and collisions
  NavQualitySpeedSetting qualitySpeed;       ///< level of detail, culling and view modes
  NavDistanceSetting distance;               ///< distance tool settings
  NavPaletteViewerSetting* palette = nullptr;  ///< viewpoint palette setting, owned, or null
  int dashboardState = -1;                   ///< dashboard tool state
  int perfoState = -1;                       ///< performance display tool state
  int axisState = -1;                        ///< axis tool state
  int groundState = -1;                      ///< ground tool state
  int fog = -1;                              ///< 1 fog on, other values off
  int clippingMode = -1;                     ///< host viewpoint clipping mode
  int navigationStyle = -1;                  ///< navigation style, applied by viewers created with option 2
  float clippingNear = -1.0f;                ///< host viewpoint near clipping value
  float clippingFar = -1.0f;                 ///< host viewpoint far clipping value
  NavLightSourceSet lights;                  ///< directional lights
  KIVGraphicMaterial* texture = nullptr;     ///< background texture material, not owned, never serialised
  float ambientLight = -1.0f;                ///< global ambient intensity, the same for the three components
  int stereoMode = -1;                       ///< host stereo mode, -1 stereo off
  float stereoValue = -1.0f;                 ///< host stereo parameter
};
