#pragma once
// An interactive handle that a host command places in a viewer to position and orient
// something: a frame (origin and three orthonormal directions) with three sizes, drawn as a
// trihedral, a cube or a sphere of small reps, each draggable through its own manipulator.
// It keeps a ring of 20 frames for undo and redo, reports every move to its parent command
// (a move notification during a drag, a change notification when a move is complete), and
// shares one palette window and one "current mover" token with every other mover.
// What the frame stands for is the parent's business: it reads GetTransfoMatrice.
#include "host/core/KIVCommand.h"
#include "host/core/KIVUnicodeString.h"
#include "host/visu/math/KIV4x4Matrix.h"
#include "host/visu/math/KIVMathDirectionf.h"
#include "host/visu/math/KIVMathPointf.h"
#include <memory>
#include <vector>

class KIV3DBagRep;
class KIV3DRep;
class KIV3DSimpleSphereRep;
class KIV3DViewpoint;
class KIVNotification;
class Nav3DAxisRep;
class Nav3DManipulator;
class NavMenuGeneric;
class NavMovorPanel;
class NavRepChangeNotification;
class NavRepMoveNotification;
class NavViewerExtand;

class NavMovorObject : public KIVCommand {
  KIV_DECLARE_METAOBJECT(NavMovorObject)
 public:
  /// Shape kinds, also the contextual menu's options for them.
  static constexpr int kTrihedral = 203, kCube = 204, kSphere = 205;
  /// Contextual menu options.
  static constexpr int kOptionReset = 200, kOptionUndo = 201, kOptionRedo = 202, kOptionPlane = 206,
                       kOptionActive = 207, kOptionFacility = 208, kOptionNoShow = 209, kOptionNextRotation = 210,
                       kOptionPalette = 211;
  static constexpr int kHistoryCapacity = 20;

  /// The current mover (holds the token and drives the palette), null when none.
  static NavMovorObject* sxNavMovorManipJeton;
  /// 1: activating a mover deactivates the current one.
  static int slSelectExclusif;
  /// Divisor giving the facility length (the plane handles' inset) from the smallest size.
  static int snRatioFacility;
  /// The palette shared by every mover: made by the first mover, never freed by one.
  static NavMovorPanel* sxNavMovorPanel;

  /// sizes may be null; an entry not above 1.0 is taken as 1.0. kind: 203, 204 or 205
  /// (anything else is a trihedral). viewer may be null (nothing is shown then).
  NavMovorObject(KIVCommand* parent, KIVUnicodeString& name, NavViewerExtand* viewer, KIV4x4Matrix& initial,
                 float* sizes, int context, int shown, int attributeOption, int kind, int showPlane);
  ~NavMovorObject() override;
  NavMovorObject(const NavMovorObject&) = delete;
  NavMovorObject& operator=(const NavMovorObject&) = delete;

  const KIVUnicodeString& GetNameObject() const { return mName; }
  /// Refreshes the palette when this mover is the current one.
  void SetNameObject(KIVUnicodeString& name);
  KIV3DViewpoint* GetCurrentViewpoint() const;
  NavMovorPanel* GetMovorPalette() const { return sxNavMovorPanel; }
  /// The viewer, null when none was given or once it is gone.
  NavViewerExtand* GetViewer() const { return mViewerLife.expired() ? nullptr : mViewer; }
  KIVCommand* GetParentCommand() const { return mParent; }
  NavRepMoveNotification* RepMoveNotification() const { return mMoveNotification; }
  NavRepChangeNotification* RepChangedNotification() const { return mChangeNotification; }

  const KIV4x4Matrix* GetInitialMatrice() const { return mInitial; }
  /// The frame: directions as columns, origin as translation.
  KIV4x4Matrix GetCurrentMatrice() const;
  /// The motion since creation: current frame × inverse of the initial frame.
  KIV4x4Matrix GetTransfoMatrice() const;
  const KIV4x4Matrix* GetRotationMatrix() const { return mRotationFrame; }
  /// Takes the matrix as the rotation frame and forgets the chosen rotation point.
  void SetRotationMatrix(KIV4x4Matrix& frame);

