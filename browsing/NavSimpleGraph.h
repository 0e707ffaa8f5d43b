#pragma once
// A frame that shows a tree of KIVNavArbreElement records in the host graph viewer: it
// makes graph nodes and arcs for the displayed records, keeps its own selection list,
// collapses and extends subtrees behind ">>>" marker records, offers context menus built
// from TableauMenu rows, and has a settings dialog for the tree layout. It knows nothing
// of what the records stand for.

#include <unordered_map>

#include "browsing/KIVNavArbreElement.h"
#include "foundation/NavEventMacros.h"
#include "foundation/NavExtendTreeNotification.h"
#include "foundation/NavIconSelectionNotification.h"
#include "foundation/NavSimpleGraphEvents.h"
#include "foundation/NavSimpleGraphSetting.h"
#include "host/dialog/KIVDlgFrame.h"

class KIVDlgCheckButton;
class KIVDlgCombo;
class KIVDlgDialog;
class KIVDlgLabel;
class KIVDlgSpinner;
class KIVGraphViewer;
class KIVNodeSelectNotification;
class NavMenuGeneric;
struct TableauMenu;

class NavSimpleGraph : public KIVDlgFrame {
 public:
  /// Graph style bits (fourth constructor argument).
  static constexpr int StyleContextMenu = 0x1, StyleViewerA = 0x2, StyleViewerB = 0x4, StyleSettingButton = 0x8,
                       StyleEditEvent = 0x20, StyleForwardArc = 0x40, StyleForwardNode = 0x80,
                       StyleForwardGraph = 0x100, StyleExtension = 0x200, StyleIconFrame = 0x400,
                       StyleSelection = 0x800;
  /// Layout style word bits of NavSimpleGraphSetting.
  static constexpr int LayoutVertical = 0x1, LayoutAligned = 0x2, LayoutIndented = 0x4, LayoutCentered = 0x8,
                       LayoutReversed = 0x10, LayoutPacked = 0x20, LayoutSquareArcs = 0x40;

  static constexpr const char* GraphPanelTag = "GraphPanel";
  static constexpr const char* GraphViewerTag = "No_ReferencedTag";
  static constexpr const char* ContextMenuName = "GraphContextMenu";
  static constexpr const char* IconFrameTitle = "Option";
  static constexpr const char* SettingButtonTag = "TreeSettingButton";
  static constexpr const char* SettingButtonTitle = "Settings";
  static constexpr const char* SettingButtonIconName = "cbseting";
  static constexpr const char* SettingDialogTag = "NoReferenceTag";
  static constexpr const char* MarkerName = ">>>";

  /// father: receives the forwarded notifications (the parent dialog when null). The
  /// third argument is ignored. Ends by applying the default setting (style 8, extension
  /// level 1, width margin 5, depth margin 10).
  NavSimpleGraph(KIVCommand* father, KIVDialog* parent, int unused, int style);
  ~NavSimpleGraph() override;

  NAV_EVENT_ACCESSOR(EDIT_GRAPH_SETTING)

  // Sessions.
  /// Deletes the previous tree, takes `root` and shows it (extended to `level` with
  /// extension on and level >= 0).
  void ReferenceSession(KIVNavArbreElement* root, int level);
  /// Merges `node` into the current tree (UpdateTree), then as ReferenceSession, the
  /// extension applied only for level >= 1.
  void UpdateSession(KIVNavArbreElement* node, int level);
  /// Rebuilds the graph nodes of the records given (of the root when none).
  void UpdateGraph(int count, KIVNavArbreElement** nodes, int relayout, int reframe);
  /// Makes the graph nodes and arcs of the displayed records below `node`.
  void BuildArbreFromRacine(KIVNavArbreElement* father, KIVNavArbreElement* node, int hidden);
  /// Unlinks the record from its father and deletes it and its subtree with their graph
  /// nodes (the graph nodes later when delayed is 1).
  void SuppressArbre(KIVNavArbreElement* node, int delayed);
  /// Deletes the graph node of the record (recursive = 1: of its whole subtree too),
  /// leaving the records; the graph nodes later when delayed is 1.
  void SuppressNode(KIVNavArbreElement* node, int delayed, int recursive);
  /// Merges `newTree` into `oldTree` (names, states, user words; children matched by
  /// object). `newTree` stays the caller's.
  void UpdateTree(KIVNavArbreElement* oldTree, KIVNavArbreElement* newTree);

  // Tree editing.
  static void AddFeuille(KIVNavArbreElement* parent, KIVNavArbreElement* child);
  static void RemoveFeuille(KIVNavArbreElement* parent, KIVNavArbreElement* child);
  /// Moves child to index pos; an index out of range or equal to the current one gives
  /// back the current index in pos; -1 when child is not a child. Returns pos.
  static int SetFeuillePosition(KIVNavArbreElement* parent, KIVNavArbreElement* child, int& pos);
  /// Deletes a record, its child array and its subtree (not their graph nodes).
  static void DeleteRecords(KIVNavArbreElement* node);

  // Search, depth first from start (the root when null); visibleOnly = 1 descends only
  // into displayed records; depth decreases at each level and stops at 0 (-1: unlimited).
  KIVNavArbreElement* RechercheNoeud(KIVCommand* graphNode, KIVNavArbreElement* start, int visibleOnly, int depth);
  KIVNavArbreElement* RechercheNoeud(void* object, KIVNavArbreElement* start, int visibleOnly, int depth);
  /// Appends every record whose object is `object` to *list (grown by doubling, count and
  /// capacity updated); returns the count.
  int RechercheNoeud(void* object, KIVNavArbreElement* start, int& count, int& capacity, KIVNavArbreElement*** list,
                     int visibleOnly, int depth);
  KIVNavArbreElement* RechercheFather(KIVNavArbreElement* node, int searchHidden);

