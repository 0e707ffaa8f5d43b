#include "dialogs/NavListGeneric.h"

#include <algorithm>
#include <cstdio>
#include <new>

#include "dialogs/NavEditorGeneric.h"
#include "dialogs/NavMultiListTxt.h"
#include "foundation/NavActionOnEditorNotification.h"
#include "foundation/NavMenuGeneric.h"
#include "host/core/KIVApplication.h"
#include "host/dialog/KIVDlgCheckButton.h"
#include "host/dialog/KIVDlgCombo.h"
#include "host/dialog/KIVDlgDialog.h"
#include "host/dialog/KIVDlgEditor.h"
#include "host/dialog/KIVDlgLabel.h"
#include "host/dialog/KIVDlgMenu.h"
#include "host/dialog/KIVDlgMultiList.h"
#include "host/dialog/KIVDlgNotify.h"
#include "host/dialog/KIVDlgPushButton.h"

const char* NavListGeneric::OBJECT_UPDATED() { return NavListGenericOBJECT_UPDATEDEvt::ClassName(); }

NavListGeneric** NavListGeneric::saInstanceReferenced = nullptr;
int NavListGeneric::snbInstanceReferenced = 0;
int NavListGeneric::snbInstanceReferencedMax = 10;

const char* NavListGeneric::TagTitle = "Tag";
const char* NavListGeneric::UnTagTitle = "UnTag";
const char* NavListGeneric::StateTitle = "State";

namespace {
constexpr int kInitialObjects = 100;
constexpr int kInitialTypes = 20;
constexpr int kShown = KIVDialog::VisibilityShown;
constexpr int kHidden = KIVDialog::VisibilityHidden;
constexpr int kSet = KIVDialog::StateSet;
constexpr int kCleared = KIVDialog::StateCleared;
const char* const kMarkerOn = " > ";
const char* const kMarkerOff = "   ";

KIVUnicodeString Number(int value) {
  KIVUnicodeString text;
  text.BuildFromNum(value, "%d");
  return text;
}
}  // namespace

// ---------------------------------------------------------------------------------------
// Registry

int NavListGeneric::IsReferenced(const NavListGeneric* list) {
  if (!list) return 0;
  for (int i = 0; i < snbInstanceReferenced; ++i)
    if (saInstanceReferenced[i] == list) return 1;
  return 0;
}

int NavListGeneric::ReferenceInstance(NavListGeneric* list, int add) {
  if (!add) {
    for (int i = 0; i < snbInstanceReferenced; ++i)
      if (saInstanceReferenced[i] == list) {
        std::copy(saInstanceReferenced + i + 1, saInstanceReferenced + snbInstanceReferenced,
                  saInstanceReferenced + i);
        --snbInstanceReferenced;
        break;
      }
    if (snbInstanceReferenced == 0) {
      delete[] saInstanceReferenced;
      saInstanceReferenced = nullptr;
    }
    return 1;
  }
  if (!saInstanceReferenced) {
    saInstanceReferenced = new (std::nothrow) NavListGeneric*[snbInstanceReferencedMax];
    if (!saInstanceReferenced) {
      std::fprintf(stderr, "ERROR - NavListGeneric: Enable to allocate List\n");
      return 0;
    }
  } else if (snbInstanceReferenced >= snbInstanceReferencedMax) {
    auto* grown = new (std::nothrow) NavListGeneric*[2 * snbInstanceReferencedMax];
    if (!grown) {
      std::fprintf(stderr, "ERROR - NavListGeneric: Unable to allocate List\n");
      return 0;
    }
    std::copy(saInstanceReferenced, saInstanceReferenced + snbInstanceReferenced, grown);
    delete[] saInstanceReferenced;
    saInstanceReferenced = grown;
    snbInstanceReferencedMax *= 2;
  }
  saInstanceReferenced[snbInstanceReferenced++] = list;
  return 1;
}

// ---------------------------------------------------------------------------------------
// Construction

NavListGeneric::NavListGeneric(KIVCommand* father, KIVDialog* parent, const char* name, int filtering, int style)
    : KIVDlgFrame(parent, name, (style & kStyleFrameZero) ? 0 : 0xC0000),
      mFatherCommand(father),
      mParentDialog(parent),
      mName(name ? name : ""),
      mStyle(style),
      mFiltering(filtering == 1 ? 1 : 0) {
  mObjects.reset(new (std::nothrow) NavListObject[kInitialObjects]);
  mForced.reset(new (std::nothrow) int[kInitialObjects]);
  mOrder.reset(new (std::nothrow) int[kInitialObjects]);
  if (mObjects && mForced && mOrder) {
    mCapacity = kInitialObjects;
    InitFiltreForce(0, 1);
  } else {
    std::fprintf(stderr, " ++++ Unable to allocate memory \n");
    mObjects.reset();
    mForced.reset();
    mOrder.reset();
  }
  mTypes.reset(new (std::nothrow) NavListType[kInitialTypes]);
  if (mTypes) mTypeCapacity = kInitialTypes;
  else std::fprintf(stderr, "Unable to allocate memory\n");

  mSetting.sortBits = 0;
  mSetting.findMode = 1;
  mSetting.tagMode = 5;
  mSetting.currentType = NavListType::kAllTypes;
  mSetting.subtypeMask = -1;
  mSetting.filterText = KIVUnicodeString(mFilter.GetFilter());

  mList = new KIVDlgMultiList(this, (mName + "List").c_str(), 0);
  mList->SetMultipleSelection(style & kStyleMultiple);
  mList->SetVisibleTextHeight(15);
  mList->SetVisibleTextWidth(20);
  mList->SetGridConstraints(0, 0, 1, 2, AttachLeft | AttachRight | AttachTop | AttachBottom);
  AddAnalyseNotificationCB(mList, mList->GetListSelectNotification(), &NavListGeneric::SelectChangeCB, nullptr);
  AddAnalyseNotificationCB(mList, mList->GetListActivateNotification(), &NavListGeneric::SelectChangeCB, nullptr);
  AddAnalyseNotificationCB(mList, mList->GetCreateNotification(), &NavListGeneric::WindowCB, nullptr);
  if (style & kStyleLabel) {
    mLabel = new KIVDlgLabel(this, (mName + "ListLabel").c_str(), 0);
    mLabel->SetTitle(KIVUnicodeString("Object"));
    mLabel->SetGridConstraints(1, 0, 1, 1, AttachLeft);
    mCounter = new KIVDlgLabel(this, (mName + "ListLabelNumber").c_str(), 0);
    mCounter->SetTitle(KIVUnicodeString("         "));
    mCounter->SetGridConstraints(1, 1, 1, 1, AttachLeft | AttachRight);
  }
  ReferenceInstance(this, 1);
}