  /// The one entry that changes the frame: stores it, rebuilds the reps in place when
  /// asked (and shown), recomputes the rotation centre, tells the parent, saves the
  /// history, refreshes the palette. spare is not read.
  void SetStatusMovor(KIVMathPointf& origin, KIVMathDirectionf& d1, KIVMathDirectionf& d2, KIVMathDirectionf& d3,
                      int updateRep, int sendChange, int save, int spare, int updatePalette);
  /// The same from a matrix's components; a null matrix is ignored.
  void SetStatusMovor(KIV4x4Matrix* frame, int updateRep, int sendChange, int save, int spare, int updatePalette);
  /// Moves the origin when p is away from it (a zero move writes no history).
  void SetMovorOrigine(KIVMathPointf& p, int updateRep, int sendChange);
  const KIVMathPointf& GetMovorOrigine() const { return mOrigin; }
  const KIVMathDirectionf& GetDirection(int i) const { return mDirections[i >= 0 && i < 3 ? i : 0]; }
  /// Sizes below the minimum (1.0), or unchanged, are ignored; a null array too.
  void SetMovorSize(float* sizes, int updateRep, int sendChange);
  void SetMovorSize(float size, int index, int updateRep, int sendChange);
  float GetMovorSize(int index) const { return index >= 0 && index < 3 ? mSizes[index] : 0.0f; }
  /// Makes the three directions orthonormal, keeping the one of index kept (0 to 2).
  static void OrthogonalizeMovor(KIVMathDirectionf& d1, KIVMathDirectionf& d2, KIVMathDirectionf& d3, int kept);

  // History.
  int UndoChangePosition(int sendChange);
  int RedoChangePosition(int sendChange);
  void ResetChangePosition(int sendChange);
  /// 1 asks about undo, 0 about redo.
  int IsUndoRedoPossible(int undo) const;
  void SaveMatrixPosition();
  int GetHistoryIndex() const { return mHistoryIndex; }
  int GetRedoCount() const { return mRedoCount; }

  void SetMovorShow(int shown);
  int IsMovorShow() const { return mShown; }
  void SetMovorActif(int active);
  /// tokenMode 0 takes the token, 1 gives it up, other values leave it.
  void SetMovorActif(int active, int updateAttributes, int tokenMode);
  int IsMovorActif() const { return mActive; }
  /// -1 only asks; returns the flag.
  int ShowPlan(int show);
  void ShowFacilityManip(int on);
  int GetFacilityHighlight() const { return mFacilityHighlight; }
  /// A value other than -1 sets the shared ratio (values below 1 are refused); returns it.
  static int GetRatioFacility(int ratio);
  /// -1 or the current kind only asks; returns the kind.
  int ChangeTypeRepresentation(int kind);
  int GetKind() const { return mKind; }
  void SetColorMovor(int* three);
  void SetColorMovor(int index, int colour);
  int GetColorMovor(int index) const { return index >= 0 && index < 3 ? mColours[index] : -1; }

  // Rotation centre and axis.
  void SetLogiqueRotationAxe(int axis) { mRotationAxis = axis; }
  int GetLogiqueRotationAxe() const { return mRotationAxis; }
  void SetLogiqueRotationPointNext();
  int GetRotationPointIndex() const { return mRotationPoint; }
  void SetRotationPoint(KIVMathPointf& p);
  /// The rotation centre, and for rotation axis 0, 1 or 2 that direction of the rotation
  /// frame (dir untouched otherwise).
  void GetRotationAxis(KIVMathPointf& point, KIVMathDirectionf& dir) const;

  // Contextual menu.
  /// Options 200 to 211; others are ignored.
  void ActiveOption(int option);
  void ActionOnMenuCB(KIVCommand* sender, KIVNotification* notification, void* data);
  void UpdateContextMenu();
  NavMenuGeneric* GetMenu() const { return mMenu; }

  // Manipulator callbacks.
  void RepChangedCB(KIVCommand* sender, KIVNotification* notification, void* data);
  void UpdateMovorPositionCB(KIVCommand* sender, KIVNotification* notification, void* data);

  // The parts, for hosts and tests.
  int GetRepCount() const { return mRepCount; }
  KIV3DRep* GetRep(int i) const { return i >= 0 && i < mRepCount ? mReps[i] : nullptr; }
  int GetManipulatorCount() const { return mManipulatorCount; }
  Nav3DManipulator* GetManipulator(int i) const {
    return i >= 0 && i < mManipulatorCount ? mManipulators[i] : nullptr;
  }
  /// The world point of a manipulator's handle (its point, or the middle of its line or
  /// face); the origin for an unknown manipulator.
  KIVMathPointf GetPointManipulate(const Nav3DManipulator* manipulator) const;
  KIV3DBagRep* GetMoverBag() const { return mMoverBag; }
  KIV3DBagRep* GetRotationBag() const { return mRotationBag; }
  Nav3DAxisRep* GetAxisRep() const { return mAxisRep; }
  KIV3DSimpleSphereRep* GetRotationSphere() const { return mRotationSphere; }
  int IsRepHidden(int i) const { return i >= 0 && i < mRepCount ? mLooks[i].hidden : 0; }
  int GetRepColor(int i) const { return i >= 0 && i < mRepCount ? mLooks[i].colour : -1; }