  // Selection.
  int SelectNoeudGraph(KIVNavArbreElement** nodes, int n, int toggle);
  void SelectAllNoeud(KIVNavArbreElement* node, int select, int recursive, int inner);
  int UnselectSubTree(KIVNavArbreElement* node);
  /// Over the subtree of node (the root when null): action 1 sets the state bits `flag`,
  /// 0 clears them, 2 toggles them; the looks follow.
  void ActionAllNoeudGraph(int action, int flag, KIVNavArbreElement* node);
  /// Shows the record's look: style 1 the highlight, 2 the selected frame; on 1 or 0.
  void ActiveStyleOnObjet(int style, int on, KIVNavArbreElement* node);
  int IsNoeudSelected(KIVNavArbreElement* node) const;
  KIVNavArbreElement** getSelection() const { return mSelection; }
  int getSelectionNumber() const { return mSelectionCount; }
  KIVNavArbreElement* GetLastSelected() const { return mSelectionCount ? mSelection[mSelectionCount - 1] : nullptr; }

  int UpdateExtendNode(KIVNavArbreElement* node, int level, int keepDisplayed);

  KIVGraphViewer* GetGraphViewer() const { return mViewer; }
  NavMenuGeneric* GetContextMenu() const { return mMenu; }
  /// Displayed records (with a graph node).
  int GetTotalNode() const { return mDisplayed; }
  KIVNavArbreElement* GetRoot() const { return mRoot; }
  KIVNavArbreElement* GetContextNode() const { return mContext; }
  void Reframe();

  KIVNotification* GetSelectNotification() const;
  NavExtendTreeNotification* GetExtendTreeNotification() const { return mExtendNotification; }
  NavIconSelectionNotification* GetIconSelectionNotification() const { return mIconNotification; }

  // Settings.
  void AfficheSetting(int show, int fromClose);
  void UpdatePaletteSetting();
  void SetSettingButtonState(int state);
  int AddSettingFrame(KIVDlgFrame* frame);
  KIVDlgFrame** GetSettingFrame() const { return mSettingFrames; }
  int GetSettingFrameCount() const { return mSettingFrameCount; }
  int AddIconeFrame(KIVDlgFrame* frame);
  KIVDlgFrame** GetIconeFrame() const { return mIconFrames; }
  KIVDlgDialog* GetSettingDialog() const { return mDialog; }
  KIVDlgCheckButton* GetSettingButton() const { return mSettingButton; }
  void GetCurrentSetting(NavSimpleGraphSetting& setting) const { setting = mSetting; }
  void SetCurrentSetting(const NavSimpleGraphSetting& setting);

  void ActionGraphCB(KIVCommand* sender, KIVNotification* notification, void* data);
  void ActiveOption(int option);

 private:
  void Send(KIVNotification* notification);
  void NotifySelect() { Send(GetSelectNotification()); }
  void NotifyExtend() { Send(mExtendNotification); }
  void ClearSelectionList();
  bool AddToSelection(KIVNavArbreElement* node, const char* failure);
  void Highlight(KIVNavArbreElement* node, int on);
  void Deselect(KIVNavArbreElement* node);
  void DropGraphNode(KIVNavArbreElement* node, int delayed);
  void RemoveMarker(KIVNavArbreElement* parent, int index);
  void ShowMenu(TableauMenu* rows, int count);
  void NodeClicked(KIVNotification* notification);
  void ContextClicked(KIVNotification* notification);
  void DialogCB(KIVCommand* sender, KIVNotification* notification);
  void BuildDialog();
  void FillAlignmentCombo(int vertical);
  void Relayout(int relayout, int reframe);

  KIVCommand* mFather;
  int mStyle;
  KIVGraphViewer* mViewer = nullptr;
  NavMenuGeneric* mMenu = nullptr;
  KIVNavArbreElement* mRoot = nullptr;
  KIVNavArbreElement** mSelection = nullptr;
  int mSelectionCount = 0;
  int mSelectionCapacity = 0;
  int mDisplayed = 0;
  KIVNavArbreElement* mContext = nullptr;
  std::unordered_map<const KIVCommand*, KIVNavArbreElement*> mByGraphNode;
  KIVNodeSelectNotification* mSelectNotification = nullptr;
  NavExtendTreeNotification* mExtendNotification = nullptr;
  NavIconSelectionNotification* mIconNotification = nullptr;
  KIVDlgFrame* mIconFrame = nullptr;
  KIVDlgCheckButton* mSettingButton = nullptr;
  KIVDlgDialog* mDialog = nullptr;
  KIVDlgCombo* mTreeCombo = nullptr;
  KIVDlgCombo* mAlignCombo = nullptr;
  KIVDlgSpinner* mDepthSpinner = nullptr;
  KIVDlgSpinner* mWidthSpinner = nullptr;
  KIVDlgCheckButton* mGravityCheck = nullptr;
  KIVDlgCheckButton* mSquareCheck = nullptr;
  KIVDlgCheckButton* mPackedCheck = nullptr;
  KIVDlgCombo* mExtendCombo = nullptr;
  const char* mAlignTitles[3] = {"Aligned", "Centered", "Indented"};
  NavSimpleGraphSetting mSetting;
  int mApplying = 0;  // the dialog does not refresh itself while its Apply is being applied
  KIVDlgFrame** mSettingFrames = nullptr;
  int mSettingFrameCount = 0, mSettingFrameCapacity = 0;
  KIVDlgFrame** mIconFrames = nullptr;
  int mIconFrameCount = 0, mIconFrameCapacity = 0;
};