NavListGeneric::~NavListGeneric() {
  Retire();
  ReferenceInstance(this, 0);
  if (auto* app = KIVApplication::ExistingApplication()) app->RemoveSubscribe(2, this);
  for (int i = 0; i < mNbObject; ++i) delete[] mObjects[i].texts;
  delete mMenu;
}

// ---------------------------------------------------------------------------------------
// Objects

bool NavListGeneric::Grow() {
  if (mNbObject < mCapacity) return true;
  const int wanted = mCapacity > 0 ? 2 * mCapacity : kInitialObjects;
  std::unique_ptr<NavListObject[]> objects(new (std::nothrow) NavListObject[wanted]);
  std::unique_ptr<int[]> forced(new (std::nothrow) int[wanted]);
  std::unique_ptr<int[]> order(new (std::nothrow) int[wanted]);
  if (!objects || !forced || !order) {
    std::fprintf(stderr, " ++++ Unable to allocate memory: AddObject in NavListGeneric \n");
    return false;
  }
  std::copy(mObjects.get(), mObjects.get() + mNbObject, objects.get());
  std::copy(mForced.get(), mForced.get() + mCapacity, forced.get());
  std::fill(forced.get() + mCapacity, forced.get() + wanted, 1);
  std::copy(mOrder.get(), mOrder.get() + mNbView, order.get());
  mObjects = std::move(objects);
  mForced = std::move(forced);
  mOrder = std::move(order);
  mCapacity = wanted;
  return true;
}

int NavListGeneric::AddObject(void* object, KIVUnicodeString* texts, int type, int subtypes, int selected, int tagged,
                              int forced, int textCount) {
  if (!Grow()) return 0;
  if (textCount < 0) {
    const NavListType* t = GetTypeInterne(type);
    textCount = t && t->GetColumnCount() > 0 ? t->GetColumnCount() : 1;
  }
  NavListObject& record = mObjects[mNbObject];
  record = NavListObject{object, texts, texts ? textCount : 0, type, subtypes, selected ? 1 : 0, tagged ? 1 : 0, 1};
  mForced[mNbObject] = forced;
  if (!mIndexStale) mIndex.emplace(object, mNbObject);
  ++mNbObject;
  UpdateDisplayList();
  return 1;
}

void NavListGeneric::RebuildIndex() const {
  mIndex.clear();
  mIndex.reserve(mNbObject);
  for (int i = 0; i < mNbObject; ++i) mIndex.emplace(mObjects[i].object, i);  // the first one wins
  mIndexStale = false;
}

int NavListGeneric::GetIndiceObject(void* object) const {
  if (mIndexStale) RebuildIndex();
  auto it = mIndex.find(object);
  return it == mIndex.end() ? -1 : it->second;
}

NavListObject* NavListGeneric::GetInternalObjet(void* object) {
  const int i = GetIndiceObject(object);
  return i < 0 ? nullptr : &mObjects[i];
}

NavListObject* NavListGeneric::GetObjectAt(int index) {
  return index >= 0 && index < mNbObject ? &mObjects[index] : nullptr;
}

void NavListGeneric::RemoveAt(int index) {
  void* object = mObjects[index].object;
  delete[] mObjects[index].texts;
  std::copy(mObjects.get() + index + 1, mObjects.get() + mNbObject, mObjects.get() + index);
  std::copy(mForced.get() + index + 1, mForced.get() + mCapacity, mForced.get() + index);
  mForced[mCapacity - 1] = 1;
  --mNbObject;
  mObjects[mNbObject] = NavListObject{};
  // The view and the lines follow the records.
  int kept = 0;
  for (int i = 0; i < mNbView; ++i) {
    const int r = mOrder[i];
    if (r != index) mOrder[kept++] = r > index ? r - 1 : r;
  }
  mNbView = kept;
  for (int& r : mLineRecord)
    if (r == index) r = -1;
    else if (r > index) --r;
  if (index < static_cast<int>(mRecordLine.size())) mRecordLine.erase(mRecordLine.begin() + index);
  if (mCurrent == object) mCurrent = nullptr;
  if (mAnchor == object) mAnchor = nullptr;
  if (mEditedObject == object) mEditedObject = nullptr;
  mIndexStale = true;
}

int NavListGeneric::RemoveObject(void* object) {
  const int index = GetIndiceObject(object);
  if (index < 0) return 0;
  const bool shown = mObjects[index].inView;
  RemoveAt(index);
  if (shown) UpdateDisplayList();
  return 1;
}

int NavListGeneric::UpdateObject(void* object, KIVUnicodeString* texts, int textCount) {
  NavListObject* record = GetInternalObjet(object);
  if (!record) return 0;
  if (textCount < 0) {
    const NavListType* t = GetTypeInterne(record->type);
    textCount = t && t->GetColumnCount() > 0 ? t->GetColumnCount() : 1;
  }
  if (record->texts != texts) delete[] record->texts;
  record->texts = texts;
  record->textCount = texts ? textCount : 0;
  if (record->inView) UpdateDisplayList();
  return 1;
}

