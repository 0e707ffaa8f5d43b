#include "host/dialog/KIVDialog.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "host/core/KIVApplication.h"

KIV_IMPLEMENT_METAOBJECT(KIVDialog, KIVCommand)

namespace {

constexpr std::size_t kNotPending = static_cast<std::size_t>(-1);

// Process-wide model state. Allocated once and never freed, so that objects destroyed
// during static destruction still find it.
struct Model {
  KIVDlgPresenter* presenter = nullptr;
  std::vector<KIVDialog*> roots;
  std::vector<KIVDialog*> unannounced;  // slots of destroyed objects are nulled
  std::vector<std::pair<KIVDialog*, std::weak_ptr<int>>> unrealized;
  KIVCommand* ticker = nullptr;  // owns our deferred subscription, apart from any object's
};

Model& TheModel() {
  static Model* model = new Model;
  return *model;
}

// Removes one pointer, searching from the back: children usually leave last first.
void EraseFromBack(std::vector<KIVDialog*>& list, KIVDialog* d) {
  auto it = std::find(list.rbegin(), list.rend(), d);
  if (it != list.rend()) list.erase(std::next(it).base());
}

void CollectTree(KIVDialog* d, std::vector<KIVDialog*>& out) {
  out.push_back(d);
  for (KIVDialog* c : d->GetDialogChildren()) CollectTree(c, out);
}

}  // namespace

KIVDialog::KIVDialog(KIVDialog* parent, const char* tag, int style)
    : KIVCommand(parent, tag), mTag(tag), mStyle(style), mPendingSlot(kNotPending) {
  Model& m = TheModel();
  mParent = parent && !parent->mRetired ? parent : nullptr;
  if (mParent)
    mParent->mChildren.push_back(this);
  else
    m.roots.push_back(this);
  if (m.presenter) {
    mPendingSlot = m.unannounced.size();
    m.unannounced.push_back(this);
  }
  // Realization and announcement wait for the deferred cycle: the derived constructors
  // have not run yet.
  m.unrealized.emplace_back(this, GetLifeToken());
  if (!m.ticker) m.ticker = new KIVCommand(nullptr, "KIVDialogTicker");
  KIVApplication::MainApplication()->Subscribe(2, m.ticker, nullptr, &KIVDialog::DeferredCB);
}

KIVDialog::~KIVDialog() { Retire(); }

void KIVDialog::Retire() {
  if (mRetired) return;
  mRetired = 1;
  while (!mChildren.empty()) delete mChildren.back();
  Model& m = TheModel();
  if (mPendingSlot != kNotPending) m.unannounced[mPendingSlot] = nullptr;
  mPendingSlot = kNotPending;
  if (mAnnounced && m.presenter) m.presenter->Destroyed(this);
  mAnnounced = 0;
  EraseFromBack(mParent ? mParent->mChildren : m.roots, this);
  mParent = nullptr;
}

void KIVDialog::DeferredCB(KIVCommand*, int, void*) {
  Model& m = TheModel();
  KIVApplication::MainApplication()->RemoveSubscribe(2, m.ticker);
  FlushPresenter();
  auto batch = std::move(m.unrealized);
  m.unrealized.clear();
  for (auto& [d, life] : batch)
    if (!life.expired() && d->MayRealize()) d->Realize();
}

KIVDialog* KIVDialog::LookupChild(const char* tag, int recursive) const {
  if (!tag) return nullptr;
  for (KIVDialog* c : mChildren) {
    if (c->mTag.str() == tag) return c;
    if (recursive)
      if (KIVDialog* found = c->LookupChild(tag, 1)) return found;
  }
  return nullptr;
}

void KIVDialog::SetTitle(const KIVUnicodeString& title) {
  if (title == mTitle) return;
  mTitle = title;
  Changed(KIVDlgProperty::Title);
}

void KIVDialog::SetIconName(const char* name) {
  const KIVString icon(name);
  if (icon == mIconName) return;
  mIconName = icon;
  Changed(KIVDlgProperty::IconName);
}

void KIVDialog::SetVisibility(int visibility) {
  if ((visibility != VisibilityShown && visibility != VisibilityHidden) || visibility == mVisibility) return;
  mVisibility = visibility;
  Changed(KIVDlgProperty::Visibility);
  if (visibility == VisibilityShown && MayRealize()) Realize();
}

void KIVDialog::SetSensitivity(int sensitivity) {
  if ((sensitivity != SensitivityOn && sensitivity != SensitivityOff) || sensitivity == mSensitivity) return;
  mSensitivity = sensitivity;
  Changed(KIVDlgProperty::Sensitivity);
}

void KIVDialog::SetMnemonic(KIVUnicodeChar mnemonic) {
  if (mnemonic == mMnemonic) return;
  mMnemonic = mnemonic;
  Changed(KIVDlgProperty::Mnemonic);
}

void KIVDialog::SetAcceleratorKey(unsigned long key) {
  if (key == mAccelerator) return;
  mAccelerator = key;
  Changed(KIVDlgProperty::AcceleratorKey);
}

int KIVDialog::SetRectDimensions(int x, int y, int width, int height) {
  if (width < 0 || height < 0) return 0;
  const int rect[4] = {x, y, width, height};
  if (!std::equal(rect, rect + 4, mRect)) {
    std::copy(rect, rect + 4, mRect);
    Changed(KIVDlgProperty::Rect);
  }
  return 1;
}