 private:
  // How a sub-rep looks: hidden, colour index, line type (0 to 3) and three flag bits
  // (transparent, high-lighted, not pickable).
  struct Look {
    int hidden = 0, colour = 253, lineType = 0, flag3 = 0, flag4 = 0, flag5 = 0;
  };
  // A draggable handle, its constraint kept in the mover's own coordinates so that it can
  // be given again in world coordinates whenever the frame moves.
  struct Handle {
    Nav3DManipulator* manipulator = nullptr;
    int style = 0;
    KIVMathPointf point;       // the handle's point (a point, a middle, a centre)
    KIVMathVectorf direction;  // translation direction, plane normal or rotation axis
    int turnsAboutOrigin = 0;  // turns about the origin, not about the rotation centre
    long callbacks[4] = {0, 0, 0, 0};
  };
  void UpdateRepresentationWithContext(int context);
  void UpdateMovorRep(int rebuild, int rotationPoints);
  void UpdateMovorAttribut(int apply);
  void EraseMovorRep(int all);
  void BuildTrihedral(float f);
  void BuildCube(float f);
  void BuildSphere(float f);
  int AddRep(KIV3DRep* rep, int colour, int flag5 = 0);
  void AddHandle(KIV3DRep* rep, const char* name, int style, const KIVMathPointf& point,
                 const KIVMathVectorf& direction);
  void UpdateMovorLineRep(const KIVMathPointf& p, const KIVMathPointf& q, int handles, float f);
  void ComputeRotationPoint();
  KIVMathPointf RotationCentre(int index) const;
  int RotationHiddenRep(int index) const;
  int RotationPointCount() const;
  void KeepRotationDirections();
  void Redraw();
  void RefreshPalette();
  void LoadFrame(const KIV4x4Matrix& m, int save, int sendChange);
  static NavMovorPanel* Palette();

  NavRepMoveNotification* mMoveNotification = nullptr;
  NavRepChangeNotification* mChangeNotification = nullptr;
  KIVCommand* mParent = nullptr;
  NavViewerExtand* mViewer = nullptr;
  std::weak_ptr<int> mViewerLife;
  // A second parent of everything the mover puts in the viewer, so that a viewer destroyed
  // first does not take the mover's reps with it (its manipulators still point at them).
  KIV3DBagRep* mKeeper = nullptr;
  KIVUnicodeString mName;
  int mKind = kTrihedral;
  int mShowPlane = 0;
  int mAttributeOption = 0;
  NavMenuGeneric* mMenu = nullptr;
  long mMenuCallback = 0;
  int mShown = 1;
  int mInhibitActivation = 0;
  int mActive = -1;
  int mFacilityHighlight = 0;
  int mColours[3] = {249, 247, 249};
  KIV3DSimpleSphereRep* mRotationSphere = nullptr;
  KIV3DBagRep* mRotationBag = nullptr;
  KIV4x4Matrix* mRotationFrame = nullptr;
  int mRotationPoint = -1;
  int mRotationAxis = -2;
  KIVMathPointf mOrigin;
  KIVMathDirectionf mDirections[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  float mSizes[3] = {1.0f, 1.0f, 1.0f};
  float mMinimumSize = 1.0f;
  int mLastSavedCell = -1;
  int mSavingEnabled = 1;
  int mRedoCount = 0;
  KIV4x4Matrix* mHistory[kHistoryCapacity] = {};
  int mHistoryIndex = -1;
  KIV4x4Matrix* mInitial = nullptr;
  int mRepCount = 0;
  int mManipulatorCount = 0;
  std::vector<KIV3DRep*> mReps;
  std::vector<Look> mLooks;
  std::vector<Handle> mHandles;
  std::vector<Nav3DManipulator*> mManipulators;
  KIV3DBagRep* mMoverBag = nullptr;
  Nav3DAxisRep* mAxisRep = nullptr;
  KIV4x4Matrix mDragStart;  // the frame when the drag in progress began
  int mDragging = 0;
};