void NavListGeneric::ClearObject(int type) {
  int kept = 0;
  for (int i = 0; i < mNbObject; ++i) {
    if (type == -1 || mObjects[i].type == type) {
      delete[] mObjects[i].texts;
      if (mCurrent == mObjects[i].object) mCurrent = nullptr;
      if (mAnchor == mObjects[i].object) mAnchor = nullptr;
      if (mEditedObject == mObjects[i].object) mEditedObject = nullptr;
      continue;
    }
    // The forced values follow the objects that remain.
    mForced[kept] = mForced[i];
    mObjects[kept++] = mObjects[i];
  }
  for (int i = kept; i < mNbObject; ++i) {
    mObjects[i] = NavListObject{};
    mForced[i] = 1;
  }
  mNbObject = kept;
  mNbView = 0;
  mLineRecord.assign(mLineRecord.size(), -1);
  mRecordLine.clear();
  mIndexStale = true;
  UpdateDisplayList();
}

// ---------------------------------------------------------------------------------------
// Types

int NavListGeneric::GetIndiceType(int id) const {
  for (int i = 0; i < mNbType; ++i)
    if (mTypes[i].id == id) return i;
  return -1;
}

NavListType* NavListGeneric::GetTypeInterne(int id) {
  const int i = GetIndiceType(id);
  return i < 0 ? nullptr : &mTypes[i];
}

int NavListGeneric::AddTypeObject(const NavListType& type, int makeCurrent, int refresh) {
  if (type.id == NavListType::kAllTypes) return 0;
  int i = GetIndiceType(type.id);
  if (i < 0) {
    if (mNbType >= mTypeCapacity) {
      const int wanted = mTypeCapacity > 0 ? 2 * mTypeCapacity : kInitialTypes;
      std::unique_ptr<NavListType[]> grown(new (std::nothrow) NavListType[wanted]);
      if (!grown) {
        std::fprintf(stderr, "Unable to allocate memory\n");
        return 0;
      }
      std::move(mTypes.get(), mTypes.get() + mNbType, grown.get());
      mTypes = std::move(grown);
      mTypeCapacity = wanted;
    }
    i = mNbType++;
  }
  mTypes[i] = type;
  if (mTypes[i].name.IsEmpty()) {
    KIVUnicodeString number;
    number.BuildFromNum(i, "%d");
    mTypes[i].name = KIVUnicodeString("Type") + number;
  }
  if (mContextBuilt) {
    BuildFilterFrame();
    FillTypeCombo();
  }
  if (makeCurrent == 1) SetCurrentType(type.id, refresh);
  else if (refresh) UpdateDisplayList();
  return 1;
}

int NavListGeneric::SetCurrentType(int type, int refresh) {
  if (type != NavListType::kAllTypes && GetIndiceType(type) < 0) return 0;
  const bool changed = type != mSetting.currentType;
  mSetting.currentType = type;
  if (mTypeCombo) {
    const int line = type == NavListType::kAllTypes ? 0 : GetIndiceType(type) + 1;
    mTypeCombo->SetSelect(line, 0);
  }
  if (changed && mContextBuilt) {
    BuildMenu();
    UpdateMultiListFromContext();
  }
  if (refresh) UpdateDisplayList();
  return 1;
}

int NavListGeneric::SetCurrentSubType(int mask) {
  mSetting.subtypeMask = mask;
  UpdateDisplayList();
  return 1;
}

void NavListGeneric::SetTypeComboEnable(int on) {
  mTypeComboEnabled = on ? 1 : 0;
  if (mTypeCombo) mTypeCombo->SetSensitivity(on ? SensitivityOn : SensitivityOff);
}

// ---------------------------------------------------------------------------------------
// Selection and tags

namespace {
template <class Flag>
int Collect(NavListObject* objects, int n, void** out, int* types, int& count, int inViewOnly, Flag flag) {
  const int room = out ? count : 0;
  int found = 0;
  for (int i = 0; i < n; ++i) {
    const NavListObject& o = objects[i];
    if (!flag(o) || (inViewOnly && !o.inView)) continue;
    if (found < room) {
      out[found] = o.object;
      if (types) types[found] = o.type;
    }
    ++found;
  }
  count = found;
  return found;
}
}  // namespace

int NavListGeneric::GetSelectObject(void** out, int* types, int& count, int inViewOnly) {
  return Collect(mObjects.get(), mNbObject, out, types, count, inViewOnly,
                 [](const NavListObject& o) { return o.selected != 0; });
}

int NavListGeneric::GetTaggedObject(void** out, int* types, int& count, int inViewOnly) {
  return Collect(mObjects.get(), mNbObject, out, types, count, inViewOnly,
                 [](const NavListObject& o) { return o.tagged != 0; });
}

int NavListGeneric::GetSelectCount(int inViewOnly) const {
  int n = 0;
  for (int i = 0; i < mNbObject; ++i) n += mObjects[i].selected && (!inViewOnly || mObjects[i].inView);
  return n;
}

int NavListGeneric::GetTaggedCount(int inViewOnly) const {
  int n = 0;
  for (int i = 0; i < mNbObject; ++i) n += mObjects[i].tagged && (!inViewOnly || mObjects[i].inView);
  return n;
}

int NavListGeneric::SetSelectObject(void** objects, int n, int value, int refresh, int notify) {
  if (!objects || n <= 0) return 0;
  int changed = 0;
  for (int i = 0; i < n; ++i) {
    NavListObject* o = GetInternalObjet(objects[i]);
    if (!o || o->selected == (value ? 1 : 0)) continue;
    o->selected = value ? 1 : 0;
    ++changed;
  }
  if (changed && !refresh) WriteSelection();
  if (refresh) UpdateDisplayList();
  if (changed && notify) Send(&mSelectChange);
  return changed;
}