void KIVDialog::GetRectDimensions(int& x, int& y, int& width, int& height) const {
  x = mRect[0];
  y = mRect[1];
  width = mRect[2];
  height = mRect[3];
}

void KIVDialog::GetRectPosition(int& x, int& y) const {
  x = mRect[0];
  y = mRect[1];
}

int KIVDialog::SetGridConstraints(int row, int column, int rowSpan, int columnSpan, int attach) {
  if (row < 0 || column < 0 || rowSpan < 1 || columnSpan < 1) return 0;
  const int grid[5] = {row, column, rowSpan, columnSpan, attach};
  if (!std::equal(grid, grid + 5, mGrid)) {
    std::copy(grid, grid + 5, mGrid);
    Changed(KIVDlgProperty::Grid);
  }
  return 1;
}

int KIVDialog::GetGridConstraints(int& row, int& column, int& rowSpan, int& columnSpan, int& attach) const {
  if (mGrid[0] < 0) return 0;
  row = mGrid[0];
  column = mGrid[1];
  rowSpan = mGrid[2];
  columnSpan = mGrid[3];
  attach = mGrid[4];
  return 1;
}

bool KIVDialog::IsShownUpToWindow() const {
  for (const KIVDialog* d = this; d; d = d->mParent) {
    if (d->mVisibility != VisibilityShown && !d->mIsPopup) return false;
    if (d->mIsWindow) break;  // a window shows on its own, whatever its parent does
  }
  return true;
}

int KIVDialog::IsUsable() const {
  if (mRetired || (mVisibility != VisibilityShown && !mIsPopup)) return 0;
  // Greying out a container greys out its contents, up to the window. The parents'
  // visibility does not count: code may drive the controls of a panel not shown yet.
  for (const KIVDialog* d = this; d; d = d->mParent) {
    if (d->mSensitivity != SensitivityOn) return 0;
    if (d->mIsWindow) break;
  }
  return 1;
}

bool KIVDialog::MayRealize() const {
  return !mRealized && !mRetired && (!mParent || mParent->mRealized || mIsWindow);
}

void KIVDialog::Realize() {
  if (mRealized || mRetired || !IsShownUpToWindow()) return;
  mRealized = 1;
  std::weak_ptr<int> life = GetLifeToken();
  Notify(&mCreate);
  if (life.expired()) return;
  // A callback may delete any of them: keep their life tokens.
  std::vector<std::pair<KIVDialog*, std::weak_ptr<int>>> children;
  for (KIVDialog* c : mChildren) children.emplace_back(c, c->GetLifeToken());
  for (auto& [c, token] : children)
    if (!token.expired()) c->Realize();
}

int KIVDialog::Notify(KIVNotification* notification) { return SendNotification(GetFather(), notification); }

void KIVDialog::Changed(KIVDlgProperty which) {
  Model& m = TheModel();
  if (!m.presenter || mRetired) return;
  FlushPresenter();
  if (mAnnounced && m.presenter) m.presenter->PropertyChanged(this, which);
}

void KIVDialog::SetPresenter(KIVDlgPresenter* presenter) {
  Model& m = TheModel();
  std::vector<KIVDialog*> all;
  for (KIVDialog* r : m.roots) CollectTree(r, all);
  for (KIVDialog* d : all) {
    d->mAnnounced = 0;
    d->mPendingSlot = kNotPending;
  }
  m.unannounced.clear();
  m.presenter = presenter;
  if (!presenter) return;
  for (KIVDialog* d : all) {
    d->mPendingSlot = m.unannounced.size();
    m.unannounced.push_back(d);
  }
  FlushPresenter();
}

KIVDlgPresenter* KIVDialog::GetPresenter() { return TheModel().presenter; }

void KIVDialog::FlushPresenter() {
  Model& m = TheModel();
  // By index: Created may create objects (appended) or destroy some (slots nulled), and a
  // nested flush may empty the queue.
  for (std::size_t i = 0; i < m.unannounced.size(); ++i) {
    KIVDialog* d = m.unannounced[i];
    if (!d) continue;
    m.unannounced[i] = nullptr;
    d->mPendingSlot = kNotPending;
    if (!m.presenter) continue;
    d->mAnnounced = 1;
    m.presenter->Created(d);
  }
  m.unannounced.clear();
}

int KIVDialog::ChangeState(int& state, int wanted, int notify, KIVNotification* modify, int radio) {
  if ((wanted != StateSet && wanted != StateCleared) || wanted == state) return 0;
  std::weak_ptr<int> life = GetLifeToken();
  if (radio && wanted == StateSet && mParent) {
    std::vector<std::pair<KIVDialog*, std::weak_ptr<int>>> group;
    for (KIVDialog* c : mParent->mChildren)
      if (c != this && c->IsA() == IsA()) group.emplace_back(c, c->GetLifeToken());
    for (auto& [c, token] : group) {
      if (!token.expired()) c->ClearAsRadio(notify);
      if (life.expired()) return 0;  // a callback deleted this object
    }
  }
  state = wanted;
  Changed(KIVDlgProperty::State);
  if (notify) Notify(modify);
  return 1;
}

void KIVDialog::ClearAsRadio(int) {}
