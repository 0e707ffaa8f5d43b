#pragma once
// The representation tree browser of an extended viewer: the scene's rep tree shown as a
// graph, from which a person selects, shows and hides, makes transparent, copies and pastes,
// identifies and measures representations, edits their graphic attributes, asks for clashes
// or clearances among the selected ones, and sees the selection in an analysis viewer.
// Selection flows one way: graph selection -> selection bag, attribute editor, extended panel.
#include <memory>
#include <unordered_map>
#include <vector>

#include "browsing/KIVNavArbreElement.h"
#include "foundation/NavChangeTypeNotification.h"
#include "foundation/NavGraphicRepTreeSetting.h"
#include "host/dialog/KIVDlgDialog.h"

class KIV3DBagRep;
class KIV3DBoundingSphere;
class KIVDlgCheckButton;
class KIVDlgCombo;
class KIVDlgFrame;
class KIVDlgLabel;
class KIVDlgPushButton;
class KIVDlgSpinner;
class KIVRep;
class KIVRepPath;
class NavExtendedAttribut;
class NavGraphicAttribut;
class NavMenuGeneric;
class NavSimpleGraph;
class NavSimpleViewer3D;
class NavSimpleViewer3DSetting;
class NavViewerExtand;

class NavGraphicRepTree : public KIVDlgDialog {
 public:
  static constexpr const char* PanelIdTag = "GraphicAttributes";
  static constexpr const char* PanelIdTitle = "Graphic Attributes";
  static constexpr const char* WidgetTag = "NoReferenceTag";
  static constexpr const char* GraphTitle = "Representation of the Model Set";
  static constexpr const char* InterferenceTitle = "Interference";
  static constexpr const char* DistanceTitle = "Minimal Distance :       ";
  static constexpr const char* DistanceValueTitle = "Minimal Distance : ";
  static constexpr const char* ClashButtonTitle = "Compute Clash";
  static constexpr const char* ClearanceTitle = "Clearance";
  static constexpr const char* ClashKindTitles[2] = {"Clash    ", "Clearance"};
  static constexpr const char* ExtendedInfoTitle = "Extended Info";
  static constexpr const char* AnalysisViewerTitle = "Analysis Viewer";
  static constexpr const char* LockDrawTitle = "Lock Draw on viewer";
  static constexpr const char* RootTypeTitle = "Root Type";
  static constexpr const char* RootTypeTitles[5] = {"Master 3D", "Official 3D", "Annotation 3D", "Tempory 3D",
                                                    "Master 2D"};
  static constexpr const char* UpdateTreeTitle = "Update Tree";
  static constexpr const char* DebugVariable = "KIVT3X_DEBUG_OPTION";

  /// Style bits.
  static constexpr int kStyleDestroyOnClose = 0x2, kStyleAnalysis = 0x8, kStyleFull = 0x10, kStyleLeaves = 0x40,
                       kStyleFirstLevel = 0x80, kStyleResetDistance = 0x100;
  /// The style the extended viewer gives.
  static constexpr int kViewerStyle = 0x3FFF811D;
  /// Graph node colours: shown, hidden; interference kinds 1 to 4.
  static constexpr int kShownColor = 45, kHiddenColor = 6, kClashColor = 248, kClearanceColor = 245,
                       kContactColor = 16, kDistanceColor = 247, kMixedColor = 16;
  /// Context menu options.
  static constexpr int kOptIdentify = 1, kOptShow = 2, kOptTransparent = 3, kOptCopy = 4, kOptCut = 5, kOptPaste = 6,
                       kOptDistFrom = 10, kOptDistTo = 11, kOptSelectAll = 12, kOptUnselectAll = 13;

  NavGraphicRepTree(NavViewerExtand* viewer, int style);
  ~NavGraphicRepTree() override;
  NavGraphicRepTree(const NavGraphicRepTree&) = delete;
  NavGraphicRepTree& operator=(const NavGraphicRepTree&) = delete;

  /// Refreshes are dropped while this is 0 (every browser at once).
  static int _lUpdateOk;
  static void StopUpdate() { _lUpdateOk = 0; }
  static void RestartUpdate() { _lUpdateOk = 1; }