int NavListGeneric::ClearSelectObject(int refresh, int notify) {
  int changed = 0;
  for (int i = 0; i < mNbObject; ++i)
    if (mObjects[i].selected) {
      mObjects[i].selected = 0;
      ++changed;
    }
  if (changed && !refresh) WriteSelection();
  if (refresh) UpdateDisplayList();
  if (changed && notify) Send(&mSelectChange);
  return changed;
}

int NavListGeneric::SetTaggedObject(void** objects, int n, int value, int refresh, int notify) {
  if (!objects || n <= 0) return 0;
  int changed = 0;
  for (int i = 0; i < n; ++i) {
    NavListObject* o = GetInternalObjet(objects[i]);
    if (!o || o->tagged == (value ? 1 : 0)) continue;
    o->tagged = value ? 1 : 0;
    ++changed;
  }
  if (refresh) UpdateDisplayList();
  if (changed && notify) Send(&mMarqueChange);
  return changed;
}

int NavListGeneric::ClearTaggedObject(int refresh, int notify) {
  int changed = 0;
  for (int i = 0; i < mNbObject; ++i)
    if (mObjects[i].tagged) {
      mObjects[i].tagged = 0;
      ++changed;
    }
  if (refresh) UpdateDisplayList();
  if (changed && notify) Send(&mMarqueChange);
  return changed;
}

int NavListGeneric::SelectAll(int select) {
  int changed = 0;
  for (int i = 0; i < mNbObject; ++i) {
    const int want = select && mObjects[i].inView ? 1 : 0;
    if (mObjects[i].selected != want) {
      mObjects[i].selected = want;
      ++changed;
    }
  }
  WriteSelection();
  if (changed) Send(&mSelectChange);
  return changed;
}

void NavListGeneric::WriteSelection() {
  std::vector<int> lines;
  for (int line = 0; line < static_cast<int>(mLineRecord.size()); ++line) {
    const int r = mLineRecord[line];
    if (r >= 0 && mObjects[r].selected) lines.push_back(line);
  }
  mList->SetSelect(lines.data(), static_cast<int>(lines.size()), 0);
}

int NavListGeneric::SetModeMarque(int mode, int syncWidgets) {
  if (mode < 5 || mode > 7) return 0;
  mSetting.tagMode = mode;
  if (syncWidgets) {
    if (mTagCombo) mTagCombo->SetSelect(mode - 5, 0);
    ApplyTagModeWidgets();
  }
  UpdateDisplayList();
  return 1;
}

// ---------------------------------------------------------------------------------------
// View

int NavListGeneric::GetObjectInCurrentView(void** out, int& count, int inDisplayOrder) {
  const int room = out ? count : 0;
  if (inDisplayOrder) {
    for (int i = 0; i < mNbView && i < room; ++i) out[i] = mObjects[mOrder[i]].object;
    count = mNbView;
    return mNbView;
  }
  return Collect(mObjects.get(), mNbObject, out, nullptr, count, 1, [](const NavListObject&) { return true; });
}

int NavListGeneric::GetLineOfObject(void* object) const {
  const int r = GetIndiceObject(object);
  return r >= 0 && r < static_cast<int>(mRecordLine.size()) ? mRecordLine[r] : -1;
}

void* NavListGeneric::GetObjectOfLine(int line) const {
  if (line < 0 || line >= static_cast<int>(mLineRecord.size())) return nullptr;
  const int r = mLineRecord[line];
  return r >= 0 ? mObjects[r].object : nullptr;
}

void NavListGeneric::UpdatePositionList(void* object, int reset) {
  if (reset == 1 || !object) {
    mAnchor = nullptr;
    return;
  }
  mAnchor = object;
  const int line = GetLineOfObject(object);
  if (line >= 0) mList->SetFirstLine(line);
}

// ---------------------------------------------------------------------------------------
// Filtering

void NavListGeneric::SetFilter(const char* pattern) {
  mFilter.SetFilter(pattern);
  mSetting.filterText = KIVUnicodeString(mFilter.GetFilter());
  if (mFilterEditor) mFilterEditor->SetText(mSetting.filterText, 0);
  mAnchor = nullptr;
  UpdateDisplayList();
}

void NavListGeneric::SetFiltreForce(int* values, int n, int refresh) {
  if (!values || n <= 0) return;
  std::copy(values, values + std::min(n, mCapacity), mForced.get());
  if (refresh) UpdateDisplayList();
}

void NavListGeneric::InitFiltreForce(int from, int value) {
  if (!mForced) return;
  std::fill(mForced.get() + std::clamp(from, 0, mCapacity), mForced.get() + mCapacity, value);
}

bool NavListGeneric::ObjectShown(int i) const {
  const NavListObject& o = mObjects[i];
  if (mForced[i] != 1) return false;
  if (mStyle & kStyleTagging) {
    const int mode = mSetting.tagMode;
    if ((mode == 6 && !o.tagged) || (mode == 7 && o.tagged)) return false;
  }
  if (mSetting.currentType != NavListType::kAllTypes && mSetting.currentType != o.type) return false;
  if (mSetting.subtypeMask != -1 && o.subtypes != -1 && !(mSetting.subtypeMask & o.subtypes)) return false;
  return mFilter.CheckFromFilter(o.Text(0).CastToCharPtr()) == 1;
}

void NavListGeneric::UpdateFilterList() {
  mNbView = 0;
  for (int i = 0; i < mNbObject; ++i) {
    if (mFiltering) mObjects[i].inView = ObjectShown(i) ? 1 : 0;
    if (mObjects[i].inView) mOrder[mNbView++] = i;
  }
}

// ---------------------------------------------------------------------------------------
// Refresh

void NavListGeneric::UpdateDisplayList() {
  if (!mUpdatesEnabled || mRefreshPending) return;
  if (!mList->IsRealized()) {
    mWaitingForWindow = 1;  // the window's first showing asks again
    return;
  }
  mRefreshPending = 1;
  KIVApplication::MainApplication()->Subscribe(2, this, nullptr, &NavListGeneric::DeferredCB);
}

