#include "mover/NavMovorObject.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "foundation/NavActionOnMenuNotification.h"
#include "foundation/NavMenuGeneric.h"
#include "foundation/NavRepChangeNotification.h"
#include "foundation/NavRepMoveNotification.h"
#include "foundation/TableauMenu.h"
#include "host/dialog/KIVDlgContextualMenu.h"
#include "host/dialog/KIVDlgMenu.h"
#include "host/visu/interact/KIVContextNotification.h"
#include "host/visu/interact/KIVEndManipulateNotification.h"
#include "host/visu/reps/KIV3DSimpleSphereRep.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DLineRep.h"
#include "host/visu/scene/KIV3DPointRep.h"
#include "measure/NavKIV3DRectangleRep.h"
#include "mover/NavMovorPanel.h"
#include "navigation/Nav3DAxisRep.h"
#include "navigation/Nav3DManipulator.h"
#include "primitives/KIV3DCircleRep.h"
#include "primitives/KIV3DTriangleRep.h"
#include "viewer/NavViewerExtand.h"

KIV_IMPLEMENT_METAOBJECT(NavMovorObject, KIVCommand)

NavMovorObject* NavMovorObject::sxNavMovorManipJeton = nullptr;
int NavMovorObject::slSelectExclusif = 1;
int NavMovorObject::snRatioFacility = 10;
NavMovorPanel* NavMovorObject::sxNavMovorPanel = nullptr;