  /// 1 shows a hidden window (reopening the panels whose buttons are checked) and rebuilds
  /// the tree; 0 hides a shown one, closes its panels and tells the viewer.
  void AffichePanel(int show);
  /// 1 while the window is hidden.
  int GetPaletteStatusHide() const;
  /// 1 rebuilds the tree from the viewer's roots; other values refresh the selection.
  void UpdatePalette(int rebuild);
  /// Rebuilds the selection bag and what follows the graph selection.
  void UpdateSelection(int withAttributes);
  /// Fills node with the children of rep according to the building mode.
  void CreateRepScene(KIVRep* rep, KIVNavArbreElement* node);
  /// Colours node and its subtree: shown 45, hidden 6.
  void UpdateColor(KIVNavArbreElement* node);
  void SetClashColorToNode(KIVNavArbreElement* node, int kind);
  /// The record that shows the leaf of path (null when none).
  KIVNavArbreElement* GetNode(KIVRepPath* path);
  /// A new path of the reps from the root down to node's rep (mode 1) or bottom up (mode 0).
  KIVRepPath* GetRepPath(KIVNavArbreElement* node, int mode);
  /// Appends the reps from `from` (excluded) down to `to` (included) to path; 1 when found.
  int GetRepPath(KIVRep* from, KIVRep* to, KIVRepPath* path);
  /// A new bag placed by the path's matrices, holding the path's leaf.
  KIV3DBagRep* PathToBagRep(KIVRepPath* path);
  int IsRepExist(KIVRepPath* path, KIVRep* rep);
  static const char* GetRepName(KIVRep* rep);
  void SelectAllInstance(KIVNavArbreElement* node);
  void SelectAllInstance(KIVRep* rep);
  /// The minimal distance between the two nodes' reps (0 without a result).
  float DistanceMinimum(KIVNavArbreElement* a, KIVNavArbreElement* b);
  void ModifyAttribute(int action, int value);
  void SetTransparency(KIVRep* rep, int on, int flags);
  /// -1 background menu, 0 node menu.
  void UpdateContextMenu(int kind);
  void ActiveMenuOption(int option);
  /// Clash or clearance among the selected nodes; returns the number of pairs found.
  int ComputeClash();

  NavSimpleGraph* getGraph() const { return mGraph; }
  NavChangeTypeNotification* GetIdentifyNotification() const { return mIdentifyNotification.get(); }
  KIVRepPath* GetIdentifyRepPath() const { return mIdentifyPath; }
  KIV3DBagRep* GetIdentifyBagRep() const { return mIdentifyBag; }
  void GetCurrentSetting(NavGraphicRepTreeSetting& setting);
  void SetCurrentSetting(const NavGraphicRepTreeSetting& setting);

  void ActiveOptionFromNotifyCB(KIVCommand* sender, KIVNotification* notification, void* data);

  // What the window shows, for hosts and tests.
  NavViewerExtand* GetViewer() const { return mViewer; }
  int GetStyle() const { return mStyle; }
  KIVNavArbreElement* GetRoot() const { return mRoot; }
  KIVNavArbreElement* GetCurrentNode() const { return mCurrent; }
  void SetCurrentNode(KIVNavArbreElement* node) { mCurrent = node; }
  KIVRep* GetClipboardRep() const { return mClipboard; }
  KIVNavArbreElement* GetDistanceFromNode() const { return mDistFrom; }
  KIVNavArbreElement* GetDistanceToNode() const { return mDistTo; }
  KIV3DBagRep* GetSelectionBag() const { return mSelectionBag; }
  KIV3DBagRep* GetClashBag() const { return mClashBag; }
  /// Distinct reps of the last selection, and how many selected nodes showed them.
  const std::vector<KIVRep*>& GetSelectedReps() const { return mSelectedReps; }
  int GetSelectedNodeCount() const { return mSelectedNodes; }
  NavMenuGeneric* GetMenu() const { return mMenu; }
  NavGraphicAttribut* GetAttributEditor() const { return mAttribut; }
  NavSimpleViewer3D* GetAnalysisViewer() const { return mAnalysis; }
  NavExtendedAttribut* GetExtendedPanel() const { return mExtended; }
  KIVDlgLabel* GetDistanceLabel() const { return mDistanceLabel; }
  KIVDlgPushButton* GetClashButton() const { return mClashButton; }
  KIVDlgCombo* GetClashCombo() const { return mClashCombo; }
  KIVDlgSpinner* GetClearanceSpinner() const { return mClearanceSpinner; }
  KIVDlgCheckButton* GetExtendedButton() const { return mExtendedButton; }
  KIVDlgCheckButton* GetAnalysisButton() const { return mAnalysisButton; }
  KIVDlgCheckButton* GetLockDrawButton() const { return mLockButton; }
  KIVDlgCombo* GetRootTypeCombo() const { return mRootCombo; }
  KIVDlgPushButton* GetUpdateButton() const { return mUpdateButton; }
  /// Every record that shows rep, in the tree's order (none when the rep is not in it).
  std::vector<KIVNavArbreElement*> GetInstances(const KIVRep* rep) const;
  /// The record above node (null for the root or an unknown node).
  KIVNavArbreElement* GetParentNode(const KIVNavArbreElement* node) const;
  /// The node's rep when it still exists, else null (a rep deleted while shown).
  KIVRep* NodeRep(const KIVNavArbreElement* node) const;