void NavListGeneric::ActiveUpdate() {
  mUpdatesEnabled = 1;
  UpdateDisplayList();
}

void NavListGeneric::DeferredCB(KIVCommand* command, int, void*) {
  KIVApplication::MainApplication()->RemoveSubscribe(2, command);
  auto* list = static_cast<NavListGeneric*>(command);
  if (!IsReferenced(list)) return;
  list->mRefreshPending = 0;
  list->UpdateDisplayListDiffered();
}

void NavListGeneric::UpdateDisplayListDiffered() {
  mRefreshPending = 0;
  if (!mContextBuilt) BuildContext();
  UpdateFilterList();
  // The sort bits would be lost at the next refresh otherwise: they sort whenever set.
  if ((mStyle & kStyleSortAtRefresh) || mSetting.sortBits) UpdateSortList();
  FillLines();
  WriteSelection();
  if (mAnchor) {
    const int line = GetLineOfObject(mAnchor);
    if (line >= 0) mList->SetFirstLine(line);
  }
  UpdateCounter();
  GetCallbackManager()->DispatchCallbacks(OBJECT_UPDATED(), nullptr, this);
}

void NavListGeneric::FillLines() {
  const bool marker = ShowsMarker(), tag = ShowsTagColumn();
  const NavListType* type = mSetting.currentType == NavListType::kAllTypes ? nullptr
                                                                          : GetTypeInterne(mSetting.currentType);
  int dataColumns = type ? type->GetColumnCount() : (mNbType > 0 ? mTypes[0].GetColumnCount() : 1);
  dataColumns = std::max(dataColumns, 1);
  const bool typeColumn = !type && mMoreInfo;
  const int total = dataColumns + marker + tag + typeColumn;
  std::vector<std::vector<KIVUnicodeString>> columns(total);
  for (auto& c : columns) c.resize(mNbView);
  const KIVUnicodeString on(kMarkerOn), off(kMarkerOff), tagText(TagTitle), untagText(UnTagTitle);
  const KIVUnicodeString unknown("Unknown");
  mLineRecord.assign(mOrder.get(), mOrder.get() + mNbView);
  mRecordLine.assign(mNbObject, -1);
  for (int line = 0; line < mNbView; ++line) {
    const int r = mOrder[line];
    mRecordLine[r] = line;
    const NavListObject& o = mObjects[r];
    int c = 0;
    if (marker) columns[c++][line] = o.object == mCurrent && mCurrent ? on : off;
    if (tag) columns[c++][line] = o.tagged ? tagText : untagText;
    for (int k = 0; k < dataColumns; ++k) columns[c++][line] = o.Text(k);
    if (typeColumn) {
      const int t = GetIndiceType(o.type);
      columns[c][line] = t >= 0 ? mTypes[t].name : unknown;
    }
  }
  mList->SetAllColumns(std::move(columns));
  UpdateMultiListFromContext();
}

void NavListGeneric::UpdateCounter() {
  if (!mCounter) return;
  mCounter->SetTitle(Number(mList->GetSelectCount()) + KIVUnicodeString(" / ") + Number(mNbView));
}

void NavListGeneric::SetExtandInfo(int on) {
  mMoreInfo = on ? 1 : 0;
  if (mMenu) mMenu->SetState(kMoreInfo, mMoreInfo ? kSet : kCleared, 0);
  if (mFindAllButton) mFindAllButton->SetVisibility(mMoreInfo ? kHidden : kShown);
  UpdateDisplayList();
}

void NavListGeneric::UpdateMultiListFromContext() {
  std::vector<KIVUnicodeString> titles;
  std::vector<int> widths;
  if (ShowsMarker()) {
    titles.emplace_back("F");
    widths.push_back(2);
  }
  if (ShowsTagColumn()) {
    titles.emplace_back(StateTitle);
    widths.push_back(5);
  }
  const NavListType* type = mSetting.currentType == NavListType::kAllTypes ? nullptr
                                                                          : GetTypeInterne(mSetting.currentType);
  const NavListType* shown = type ? type : (mNbType > 0 ? &mTypes[0] : nullptr);
  if (shown && shown->GetColumnCount() > 0) {
    for (int k = 0; k < shown->GetColumnCount(); ++k) {
      titles.push_back(shown->titles[k]);
      widths.push_back(shown->GetWidth(k));
    }
  } else {
    titles.emplace_back("Name");
    widths.push_back(50);
  }
  if (!type && mMoreInfo) {
    titles.emplace_back("Type");
    widths.push_back(10);
  }
  const int n = static_cast<int>(titles.size());
  bool same = mList->GetColumnCount() == n;
  for (int k = 0; same && k < n; ++k)
    same = mList->GetColumnTitle(k) == titles[k] && mList->GetColumnTextWidth(k) == widths[k];
  if (same) return;
  mList->SetColumnTitles(n, titles.data());
  for (int k = 0; k < n; ++k) mList->SetColumnTextWidth(k, widths[k]);
}

void NavListGeneric::BuildContext() {
  mContextBuilt = 1;
  BuildMenu();
  UpdateMultiListFromContext();
  BuildFilterFrame();
}