namespace {
// The palette belongs to the dialog tree it was made in, which may go before the movers:
// its life token says whether the shared pointer still stands for a window.
std::weak_ptr<int> gPaletteLife;

constexpr int kHandleSymbol = 6;       // marker type of the point handles
constexpr float kHandlePixels = 9.0f;  // big enough to grab
constexpr int kPlaneColour = 252, kCentreColour = 247;
constexpr const char* kMenuTags[] = {"MovorPaletteItem", "Separator",     "MovorResetItem",   "MovorUndoItem",
                                     "MovorRedoItem",    "MovorTriedeItem", "MovorCubeItem",    "MovorSphereItem",
                                     "MovorPlanItem",    "MovorActifItem", "MovorFacilitItem", "MovorNoShowItem",
                                     "MovorRotNextItem"};

bool Finite(const KIVMathVectorf& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }
bool Finite(const KIVMathPointf& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

// Three unit directions make a frame when none is null and they span space well.
bool IsFrame(const KIVMathVectorf& d1, const KIVMathVectorf& d2, const KIVMathVectorf& d3) {
  if (!Finite(d1) || !Finite(d2) || !Finite(d3) || d1.IsNull() || d2.IsNull() || d3.IsNull()) return false;
  const KIVMathDirectionf a(d1), b(d2), c(d3);
  return std::fabs((a ^ b) * c) > 1e-3f;
}

KIVMathVectorf Axis(int i) { return {i == 0 ? 1.0f : 0.0f, i == 1 ? 1.0f : 0.0f, i == 2 ? 1.0f : 0.0f}; }
}  // namespace

NavMovorPanel* NavMovorObject::Palette() {
  if (sxNavMovorPanel && gPaletteLife.expired()) sxNavMovorPanel = nullptr;
  return sxNavMovorPanel;
}

NavMovorObject::NavMovorObject(KIVCommand* parent, KIVUnicodeString& name, NavViewerExtand* viewer,
                               KIV4x4Matrix& initial, float* sizes, int context, int shown, int attributeOption,
                               int kind, int showPlane)
    : KIVCommand(nullptr, "NavMovorObject"),
      mParent(parent),
      mViewer(viewer),
      mName(name),
      mKind(kind == kCube || kind == kSphere ? kind : kTrihedral),
      mShowPlane(showPlane == 1 ? 1 : 0),
      mAttributeOption(attributeOption),
      mShown(shown == 0 ? 0 : 1) {
  for (int i = 0; i < 3; ++i)
    mSizes[i] = sizes && std::isfinite(sizes[i]) && sizes[i] > mMinimumSize ? sizes[i] : mMinimumSize;
  // A matrix that is no frame (singular, parallel or non-finite axes) keeps only its
  // origin, so that the mover still stands where it was asked to.
  KIVMathVectorf d1, d2, d3;
  KIVMathPointf o;
  initial.GetComponents(d1, d2, d3, o);
  if (!Finite(o)) o = KIVMathPointf();
  if (!IsFrame(d1, d2, d3)) d1 = Axis(0), d2 = Axis(1), d3 = Axis(2);
  mInitial = new KIV4x4Matrix(KIVMathDirectionf(d1), KIVMathDirectionf(d2), KIVMathDirectionf(d3), o);
  mRotationFrame = new KIV4x4Matrix(*mInitial);
  mOrigin = o;
  mDirections[0] = d1, mDirections[1] = d2, mDirections[2] = d3;

  if (!Palette()) {
    sxNavMovorPanel = new NavMovorPanel(parent, viewer ? viewer->GetParent() : nullptr);
    gPaletteLife = sxNavMovorPanel->GetLifeToken();
  }
  mMoveNotification = new NavRepMoveNotification;
  mChangeNotification = new NavRepChangeNotification;
  mMenu = new NavMenuGeneric(this, viewer ? viewer->GetParent() : nullptr, "MovorContext", -1, nullptr, 0);
  if (viewer) mMenu->SetRacineMenu(viewer->GetContextualMenu());
  mMenuCallback =
      AddAnalyseNotificationCB(mMenu, mMenu->GetActionMenuNotification(), &NavMovorObject::ActionOnMenuCB, nullptr);

  if (viewer) mViewerLife = viewer->GetLifeToken();
  mKeeper = new KIV3DBagRep;
  mRotationBag = new KIV3DBagRep;
  mRotationBag->SetMatrix(*mRotationFrame);
  mMoverBag = new KIV3DBagRep;
  mAxisRep = new Nav3DAxisRep;
  mAxisRep->SetShowMode(mShown != 1, 0);
  for (KIVRep* rep : {static_cast<KIVRep*>(mMoverBag), static_cast<KIVRep*>(mRotationBag),
                      static_cast<KIVRep*>(mAxisRep)}) {
    mKeeper->AddChild(rep);
    if (mViewer) mViewer->AddRep(rep, NavViewerExtand::kTemporyRoot);
  }
  UpdateRepresentationWithContext(context);
  SaveMatrixPosition();

  mRotationSphere = new KIV3DSimpleSphereRep(KIVMathPointf(), 50.0f, 20);
  KIVGraphicAttributeSet look = mRotationSphere->GetGraphicAttributeSet();
  look.SetColorIndex(kCentreColour);
  look.SetFlag(KIVGraphicAttributeSet::Transparent, 1);
  look.SetFlag(KIVGraphicAttributeSet::NotPickable, 1);  // feedback only: never in the way of a handle
  look.SetFlag(KIVGraphicAttributeSet::Hidden, 1);
  mRotationSphere->SetGraphicAttributeSet(look);
  mKeeper->AddChild(mRotationSphere);
  if (mViewer) mViewer->AddRep(mRotationSphere, NavViewerExtand::kTemporyRoot);
}

NavMovorObject::~NavMovorObject() {
  delete mMoveNotification;
  delete mChangeNotification;
  if (sxNavMovorManipJeton == this) {
    if (NavMovorPanel* palette = Palette(); palette && palette->GetRegisterMovor() == this)
      palette->SetCurrentMovorObject(nullptr);
    sxNavMovorManipJeton = nullptr;
  }
  EraseMovorRep(1);
  if (NavViewerExtand* viewer = GetViewer()) viewer->RemoveRep(mRotationSphere, NavViewerExtand::kTemporyRoot);
  mKeeper->Destroy();  // the sphere and whatever the viewer held
  for (KIV4x4Matrix*& cell : mHistory) delete cell;
  delete mInitial;
  RemoveAnalyseNotificationCB(mMenuCallback);
  if (mMenu) mMenu->SupprimeMenu(1);
  delete mMenu;
  delete mRotationFrame;
}

// ---------------------------------------------------------------------------------------
// Frame

KIV3DViewpoint* NavMovorObject::GetCurrentViewpoint() const {
  NavViewerExtand* viewer = GetViewer();
  return viewer ? viewer->GetMain3DViewpoint() : nullptr;
}

void NavMovorObject::SetNameObject(KIVUnicodeString& name) {
  mName = name;
  if (sxNavMovorManipJeton == this) RefreshPalette();
}

KIV4x4Matrix NavMovorObject::GetCurrentMatrice() const {
  return KIV4x4Matrix(mDirections[0], mDirections[1], mDirections[2], mOrigin);
}

// Row-vector placements: the initial frame followed by this motion is the current frame.
KIV4x4Matrix NavMovorObject::GetTransfoMatrice() const { return mInitial->Inverse() * GetCurrentMatrice(); }

void NavMovorObject::SetRotationMatrix(KIV4x4Matrix& frame) {
  KIVMathVectorf d1, d2, d3;
  KIVMathPointf o;
  frame.GetComponents(d1, d2, d3, o);
  if (!Finite(o) || !IsFrame(d1, d2, d3)) return;
  *mRotationFrame = frame;
  if (mRotationPoint >= 0) {
    const int rep = RotationHiddenRep(mRotationPoint);
    if (rep >= 0 && rep < mRepCount) mLooks[rep].hidden = 0;
  }
  mRotationPoint = -1;
  mRotationBag->SetMatrix(*mRotationFrame);
  mAxisRep->Modify(*mRotationFrame, 30, 5);
  if (mShown) {
    UpdateMovorAttribut(1);
    Redraw();
  }
}

void NavMovorObject::SetStatusMovor(KIVMathPointf& origin, KIVMathDirectionf& d1, KIVMathDirectionf& d2,
                                    KIVMathDirectionf& d3, int updateRep, int sendChange, int save, int,
                                    int updatePalette) {
  if (!Finite(origin) || !IsFrame(d1, d2, d3)) return;  // refused: the mover stays as it was
  mOrigin = origin;
  mDirections[0] = d1, mDirections[1] = d2, mDirections[2] = d3;
  if (mShown && updateRep == 1) {
    UpdateMovorRep(0, -1);
    KeepRotationDirections();
    Redraw();
  }
  ComputeRotationPoint();
  if (sendChange == 1 && mParent) SendNotification(mParent, mChangeNotification);
  if (save == 1) SaveMatrixPosition();
  if (updatePalette == 1) RefreshPalette();
}

void NavMovorObject::SetStatusMovor(KIV4x4Matrix* frame, int updateRep, int sendChange, int save, int spare,
                                    int updatePalette) {
  if (!frame) return;
  KIVMathVectorf v1, v2, v3;
  KIVMathPointf o;
  frame->GetComponents(v1, v2, v3, o);
  KIVMathDirectionf d1(v1), d2(v2), d3(v3);
  SetStatusMovor(o, d1, d2, d3, updateRep, sendChange, save, spare, updatePalette);
}

void NavMovorObject::SetMovorOrigine(KIVMathPointf& p, int updateRep, int sendChange) {
  if (!Finite(p) || !(p.DistanceTo(mOrigin) > 0.0f)) return;
  KIVMathDirectionf d1 = mDirections[0], d2 = mDirections[1], d3 = mDirections[2];
  SetStatusMovor(p, d1, d2, d3, updateRep, sendChange, 1, 1, 1);
}

void NavMovorObject::SetMovorSize(float* sizes, int updateRep, int sendChange) {
  if (!sizes) return;
  int changed = 0;
  for (int i = 0; i < 3; ++i)
    if (std::isfinite(sizes[i]) && sizes[i] >= mMinimumSize && sizes[i] != mSizes[i]) {
      mSizes[i] = sizes[i];
      changed = 1;
    }
  if (!changed) return;
  KIV4x4Matrix frame = GetCurrentMatrice();
  SetStatusMovor(&frame, updateRep, sendChange, 1, 1, 1);
}

void NavMovorObject::SetMovorSize(float size, int index, int updateRep, int sendChange) {
  if (index < 0 || index > 2) return;
  float sizes[3] = {mSizes[0], mSizes[1], mSizes[2]};
  sizes[index] = size;
  SetMovorSize(sizes, updateRep, sendChange);
}

void NavMovorObject::OrthogonalizeMovor(KIVMathDirectionf& d1, KIVMathDirectionf& d2, KIVMathDirectionf& d3,
                                        int kept) {
  if (kept == 0) {
    d2 = d3 ^ d1;
    d3 = d1 ^ d2;
  } else if (kept == 1) {
    d1 = d2 ^ d3;
    d3 = d1 ^ d2;
  } else if (kept == 2) {
    d2 = d3 ^ d1;
    d1 = d2 ^ d3;
  }
  // A component edited in place leaves a direction off unit length.
  d1.Normalize();
  d2.Normalize();
  d3.Normalize();
}

// ---------------------------------------------------------------------------------------
// History

void NavMovorObject::SaveMatrixPosition() {
  if (mSavingEnabled != 1) return;
  ++mHistoryIndex;
  mLastSavedCell = mHistoryIndex % kHistoryCapacity;
  if (!mHistory[mLastSavedCell]) mHistory[mLastSavedCell] = new KIV4x4Matrix;
  *mHistory[mLastSavedCell] = GetCurrentMatrice();
  mRedoCount = 0;  // a new position ends the branch that could be redone
}

int NavMovorObject::IsUndoRedoPossible(int undo) const {
  if (undo != 1) return mRedoCount >= 1;
  // The ring keeps at most capacity - 1 steps behind the newest entry.
  return mHistoryIndex >= 1 && (mRedoCount == 0 || (mHistoryIndex - 1) % kHistoryCapacity != mLastSavedCell);
}

void NavMovorObject::LoadFrame(const KIV4x4Matrix& m, int save, int sendChange) {
  KIV4x4Matrix frame = m;
  SetStatusMovor(&frame, 1, sendChange, save, 1, 1);
}

int NavMovorObject::UndoChangePosition(int sendChange) {
  if (!IsUndoRedoPossible(1)) return 0;
  --mHistoryIndex;
  const KIV4x4Matrix* cell = mHistory[mHistoryIndex % kHistoryCapacity];
  ++mRedoCount;
  if (cell) LoadFrame(*cell, 0, sendChange);
  return 1;
}

int NavMovorObject::RedoChangePosition(int sendChange) {
  if (mRedoCount < 1) return 0;
  ++mHistoryIndex;
  const KIV4x4Matrix* cell = mHistory[mHistoryIndex % kHistoryCapacity];
  --mRedoCount;
  if (cell) LoadFrame(*cell, 0, sendChange);
  return 1;
}

void NavMovorObject::ResetChangePosition(int sendChange) { LoadFrame(*mInitial, 1, sendChange); }

// ---------------------------------------------------------------------------------------
// Shapes

int NavMovorObject::AddRep(KIV3DRep* rep, int colour, int flag5) {
  mReps.push_back(rep);
  Look look;
  look.colour = colour;
  look.flag5 = flag5;
  mLooks.push_back(look);
  mRepCount = static_cast<int>(mReps.size());
  if (mMoverBag) mMoverBag->AddChild(rep);
  return mRepCount - 1;
}

void NavMovorObject::AddHandle(KIV3DRep* rep, const char* name, int style, const KIVMathPointf& point,
                               const KIVMathVectorf& direction) {
  Handle h;
  h.manipulator = new Nav3DManipulator(this, KIVString(name), rep, static_cast<KIV3DManipulator::ManipulationStyle>(style),
                                       static_cast<KIV3DManipulator::ManipulationStyle>(style));
  if (mInhibitActivation == 1) h.manipulator->InhibAutomaticActivation();
  // The mover shows its own feedback: a click must not high-light a handle.
  h.manipulator->InhibAutomaticActivation();
  h.style = style;
  h.point = point;
  h.direction = direction;
  h.callbacks[0] = AddAnalyseNotificationCB(h.manipulator, KIVManipulator::GetKIVBeginManipulate(),
                                            &NavMovorObject::RepChangedCB, nullptr);
  h.callbacks[1] = AddAnalyseNotificationCB(h.manipulator, KIVManipulator::GetKIVEndManipulate(),
                                            &NavMovorObject::RepChangedCB, nullptr);
  h.callbacks[2] = AddAnalyseNotificationCB(h.manipulator, KIVManipulator::GetKIVContext(),
                                            &NavMovorObject::RepChangedCB, nullptr);
  h.callbacks[3] = AddAnalyseNotificationCB(h.manipulator, KIVManipulator::GetKIVManipulate(),
                                            &NavMovorObject::UpdateMovorPositionCB, nullptr);
  mHandles.push_back(h);
  mManipulators.push_back(h.manipulator);
  mManipulatorCount = static_cast<int>(mHandles.size());
}

// A segment P to Q: end handles (0 none, 1 at Q, 2 at both), a draggable middle and the
// two short pieces at the ends, which leave room for the end handles (f = -1: no pieces).
void NavMovorObject::UpdateMovorLineRep(const KIVMathPointf& p, const KIVMathPointf& q, int handles, float f) {
  const KIVMathDirectionf d(q - p);
  if (handles == 2) {
    AddHandle(mReps[AddRep(new KIV3DPointRep(p, kHandleSymbol, kHandlePixels), mColours[1])],
              "MovorManipulatorCoin", 5, p, KIVMathVectorf());
  }
  if (handles >= 1) {
    AddHandle(mReps[AddRep(new KIV3DPointRep(q, kHandleSymbol, kHandlePixels), mColours[1])],
              "MovorManipulatorCoin", 5, q, KIVMathVectorf());
  }
  const KIVMathPointf a = f < 0.0f ? p : p + d * f, b = f < 0.0f ? q : q - d * f;
  auto* middle = new KIV3DLineRep(a, b);
  middle->SetThickness(3);
  AddHandle(mReps[AddRep(middle, mColours[0])], "MovorTranslatioX", 1, a + (b - a) * 0.5f, d);
  if (f >= 0.0f) {
    AddRep(new KIV3DLineRep(p, a), mColours[2], 1);
    AddRep(new KIV3DLineRep(b, q), mColours[2], 1);
  }
}

void NavMovorObject::BuildTrihedral(float f) {
  const KIVMathPointf o;
  AddHandle(mReps[AddRep(new KIV3DPointRep(o, kHandleSymbol, kHandlePixels), mColours[1])], "MovorManipulatorCoin",
            5, o, KIVMathVectorf());
  for (int i = 0; i < 3; ++i) UpdateMovorLineRep(o, o + Axis(i) * mSizes[i], 1, f);
  for (int i = 0; i < 3; ++i) {
    const int j = (i + 1) % 3, k = (i + 2) % 3;
    const KIVMathPointf corner = o + Axis(i) * f + Axis(j) * f;
    const KIVMathVectorf legJ = Axis(j) * (mSizes[j] - 2.0f * f), legI = Axis(i) * (mSizes[i] - 2.0f * f);
    const int rep = AddRep(new KIV3DTriangleRep(corner, legJ, legI), kPlaneColour);
    mLooks[rep].flag3 = 1;
    AddHandle(mReps[rep], "MovorManipulatorPlane", 2, corner + (legI + legJ) * (1.0f / 3.0f), Axis(k));
  }
}

void NavMovorObject::BuildCube(float f) {
  const KIVMathVectorf X = Axis(0) * mSizes[0], Y = Axis(1) * mSizes[1], Z = Axis(2) * mSizes[2];
  const KIVMathPointf q = KIVMathPointf() - (X + Y + Z) * 0.5f;
  // The four edges along Y carry the eight corner handles.
  for (const KIVMathPointf& c : {q, q + X, q + X + Z, q + Z}) UpdateMovorLineRep(c, c + Y, 2, f);
  for (const KIVMathPointf& c : {q, q + Y, q + Z, q + Y + Z}) UpdateMovorLineRep(c, c + X, 0, f);
  for (const KIVMathPointf& c : {q, q + X, q + Y, q + X + Y}) UpdateMovorLineRep(c, c + Z, 0, f);
  const KIVMathPointf far = q + X + Y + Z;
  for (int side = 0; side < 3; ++side) {
    // Sides normal to Z, X and Y, each spanned by (a, b).
    const int a = side == 0 ? 0 : side == 1 ? 1 : 2, b = side == 0 ? 1 : side == 1 ? 2 : 0;
    const KIVMathVectorf ea = Axis(a) * (mSizes[a] - 2.0f * f), eb = Axis(b) * (mSizes[b] - 2.0f * f);
    const KIVMathVectorf inset = Axis(a) * f + Axis(b) * f;
    const KIVMathVectorf normal = Axis(a) ^ Axis(b);
    for (int opposite = 0; opposite < 2; ++opposite) {
      const KIVMathPointf corner = opposite ? far - inset : q + inset;
      const KIVMathVectorf u = opposite ? -ea : ea, v = opposite ? -eb : eb;
      const int rep = AddRep(new NavKIV3DRectangleRep(corner, u, v), kPlaneColour);
      mLooks[rep].flag3 = 1;
      AddHandle(mReps[rep], "MovorManipulatorPlane", 2, corner + (u + v) * 0.5f, normal);
    }
  }
}

void NavMovorObject::BuildSphere(float f) {
  const KIVMathPointf o;
  for (int i = 0; i < 3; ++i) UpdateMovorLineRep(o + Axis(i) * (mSizes[i] / 2), o - Axis(i) * (mSizes[i] / 2), 2, f);
  const int smallest = static_cast<int>(std::min({mSizes[0], mSizes[1], mSizes[2]}));
  const int r = (smallest - static_cast<int>(f)) / 2;
  for (int k = 0; k < 3; ++k) {
    const KIVMathVectorf axis = Axis((k + 2) % 3);  // rings turn about Z, X and Y
    const int rep = AddRep(new KIV3DCircleRep(o, Axis(k) * static_cast<float>(r), KIVMathDirectionf(axis), 40),
                           mColours[0]);
    AddHandle(mReps[rep], "MovorManipulatorRotAxis", 4, o + Axis(k) * static_cast<float>(r), axis);
  }
  const int rep = AddRep(new KIV3DSimpleSphereRep(o, static_cast<float>(smallest / 2), 30), mColours[2]);
  mLooks[rep].flag3 = 1;
  AddHandle(mReps[rep], "MovorManipulatorCoin", 5, o, KIVMathVectorf());
  mHandles.back().turnsAboutOrigin = 1;
}

void NavMovorObject::UpdateRepresentationWithContext(int) {
  const int saving = mSavingEnabled;
  mSavingEnabled = 0;
  const KIV4x4Matrix frame = mMoverBag->GetMatrix() ? *mMoverBag->GetMatrix() : *mInitial;
  EraseMovorRep(0);
  // Built in the mover's own coordinates; the mover bag's matrix places the shape.
  mOrigin = KIVMathPointf();
  for (int i = 0; i < 3; ++i) mDirections[i] = Axis(i);
  const int ratio = snRatioFacility > 0 ? snRatioFacility : 10;
  const float f = static_cast<float>(static_cast<int>(std::min({mSizes[0], mSizes[1], mSizes[2]})) / ratio);
  if (mKind == kCube)
    BuildCube(f);
  else if (mKind == kSphere)
    BuildSphere(f);
  else
    BuildTrihedral(f);
  const int marker = AddRep(new KIV3DPointRep(KIVMathPointf(), kHandleSymbol, kHandlePixels), kCentreColour, 1);
  mMoverBag->RemoveChild(mReps[marker]);
  mRotationBag->AddChild(mReps[marker]);
  if (mRotationPoint >= 0) {
    if (mRotationPoint >= RotationPointCount()) mRotationPoint = 0;
    const int hidden = RotationHiddenRep(mRotationPoint);
    if (hidden >= 0) mLooks[hidden].hidden = 1;
  }
  KIV4x4Matrix placed = frame;
  SetStatusMovor(&placed, 1, 0, 0, 0, 0);
  mSavingEnabled = saving;
  UpdateMovorAttribut(1);
}

void NavMovorObject::EraseMovorRep(int all) {
  for (Handle& h : mHandles) {
    for (long id : h.callbacks) RemoveAnalyseNotificationCB(id);
    delete h.manipulator;
  }
  mHandles.clear();
  mManipulators.clear();
  mManipulatorCount = 0;
  if (mMoverBag) mMoverBag->DestroyChildren();
  if (mRotationBag) mRotationBag->DestroyChildren();
  mReps.clear();
  mLooks.clear();
  mRepCount = 0;
  if (all != 1) return;
  if (NavViewerExtand* viewer = GetViewer())
    for (KIVRep* rep : {static_cast<KIVRep*>(mMoverBag), static_cast<KIVRep*>(mRotationBag),
                        static_cast<KIVRep*>(mAxisRep)})
      viewer->RemoveRep(rep, NavViewerExtand::kTemporyRoot);
  for (KIVRep* rep : {static_cast<KIVRep*>(mMoverBag), static_cast<KIVRep*>(mRotationBag),
                      static_cast<KIVRep*>(mAxisRep)})
    mKeeper->RemoveChild(rep);
  mMoverBag->Destroy();
  mRotationBag->Destroy();
  delete mAxisRep;
  mMoverBag = mRotationBag = nullptr;
  mAxisRep = nullptr;
}

void NavMovorObject::UpdateMovorRep(int, int rotationPoints) {
  const KIV4x4Matrix frame = GetCurrentMatrice();
  for (Handle& h : mHandles) {
    h.manipulator->SetPosition(frame);
    if (rotationPoints != -1) continue;  // during a drag the constraints stay as they began
    const KIVMathVectorf direction = frame.TransformVector(h.direction);
    if (h.style == 1)
      h.manipulator->SetTranslationDirection(direction);
    else if (h.style == 2)
      h.manipulator->SetTranslationPlane(direction);
    else if (h.style == 4)
      h.manipulator->SetRotationLine(mOrigin, direction);
    else if (h.style == 5)
      h.manipulator->SetRotationPoint(h.turnsAboutOrigin ? mOrigin : RotationCentre(-1));
  }
  mMoverBag->SetMatrix(frame);
}

// ---------------------------------------------------------------------------------------
// Rotation centre

int NavMovorObject::RotationPointCount() const { return mKind == kCube ? 9 : mKind == kSphere ? 7 : 4; }

KIVMathPointf NavMovorObject::RotationCentre(int index) const {
  if (index < 0) {
    KIVMathVectorf d1, d2, d3;
    KIVMathPointf o;
    mRotationFrame->GetComponents(d1, d2, d3, o);
    return o;
  }
  const KIVMathVectorf X = mDirections[0] * mSizes[0], Y = mDirections[1] * mSizes[1], Z = mDirections[2] * mSizes[2];
  const KIVMathPointf& o = mOrigin;
  if (mKind == kCube) {
    const KIVMathPointf q = o - (X + Y + Z) * 0.5f;
    const KIVMathPointf centres[9] = {q, q + X, q + X + Z, q + Z, q + Y, q + Y + X, q + Y + X + Z, q + Y + Z, o};
    return centres[index % 9];
  }
  if (mKind == kSphere) {
    const KIVMathPointf centres[7] = {o, o + X * 0.5f, o - X * 0.5f, o + Y * 0.5f, o - Y * 0.5f, o + Z * 0.5f,
                                      o - Z * 0.5f};
    return centres[index % 7];
  }
  const KIVMathPointf centres[4] = {o, o + X, o + Y, o + Z};
  return centres[index % 4];
}

int NavMovorObject::RotationHiddenRep(int index) const {
  static constexpr int kTrihedral[4] = {0, 1, 5, 9};
  static constexpr int kCube[9] = {0, 5, 10, 15, 1, 6, 11, 16, -1};
  static constexpr int kSphere[7] = {-1, 0, 1, 5, 6, 10, 11};
  if (index < 0) return -1;
  if (mKind == NavMovorObject::kCube) return kCube[index % 9];
  if (mKind == NavMovorObject::kSphere) return kSphere[index % 7];
  return kTrihedral[index % 4];
}

void NavMovorObject::ComputeRotationPoint() {
  if (mRotationPoint >= 0) {
    KIVMathVectorf d1, d2, d3;
    KIVMathPointf o;
    mRotationFrame->GetComponents(d1, d2, d3, o);
    mRotationFrame->SetComponents(d1, d2, d3, RotationCentre(mRotationPoint));
  }
  mRotationBag->SetMatrix(*mRotationFrame);
  mAxisRep->Modify(*mRotationFrame, 30, 5);
}

void NavMovorObject::KeepRotationDirections() {
  KIVMathVectorf d1, d2, d3;
  KIVMathPointf o;
  mRotationFrame->GetComponents(d1, d2, d3, o);
  mRotationFrame->SetComponents(mDirections[0], mDirections[1], mDirections[2], o);
}

void NavMovorObject::SetLogiqueRotationPointNext() {
  const int old = RotationHiddenRep(mRotationPoint);
  if (old >= 0 && old < mRepCount) mLooks[old].hidden = 0;
  mRotationPoint = (mRotationPoint + 1) % RotationPointCount();
  if (mRotationPoint < 0) mRotationPoint = 0;
  const int now = RotationHiddenRep(mRotationPoint);
  if (now >= 0 && now < mRepCount) mLooks[now].hidden = 1;
  ComputeRotationPoint();
  UpdateMovorRep(0, -1);
  UpdateMovorAttribut(1);
  Redraw();
}

void NavMovorObject::SetRotationPoint(KIVMathPointf& p) {
  if (!Finite(p)) return;
  const int old = RotationHiddenRep(mRotationPoint);
  if (old >= 0 && old < mRepCount) mLooks[old].hidden = 0;
  mRotationPoint = -1;
  KIVMathVectorf d1, d2, d3;
  KIVMathPointf o;
  mRotationFrame->GetComponents(d1, d2, d3, o);
  mRotationFrame->SetComponents(d1, d2, d3, p);
  ComputeRotationPoint();
  UpdateMovorRep(0, -1);
  UpdateMovorAttribut(1);
  Redraw();
}

void NavMovorObject::GetRotationAxis(KIVMathPointf& point, KIVMathDirectionf& dir) const {
  KIVMathVectorf d[3];
  mRotationFrame->GetComponents(d[0], d[1], d[2], point);
  if (mRotationAxis >= 0 && mRotationAxis <= 2) dir = d[mRotationAxis];
}

// ---------------------------------------------------------------------------------------
// Look, show and activation

void NavMovorObject::UpdateMovorAttribut(int apply) {
  if (apply) {
    for (int i = 0; i < mRepCount; ++i) {
      Look look = mLooks[i];
      const bool plane = look.colour == kPlaneColour && i < mRepCount - 1;
      if (plane) look.hidden = look.hidden || !mShowPlane;
      KIVGraphicAttributeSet set;  // 253, 1, 1, no flags
      set.bytes[2] = mReps[i]->GetGraphicAttributeSet().bytes[2];  // a line keeps its thickness
      if (look.hidden) {
        set.SetFlag(KIVGraphicAttributeSet::Hidden, 1);
      } else {
        set.SetColorIndex(look.colour > 255 ? 253 : look.colour);
        set.SetFlag(KIVGraphicAttributeSet::NotPickable, look.flag5);
        if (look.lineType >= 0 && look.lineType < 4)
          set.bytes[3] = static_cast<unsigned char>(set.bytes[3] | look.lineType << 4);
        set.SetFlag(KIVGraphicAttributeSet::Transparent, look.flag3);
        set.SetFlag(KIVGraphicAttributeSet::Selected, mFacilityHighlight ? 0 : look.flag4);
        // An inert mover is drawn dimmed, so that one sees which mover the mouse drives.
        set.SetFlag(KIVGraphicAttributeSet::LowLighted, mActive == 0);
      }
      mReps[i]->SetGraphicAttributeSet(set);
    }
  }
  mFacilityHighlight = 0;
}

void NavMovorObject::SetMovorShow(int shown) {
  if (shown == mShown) return;
  mShown = shown;
  UpdateMovorAttribut(1);
  for (KIV3DBagRep* bag : {mMoverBag, mRotationBag}) bag->SetShowMode(shown != 1, 0);
  mAxisRep->SetShowMode(shown != 1, 0);
  if (shown == 1) UpdateMovorRep(0, -1);
  Redraw();
}

void NavMovorObject::SetMovorActif(int active) {
  if (active == 1)
    SetMovorActif(1, 1, 0);
  else
    SetMovorActif(active, 1, -1);
}

void NavMovorObject::SetMovorActif(int active, int updateAttributes, int tokenMode) {
  if (active == mActive) return;
  mActive = active;
  NavMovorPanel* palette = Palette();
  auto release = [&]() {
    if (palette && palette->GetRegisterMovor() == this) palette->SetCurrentMovorObject(nullptr);
    if (sxNavMovorManipJeton == this) sxNavMovorManipJeton = nullptr;
  };
  if (active == 1) {
    NavMovorObject* other = sxNavMovorManipJeton;
    if (other && other != this) {
      if (slSelectExclusif == 1) {
        if (palette) palette->ActivateUpdate(0);
        other->SetMovorActif(0, 1, -1);
      } else {
        other->SetMovorActif(1, 1, 1);
      }
    }
    if (tokenMode == 0) {
      sxNavMovorManipJeton = this;
      if (palette) {
        palette->SetCurrentMovorObject(this);
        palette->ActivateUpdate(1);
      }
    } else if (tokenMode == 1) {
      release();
    }
  } else {
    release();
  }
  UpdateMovorAttribut(updateAttributes);
  Redraw();
}

int NavMovorObject::ShowPlan(int show) {
  if (show == -1) return mShowPlane;
  const int value = show == 1 ? 1 : 0;
  if (value != mShowPlane) {
    mShowPlane = value;
    UpdateMovorAttribut(1);
    Redraw();
  }
  return mShowPlane;
}

void NavMovorObject::ShowFacilityManip(int on) {
  mFacilityHighlight = on == 1 ? 1 : 0;
  UpdateMovorAttribut(1);
  Redraw();
}

int NavMovorObject::GetRatioFacility(int ratio) {
  if (ratio != -1 && ratio >= 1) snRatioFacility = ratio;
  return snRatioFacility;
}

int NavMovorObject::ChangeTypeRepresentation(int kind) {
  if (kind == -1 || kind == mKind || (kind != kTrihedral && kind != kCube && kind != kSphere)) return mKind;
  const int old = RotationHiddenRep(mRotationPoint);
  if (old >= 0 && old < mRepCount) mLooks[old].hidden = 0;
  mKind = kind;
  UpdateRepresentationWithContext(-1);
  Redraw();
  RefreshPalette();
  return mKind;
}

void NavMovorObject::SetColorMovor(int* three) {
  if (!three) return;
  for (int i = 0; i < 3; ++i) SetColorMovor(i, three[i]);
}

void NavMovorObject::SetColorMovor(int index, int colour) {
  if (index < 0 || index > 2 || colour < 0 || colour > 255 || mColours[index] == colour) return;
  const int old = mColours[index];
  mColours[index] = colour;
  for (Look& look : mLooks)
    if (look.colour == old) look.colour = colour;
  UpdateMovorAttribut(1);
  Redraw();
}

void NavMovorObject::Redraw() {
  if (NavViewerExtand* viewer = GetViewer()) viewer->Draw();
}

void NavMovorObject::RefreshPalette() {
  if (NavMovorPanel* palette = Palette()) palette->UpdatePalette();
}

// ---------------------------------------------------------------------------------------
// Contextual menu

void NavMovorObject::UpdateContextMenu() {
  if (!mMenu || !mMenu->GetRacineMenu() || !GetViewer()) return;
  // The items of the last right click go at once, so that the menu never shows them twice
  // (looked up by tag: the host may have emptied the menu since).
  mMenu->SupprimeMenu(0);
  KIVDlgMenu* root = mMenu->GetRacineMenu();
  for (const char* tag : kMenuTags)
    while (KIVDialog* old = root->LookupChild(tag, 0)) delete old;
  mMenu->GetRacineMenu()->SetTitle(KIVUnicodeString("Options"));
  NavMovorPanel* palette = Palette();
  const int paletteShown = palette && !palette->GetPaletteStatusHide();
  auto state = [](int checked, int insensitive) { return 1 | (insensitive ? 2 : 0) | (checked ? 4 : 0); };
  TableauMenu rows[18] = {
      {kOptionPalette, 2, "MovorPaletteItem", "Show Palette", 0, 0, nullptr, 0, state(paletteShown, !palette)},
      {-1, 5, "Separator", "", 0, 0, nullptr, 0, 1},
      {kOptionReset, 3, "MovorResetItem", "Reset Position", 0, 0, nullptr, 0, 1},
      {kOptionUndo, 3, "MovorUndoItem", "Undo Position", 0, 0, nullptr, 0, state(0, !IsUndoRedoPossible(1))},
      {kOptionRedo, 3, "MovorRedoItem", "Redo Position", 0, 0, nullptr, 0, state(0, mRedoCount == 0)},
      {-1, 5, "Separator", "", 0, 0, nullptr, 0, 1},
      {kTrihedral, 4, "MovorTriedeItem", "Type Triede", 0, 0, nullptr, 0, state(mKind == kTrihedral, 0)},
      {kCube, 4, "MovorCubeItem", "Type Cube", 0, 0, nullptr, 0, state(mKind == kCube, 0)},
      {kSphere, 4, "MovorSphereItem", "Type Sphere", 0, 0, nullptr, 0, state(mKind == kSphere, 0)},
      {-1, 5, "Separator", "", 0, 0, nullptr, 0, 1},
      {kOptionPlane, 2, "MovorPlanItem", "Show Plan", 0, 0, nullptr, 0, state(mShowPlane == 1, 0)},
      {-1, 5, "Separator", "", 0, 0, nullptr, 0, 1},
      {kOptionActive, 2, "MovorActifItem", "Actif/Inactif", 0, 0, nullptr, 0, state(mActive == 1, 0)},
      {-1, 5, "Separator", "", 0, 0, nullptr, 0, 1},
      {kOptionFacility, 2, "MovorFacilitItem", "Show Facility", 0, 0, nullptr, 0, state(mFacilityHighlight == 1, 0)},
      {kOptionNoShow, 3, "MovorNoShowItem", "No Show Movor", 0, 0, nullptr, 0, 1},
      {-1, 5, "Separator", "", 0, 0, nullptr, 0, 1},
      {kOptionNextRotation, 3, "MovorRotNextItem", "Next Rotation", 0, 0, nullptr, 0, 1},
  };
  TableauMenu* table[18];
  for (int i = 0; i < 18; ++i) table[i] = &rows[i];
  mMenu->BuildMenuRecurcif(mMenu->GetRacineMenu(), table, 18);
}

void NavMovorObject::ActionOnMenuCB(KIVCommand*, KIVNotification*, void*) {
  if (mMenu) ActiveOption(mMenu->GetLastOptionChoose());
}

void NavMovorObject::ActiveOption(int option) {
  switch (option) {
    case kOptionPalette:
      if (NavMovorPanel* palette = Palette()) palette->AffichePanel(palette->GetPaletteStatusHide() ? 1 : 0);
      break;
    case kOptionReset:
      ResetChangePosition(1);
      break;
    case kOptionUndo:
      UndoChangePosition(1);
      break;
    case kOptionRedo:
      RedoChangePosition(1);
      break;
    case kTrihedral:
    case kCube:
    case kSphere:
      ChangeTypeRepresentation(option);
      break;
    case kOptionPlane:
      ShowPlan(mShowPlane != 1 ? 1 : 0);
      break;
    case kOptionActive:
      SetMovorActif(mActive != 1 ? 1 : 0);
      break;
    case kOptionFacility:
      ShowFacilityManip(mFacilityHighlight != 1 ? 1 : 0);
      break;
    case kOptionNoShow:
      SetMovorShow(mShown != 1 ? 1 : 0);
      break;
    case kOptionNextRotation:
      SetLogiqueRotationPointNext();
      break;
    default:
      break;  // not one of the mover's
  }
}

// ---------------------------------------------------------------------------------------
// Dragging

KIVMathPointf NavMovorObject::GetPointManipulate(const Nav3DManipulator* manipulator) const {
  for (const Handle& h : mHandles)
    if (h.manipulator == manipulator) return GetCurrentMatrice().TransformPoint(h.point);
  return mOrigin;
}

void NavMovorObject::RepChangedCB(KIVCommand* sender, KIVNotification* notification, void*) {
  if (auto* context = dynamic_cast<KIVContextNotification*>(notification)) {
    KIVDlgContextualMenu* menu = context->GetContextualMenu();
    if (menu && menu->GetVisibility() == KIVDialog::VisibilityShown) {
      UpdateContextMenu();
      return;
    }
  }
  if (sxNavMovorManipJeton != this) SetMovorActif(1, 1, 0);
  if (mActive != 1) return;
  UpdateMovorRep(0, -1);
  const bool end = dynamic_cast<KIVEndManipulateNotification*>(notification) != nullptr;
  if (!end) {
    mDragStart = GetCurrentMatrice();
    mDragging = 1;
    KIVMathPointf centre;
    KIVMathDirectionf axis;
    GetRotationAxis(centre, axis);
    auto* manipulator = dynamic_cast<Nav3DManipulator*>(sender);
    const KIVMathPointf handle = GetPointManipulate(manipulator);
    if (manipulator && manipulator->GetManipulatorStype(1) == KIV3DManipulator::RotateAroundPoint &&
        mRotationSphere) {
      mRotationSphere->Modify(centre, handle.DistanceTo(centre));
      mRotationSphere->SetShowMode(0, 0);
    }
    return;
  }
  if (mRotationSphere) mRotationSphere->SetShowMode(1, 0);
  // A click writes nothing: only a drag that moved the frame is a position to go back to.
  const int moved = mDragging && !(GetCurrentMatrice() == mDragStart);
  mDragging = 0;
  if (moved) {
    if (mParent) SendNotification(mParent, mChangeNotification);
    SaveMatrixPosition();
    RefreshPalette();
  }
  KeepRotationDirections();
  ComputeRotationPoint();
  UpdateMovorRep(0, -1);
  Redraw();
}

void NavMovorObject::UpdateMovorPositionCB(KIVCommand* sender, KIVNotification*, void*) {
  if (mActive != 1) return;
  auto* manipulator = dynamic_cast<KIV3DManipulator*>(sender);
  if (!manipulator) return;
  KIVMathVectorf v1, v2, v3;
  KIVMathPointf o;
  manipulator->GetPosition().GetComponents(v1, v2, v3, o);
  KIVMathDirectionf d1(v1), d2(v2), d3(v3);
  SetStatusMovor(o, d1, d2, d3, 0, 0, 0, 0, 0);
  UpdateMovorRep(0, 0);
  if (mParent) SendNotification(mParent, mMoveNotification);
  Redraw();
}