 private:
  void BuildWindow();
  const char* TypeName(KIVRep* rep);
  void Listen(KIVCommand* sender, KIVNotification* notification);
  KIVNavArbreElement* NewNode(KIVRep* rep, const char* name, KIVNavArbreElement* parent);
  /// Gives the record its entry in the index (its user word is the entry's number).
  void Register(KIVNavArbreElement* node, KIVNavArbreElement* parent);
  void ClearIndex();
  struct NodeInfo;
  const NodeInfo* Info(const KIVNavArbreElement* node) const;
  NodeInfo* Info(const KIVNavArbreElement* node) {
    return const_cast<NodeInfo*>(static_cast<const NavGraphicRepTree*>(this)->Info(node));
  }
  void AttachBags();
  void DetachBags();
  void DropSelectionBag();
  void DropClashBag();
  void OpenAnalysisViewer();
  void CloseAnalysisViewer(int delayed);
  void OpenExtendedPanel();
  void CloseExtendedPanel(int delayed);
  void FillExtendedPanel();
  void ResetDistance();
  void SetNodeColor(KIVNavArbreElement* node, int color);
  int NodeColor(const KIVNavArbreElement* node) const;
  void ApplyOwnerAction(KIVRep* rep, int action, int value);
  void ShowNoShow(KIVNavArbreElement* node);
  void Identify(KIVNavArbreElement* node);
  void Paste(KIVNavArbreElement* node);
  void SelectAll();

  NavViewerExtand* mViewer;
  std::weak_ptr<int> mViewerLife;
  int mStyle;
  std::unique_ptr<KIVCommand> mRelay;  // hears the window's own close before the viewer does
  NavSimpleGraph* mGraph = nullptr;
  NavMenuGeneric* mMenu = nullptr;
  NavGraphicAttribut* mAttribut = nullptr;
  NavSimpleViewer3D* mAnalysis = nullptr;
  NavSimpleViewer3DSetting* mAnalysisSetting = nullptr;
  NavExtendedAttribut* mExtended = nullptr;
  KIVNavArbreElement* mRoot = nullptr;  // owned by the graph once referenced
  KIVNavArbreElement* mCurrent = nullptr;
  KIVRep* mClipboard = nullptr;
  KIVNavArbreElement* mDistFrom = nullptr;
  KIVNavArbreElement* mDistTo = nullptr;
  KIV3DBagRep* mSelectionBag = nullptr;
  KIV3DBagRep* mClashBag = nullptr;
  KIVRepPath* mIdentifyPath = nullptr;
  KIV3DBagRep* mIdentifyBag = nullptr;
  std::unique_ptr<NavChangeTypeNotification> mIdentifyNotification;
  NavGraphicRepTreeSetting mSetting;
  std::vector<KIVRep*> mSelectedReps;
  int mSelectedNodes = 0;
  int mShown = 0;
  int mBuildMode = 0;  // the building mode bit of the style
  // One entry per record built here (its user word is the entry's number + 1), so that
  // parents, reps and instances are found without walking the graph per selected node.
  struct NodeInfo {
    KIVNavArbreElement* record;
    KIVNavArbreElement* parent;
    KIVRep* rep;
    std::weak_ptr<int> life;  // expired once the rep is deleted while shown
    int nextInstance;         // the next record showing the same rep, -1 at the end
    KIV3DBagRep* placed;      // its positioned bag in the selection bag, while selected
    unsigned generation;      // the selection update that last kept it
  };
  std::vector<NodeInfo> mInfo;
  std::vector<int> mPlacedEntries;  // the entries whose positioned bag is in the selection bag
  unsigned mGeneration = 0;
  std::vector<std::pair<const void*, const char*>> mNameCache;  // type names by metaobject
  std::unordered_map<const KIVRep*, std::pair<int, int>> mInstances;  // first and last entry
  std::vector<KIVCallback> mCallbacks;
  KIVCallback mAnalysisCloseCB = 0, mExtendedCloseCB = 0, mAttributCB = 0;

  KIVDlgFrame* mBottom = nullptr;
  KIVDlgFrame* mInterference = nullptr;
  KIVDlgLabel* mDistanceLabel = nullptr;
  KIVDlgPushButton* mClashButton = nullptr;
  KIVDlgCombo* mClashCombo = nullptr;
  KIVDlgSpinner* mClearanceSpinner = nullptr;
  KIVDlgCheckButton* mExtendedButton = nullptr;
  KIVDlgCheckButton* mAnalysisButton = nullptr;
  KIVDlgCheckButton* mLockButton = nullptr;
  KIVDlgCombo* mRootCombo = nullptr;
  KIVDlgPushButton* mUpdateButton = nullptr;
};