void NavListGeneric::BuildFilterFrame() {
  if (!(mStyle & (kStyleFilterEditor | kStyleTypeCombo | kStyleTagCombo))) return;
  const bool tagCombo = (mStyle & kStyleTagCombo) && (mStyle & kStyleTagging);
  const bool typeCombo = (mStyle & kStyleTypeCombo) && mNbType > 1;
  if (!mFilterFrame) {
    mFilterFrame = new KIVDlgFrame(this, "ListFilterFrame", 0);
    mFilterFrame->SetTitle(KIVUnicodeString("Filter"));
    mFilterFrame->SetGridConstraints(2, 0, 1, 2, AttachLeft | AttachRight);
    if (mStyle & kStyleFilterEditor) {
      mFilterEditor = new KIVDlgEditor(mFilterFrame, "ListFilterEditor", 0);
      mFilterEditor->SetVisibleTextWidth(20);
      mFilterEditor->SetVisibleTextHeight(1);
      mFilterEditor->SetText(KIVUnicodeString(mFilter.GetFilter()), 0);
      mFilterEditor->SetGridConstraints(0, 0, 1, 1, AttachLeft | AttachRight);
      AddAnalyseNotificationCB(mFilterEditor, mFilterEditor->GetEditModifyNotification(), &NavListGeneric::FilterCB,
                               nullptr);
      mFilterApply = new KIVDlgPushButton(mFilterFrame, "ListFilterApplyButton", 0);
      mFilterApply->SetTitle(KIVUnicodeString("Apply"));
      mFilterApply->SetIconName("cbupdatp");
      mFilterApply->SetGridConstraints(0, 1);
      AddAnalyseNotificationCB(mFilterApply, mFilterApply->GetPushBActivateNotification(), &NavListGeneric::FilterCB,
                               nullptr);
    }
    if (tagCombo) {
      mTagCombo = new KIVDlgCombo(mFilterFrame, "ModeMarqCombo", 0);
      mTagCombo->SetLine(KIVUnicodeString("All"));
      mTagCombo->SetLine(KIVUnicodeString(TagTitle));
      mTagCombo->SetLine(KIVUnicodeString(UnTagTitle));
      mTagCombo->SetSelect(mSetting.tagMode - 5, 0);
      mTagCombo->SetGridConstraints(1, 1);
      AddAnalyseNotificationCB(mTagCombo, mTagCombo->GetCmbSelectNotification(), &NavListGeneric::FilterCB, nullptr);
    }
  }
  if (typeCombo && !mTypeCombo) {
    mTypeCombo = new KIVDlgCombo(mFilterFrame, "ModeTypeCombo", 0);
    mTypeCombo->SetGridConstraints(1, 0);
    mTypeCombo->SetSensitivity(mTypeComboEnabled ? SensitivityOn : SensitivityOff);
    AddAnalyseNotificationCB(mTypeCombo, mTypeCombo->GetCmbSelectNotification(), &NavListGeneric::FilterCB, nullptr);
    FillTypeCombo();
  }
}

void NavListGeneric::FillTypeCombo() {
  if (!mTypeCombo) return;
  mTypeCombo->ClearLine();
  mTypeCombo->SetLine(KIVUnicodeString("All"));
  for (int i = 0; i < mNbType; ++i) mTypeCombo->SetLine(mTypes[i].name);
  const int line = mSetting.currentType == NavListType::kAllTypes ? 0 : GetIndiceType(mSetting.currentType) + 1;
  mTypeCombo->SetSelect(line, 0);
}

// ---------------------------------------------------------------------------------------
// Widgets' callbacks

void NavListGeneric::Send(KIVNotification* notification) {
  if (mFatherCommand) SendNotification(mFatherCommand, notification);
}

void NavListGeneric::WindowCB(KIVCommand* sender, KIVNotification* notification, void*) {
  if (sender == mList && notification == mList->GetCreateNotification()) {
    if (mWaitingForWindow) {
      mWaitingForWindow = 0;
      UpdateDisplayList();
    }
    return;
  }
  if (mFindInfo && sender == mFindInfo) {
    mFindInfo->SetVisibility(kHidden);
    return;
  }
}

void NavListGeneric::SelectChangeCB(KIVCommand* sender, KIVNotification* notification, void*) {
  if (sender != mList) return;
  const int column = mList->GetSelectedColumn();
  mLastColumn = column;
  const bool markerColumn = ShowsMarker() && column == 0;
  const bool tagColumn = ShowsTagColumn() && column == TagColumn();
  // The selected flags of the shown objects follow the multi-list.
  for (int line = 0; line < static_cast<int>(mLineRecord.size()); ++line) {
    const int r = mLineRecord[line];
    if (r >= 0) mObjects[r].selected = mList->IsSelected(line);
  }
  UpdateCounter();
  const bool activate = notification == mList->GetListActivateNotification();
  if (!activate) {
    Send(&mSelectChange);
    return;
  }
  if (markerColumn || tagColumn) {
    if (mList->GetSelectCount() != 1) return;
    int line = -1;
    mList->GetSelect(&line, 1);
    const int r = mLineRecord[line];
    if (r < 0) return;
    NavListObject& o = mObjects[r];
    if (tagColumn) {
      o.tagged = !o.tagged;
      mList->SetCell(line, TagColumn(), KIVUnicodeString(o.tagged ? TagTitle : UnTagTitle));
      Send(&mMarqueChange);
    } else {
      UpdateFindList(o.object == mCurrent ? nullptr : &o, 0);
    }
    return;
  }
  Send(&mSelectActive);
}

void NavListGeneric::FilterCB(KIVCommand* sender, KIVNotification*, void*) {
  if ((mFilterEditor && sender == mFilterEditor) || (mFilterApply && sender == mFilterApply)) {
    mFilter.SetFilter(mFilterEditor->GetText().CastToCharPtr());
    mSetting.filterText = KIVUnicodeString(mFilter.GetFilter());
    mAnchor = nullptr;
    UpdateDisplayList();
    Send(sender == mFilterApply ? static_cast<KIVNotification*>(mFilterApply->GetPushBActivateNotification())
                                : static_cast<KIVNotification*>(mFilterEditor->GetEditModifyNotification()));
  } else if (mTypeCombo && sender == mTypeCombo) {
    const int line = mTypeCombo->GetSelect();
    const int type = line <= 0 || line > mNbType ? NavListType::kAllTypes : mTypes[line - 1].id;
    SetCurrentType(type, 1);
    Send(&mChangeType);
  } else if (mTagCombo && sender == mTagCombo) {
    const int line = mTagCombo->GetSelect();
    if (line < 0 || line > 2) return;
    SetModeMarque(5 + line, 0);
    ApplyTagModeWidgets();
    Send(&mSwapModeMarq);
  }
}

// ---------------------------------------------------------------------------------------
// Contextual menu

namespace {
TableauMenu Row(int option, int kind, const char* name, const char* title, int state = 1) {
  return TableauMenu{option, kind, name, title, KIVUnicodeChar(0), 0ul, nullptr, 0, state};
}
}  // namespace

void NavListGeneric::BuildMenu() {
  if (mMenu) {
    RemoveAnalyseNotificationCB(mMenu, mMenu->GetActionMenuNotification(), nullptr);
    KIVDlgMenu* root = mMenu->GetRacineMenu();
    delete mMenu;
    mMenu = nullptr;
    if (root) root->RequestDelayedDestruction();
  }
  const int sort = mSetting.sortBits, find = mSetting.findMode;
  const bool specificType = mSetting.currentType != NavListType::kAllTypes;
  const int checked = 1 | 4;
  std::vector<TableauMenu> rows;
  rows.push_back(Row(kMoreInfo, 2, "ListMoreInfoItem", "More Info", mMoreInfo ? checked : 1));
  if (specificType) rows.push_back(Row(kEditObject, 3, "ListEditObjetItem", "Edite Value"));
  rows.push_back(Row(-1, 5, "Separator", "Separator"));
  rows.push_back(Row(kSelectAll, 3, "ListSelectAllItem", "Select All"));
  rows.push_back(Row(kDeselectAll, 3, "ListUnSelectAllItem", "Deselect All"));
  rows.push_back(Row(-1, 5, "Separator", "Separator"));
  rows.push_back(Row(kFind, 3, "ListFindItem", "Find Object"));
  rows.push_back(Row(kFindNext, 3, "ListFindNextItem", "Find Next Object"));
  rows.push_back(Row(kFindNextSelect, 3, "ListNextSelectItem", "Find Next Select"));
  rows.push_back(Row(-1, 5, "Separator", "Separator"));
  rows.push_back(Row(kShowWhenFind, 4, "ListShowWhenFindItem", "Show When Found", (find & 1) ? checked : 1));
  rows.push_back(Row(kSelWhenFind, 4, "ListSelWhenFindItem", "Select When Found", (find & 2) ? checked : 1));
  rows.push_back(Row(kUnSelWhenFind, 4, "ListUnSelWhenFindItem", "Deselect When Found", (find & 4) ? checked : 1));
  rows.push_back(Row(kAddSelect, 2, "ListAddSelectItem", "Add Select when Found",
                     ((find & 8) ? 4 : 0) | ((find & 1) ? 2 : 0) | 1));
  rows.push_back(Row(-1, 5, "Separator", "Separator"));
  rows.push_back(Row(kSortAlpha, 2, "ListSortAlphaItem", "Sort Alphanumerique", (sort & 1) ? checked : 1));
  rows.push_back(Row(kSortSelect, 2, "ListSortSelectItem", "Sort by Selected", (sort & 4) ? checked : 1));
  rows.push_back(Row(kSortTag, 2, "ListSortMarqueItem", "Sort By Tag", (sort & 2) ? checked : 1));
  if (mStyle & kStyleTagging) {
    rows.push_back(Row(-1, 5, "Separator", "Separator"));
    const int mode = mSetting.tagMode;
    // Check items kept exclusive here: radio items of one menu would form one group with
    // the find modes.
    rows.push_back(Row(kTagAll, 2, "ListComboModeAllText", "All", mode == 5 ? checked : 1));
    rows.push_back(Row(kTagOnly, 2, "ModeMarqueOkItem", TagTitle, mode == 6 ? checked : 1));
    rows.push_back(Row(kUnTagOnly, 2, "ModeMarqueNoItem", UnTagTitle, mode == 7 ? checked : 1));
  }
  rows.push_back(Row(-1, 5, "Separator", "Separator"));
  rows.push_back(Row(kPrintFile, 3, "ListPrintFileItem", "Save to file"));
  std::vector<TableauMenu*> table;
  for (auto& r : rows) table.push_back(&r);
  mMenu = new NavMenuGeneric(this, mList, "ListContextMenu", 8, table.data(), static_cast<int>(table.size()));
  AddAnalyseNotificationCB(mMenu, mMenu->GetActionMenuNotification(), &NavListGeneric::MenuCB, nullptr);
}

void NavListGeneric::MenuCB(KIVCommand* sender, KIVNotification*, void*) {
  if (sender != mMenu) return;
  ActionMenu(mMenu->GetLastOptionChoose());
}

void NavListGeneric::AfterSortToggle() {
  if (!mAnchor && mNbView > 1) mAnchor = GetObjectOfLine(mList->GetFirstLine());
  ApplySortWidgets();
  UpdateDisplayList();
}

void NavListGeneric::ApplyTagModeWidgets() {
  if (!mMenu) return;
  for (int mode = 5; mode <= 7; ++mode) mMenu->SetState(mode, mode == mSetting.tagMode ? kSet : kCleared, 0);
}

void NavListGeneric::ApplySortWidgets() {
  if (!mMenu) return;
  mMenu->SetState(kSortAlpha, (mSetting.sortBits & 1) ? kSet : kCleared, 0);
  mMenu->SetState(kSortSelect, (mSetting.sortBits & 4) ? kSet : kCleared, 0);
  mMenu->SetState(kSortTag, (mSetting.sortBits & 2) ? kSet : kCleared, 0);
}

void NavListGeneric::SetFindMode(int mode) {
  mSetting.findMode = mode;
  ApplyFindModeWidgets();
}

void NavListGeneric::ApplyFindModeWidgets() {
  if (!mMenu) return;
  const int mode = mSetting.findMode;
  if (mode & 1) mMenu->SetState(kShowWhenFind, kSet, 0);
  if (mode & 2) mMenu->SetState(kSelWhenFind, kSet, 0);
  if (mode & 4) mMenu->SetState(kUnSelWhenFind, kSet, 0);
  mMenu->SetSensitivity(kAddSelect, (mode & 1) ? SensitivityOff : SensitivityOn);
  mMenu->SetState(kAddSelect, (mode & 8) ? kSet : kCleared, 0);
}

void NavListGeneric::ActionMenu(int option) {
  const int add = mSetting.findMode & 8;
  switch (option) {
    case kMoreInfo:
      SetExtandInfo(!mMoreInfo);
      UpdateMultiListFromContext();
      break;
    case kEditObject: {
      int line = -1;
      mList->GetSelect(&line, 1);
      OpenEditor(line);
      break;
    }
    case kSelectAll:
      SelectAll(1);
      break;
    case kDeselectAll:
      SelectAll(0);
      break;
    case kFind:
      FindObjectSaisie(nullptr);
      break;
    case kFindNext:
      FindObject(mLastSearch, GetFirstDataColumn(), 1, -1, -1);
      break;
    case kFindNextSelect:
      FindObject(KIVUnicodeString(), GetFirstDataColumn(), 1, 1, -1);
      break;
    case kShowWhenFind:
      SetFindMode(1 | add);
      break;
    case kSelWhenFind:
      SetFindMode(2 | add);
      break;
    case kUnSelWhenFind:
      SetFindMode(4 | add);
      break;
    case kAddSelect:
      SetFindMode(mSetting.findMode ^ 8);
      break;
    case kSortAlpha:
      mSetting.sortBits ^= 1;
      AfterSortToggle();
      break;
    case kSortSelect:
      mSetting.sortBits ^= 4;
      AfterSortToggle();
      break;
    case kSortTag:
      mSetting.sortBits ^= 2;
      AfterSortToggle();
      break;
    case kTagAll:
    case kTagOnly:
    case kUnTagOnly:
      if (!(mStyle & kStyleTagging)) break;
      SetModeMarque(option, 1);
      Send(&mSwapModeMarq);
      break;
    case kPrintFile:
      if (NavMultiListTxt* dialog = NavMultiListTxt::CreateMultiTxt(this, mList, this)) dialog->ShowFileDlg();
      break;
    default:
      break;
  }
}

// ---------------------------------------------------------------------------------------
// Object editor

void NavListGeneric::OpenEditor(int line) {
  const NavListType* type = mSetting.currentType == NavListType::kAllTypes ? nullptr
                                                                          : GetTypeInterne(mSetting.currentType);
  void* object = GetObjectOfLine(line);
  NavListObject* record = object ? GetInternalObjet(object) : nullptr;
  if (!type || !record) return;
  if (mEditor) {
    mEditor->RequestDelayedDestruction();
    mEditor = nullptr;
  }
  NavListType copy = *type;
  std::vector<KIVUnicodeString> values(copy.GetColumnCount());
  for (int k = 0; k < copy.GetColumnCount(); ++k) values[k] = record->Text(k);
  mEditor = new NavEditorGeneric(this, this, &copy, values.data(), 0);
  mEditedObject = object;
  AddAnalyseNotificationCB(mEditor, mEditor->GetActionEditorNotification(), &NavListGeneric::EditorCB, nullptr);
  AddAnalyseNotificationCB(mEditor, mEditor->GetWindCloseNotification(), &NavListGeneric::EditorCB, nullptr);
  mEditor->AffichePanel(1);
}

void NavListGeneric::EditorCB(KIVCommand* sender, KIVNotification* notification, void*) {
  if (!mEditor || sender != mEditor) return;
  if (notification == mEditor->GetWindCloseNotification()) {
    mEditor->RequestDelayedDestruction();
    mEditor = nullptr;
    mEditedObject = nullptr;
    return;
  }
  NavListObject* record = mEditedObject ? GetInternalObjet(mEditedObject) : nullptr;
  if (!record) return;
  KIVUnicodeString* values = nullptr;
  const int n = mEditor->GetCurrentValue(&values);
  if (!values || n <= 0) return;
  auto* texts = new (std::nothrow) KIVUnicodeString[n];
  if (!texts) return;
  std::copy(values, values + n, texts);
  UpdateObject(mEditedObject, texts, n);
}

// ---------------------------------------------------------------------------------------
// Settings

void NavListGeneric::SetCurrentSetting(const NavListGenericSetting& s) {
  InactiveUpdate();
  bool changed = false;
  if (s.sortBits != -1 && s.sortBits != mSetting.sortBits) {
    mSetting.sortBits = s.sortBits;
    ApplySortWidgets();
    changed = true;
  }
  if (s.findMode != -1 && s.findMode != mSetting.findMode) {
    SetFindMode(s.findMode);
    changed = true;
  }
  if (s.tagMode != -1 && s.tagMode != mSetting.tagMode && s.tagMode >= 5 && s.tagMode <= 7) {
    SetModeMarque(s.tagMode, 1);
    changed = true;
  }
  if (s.currentType != -1 && s.currentType != mSetting.currentType) changed |= SetCurrentType(s.currentType, 0) == 1;
  if (s.subtypeMask != -1 && s.subtypeMask != mSetting.subtypeMask) {
    mSetting.subtypeMask = s.subtypeMask;
    changed = true;
  }
  if (!s.filterText.IsEmpty() && s.filterText != mSetting.filterText) {
    mFilter.SetFilter(s.filterText.CastToCharPtr());
    mSetting.filterText = KIVUnicodeString(mFilter.GetFilter());
    if (mFilterEditor) mFilterEditor->SetText(mSetting.filterText, 0);
    mAnchor = nullptr;
    changed = true;
  }
  mUpdatesEnabled = 1;
  if (changed) UpdateDisplayList();
}
