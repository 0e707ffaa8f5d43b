#include "dialogs/NavSimpleListChooser.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "host/dialog/KIVDlgEditor.h"
#include "host/dialog/KIVDlgLabel.h"
#include "host/dialog/KIVDlgMultiList.h"
#include "host/dialog/KIVDlgPushButton.h"

NavSimpleListChooser::NavSimpleListChooser(KIVDialog* parent, const char* tag, unsigned long, int withFilter)
    : KIVDlgFrame(parent, tag, 0xC0000) {
  mList = new KIVDlgMultiList(this, "List", 0);
  mList->SetVisibleTextHeight(10);
  mList->SetVisibleTextWidth(20);
  mList->SetGridConstraints(withFilter == 1 ? 1 : 0, 0, 1, 1, AttachLeft | AttachRight | AttachTop | AttachBottom);
  KIVDialog* editorParent = this;
  if (withFilter == 1) {
    mLabel = new KIVDlgLabel(this, "ListLabel", 0);
    mLabel->SetGridConstraints(0, 0);
    mFilterFrame = new KIVDlgFrame(this, "FilterFrame", 0);
    mFilterFrame->SetGridConstraints(2, 0, 1, 1, AttachLeft | AttachRight);
    editorParent = mFilterFrame;
  }
  mEditor = new KIVDlgEditor(editorParent, "FilterEditor", 0);
  mEditor->SetVisibleTextWidth(20);
  mEditor->SetVisibleTextHeight(1);
  mEditor->SetText(KIVUnicodeString(mFilter.GetFilter()), 0);
  mEditor->SetGridConstraints(withFilter == 1 ? 0 : 1, 0, 1, 1, AttachLeft | AttachRight);
  if (withFilter == 1) {
    mApply = new KIVDlgPushButton(mFilterFrame, "FilterButton", 0);
    mApply->SetTitle(KIVUnicodeString("Apply"));
    mApply->SetGridConstraints(0, 1);
    AddAnalyseNotificationCB(mList, mList->GetListSelectNotification(), &NavSimpleListChooser::Forward, nullptr);
    AddAnalyseNotificationCB(mList, mList->GetListActivateNotification(), &NavSimpleListChooser::Forward, nullptr);
    AddAnalyseNotificationCB(mEditor, mEditor->GetEditModifyNotification(), &NavSimpleListChooser::Forward, nullptr);
    AddAnalyseNotificationCB(mApply, mApply->GetPushBActivateNotification(), &NavSimpleListChooser::Forward, nullptr);
  }
}

NavSimpleListChooser::~NavSimpleListChooser() { Retire(); }

void NavSimpleListChooser::Forward(KIVCommand* sender, KIVNotification* notification, void*) {
  if (sender == mEditor || sender == mApply) UpdateFilter(1);
  if (GetFather()) SendNotification(GetFather(), notification);
}

int NavSimpleListChooser::AddElement(const char* text, void* object) {
  if (!text) text = "";
  auto at = mElements.end();
  if (mSort)  // after the equal texts, as an insertion into a sorted list does
    at = std::upper_bound(mElements.begin(), mElements.end(), text,
                          [](const char* t, const Element& e) { return std::strcmp(t, e.text.c_str()) < 0; });
  const auto index = at - mElements.begin();
  try {
    mElements.insert(at, Element{text, object});
    mForced.insert(mForced.begin() + index, 1);
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, " ++++ Unable to allocate memory \n");
    if (mElements.size() != mForced.size()) mElements.erase(mElements.begin() + index);
    return -1;
  }
  Redisplay();
  return static_cast<int>(index);
}

int NavSimpleListChooser::RemoveElement(const void* object) {
  int removed = 0;
  for (std::size_t i = mElements.size(); i-- > 0;)
    if (mElements[i].object == object) {
      mElements.erase(mElements.begin() + i);
      mForced.erase(mForced.begin() + i);
      ++removed;
    }
  if (removed) Redisplay();
  return removed;
}

void NavSimpleListChooser::ClearElements() {
  mElements.clear();
  mForced.clear();
  Redisplay();
}

const char* NavSimpleListChooser::GetElementText(int index) const {
  return index >= 0 && index < GetElementsCount() ? mElements[index].text.c_str() : nullptr;
}

void* NavSimpleListChooser::GetElementObject(int index) const {
  return index >= 0 && index < GetElementsCount() ? mElements[index].object : nullptr;
}

int NavSimpleListChooser::GetSelectCount() const { return mList->GetSelectCount(); }

int NavSimpleListChooser::GetSelect(void** out, int n) const {
  const int count = mList->GetSelectCount();
  if (out && n > 0) {
    std::vector<int> lines(count);
    mList->GetSelect(lines.data(), count);
    for (int i = 0; i < count && i < n; ++i) out[i] = mElements[mLineElement[lines[i]]].object;
  }
  return count;
}

void NavSimpleListChooser::SetSelect(void** objects, int n) {
  std::vector<int> lines;
  for (int line = 0; objects && line < static_cast<int>(mLineElement.size()); ++line)
    for (int i = 0; i < n; ++i)
      if (mElements[mLineElement[line]].object == objects[i]) {
        lines.push_back(line);
        break;
      }
  mList->SetSelect(lines.data(), static_cast<int>(lines.size()), 0);
}

void NavSimpleListChooser::ClearSelect() { mList->ClearSelect(0); }

void NavSimpleListChooser::SetFilter(const char* pattern) {
  mFilter.SetFilter(pattern);
  mEditor->SetText(KIVUnicodeString(mFilter.GetFilter()), 0);
  FilterList();
}

void NavSimpleListChooser::UpdateFilter(int fromEditor) {
  if (fromEditor == 1) mFilter.SetFilter(mEditor->GetText().CastToCharPtr());
  FilterList();
}

void NavSimpleListChooser::FilterList() { Redisplay(); }

void NavSimpleListChooser::SetTableauFiltre(const int* values, int n) {
  if (!values || n <= 0) return;
  std::copy(values, values + std::min<std::size_t>(n, mForced.size()), mForced.begin());
  Redisplay();
}

void NavSimpleListChooser::InitTableauFiltre(int from, int value) {
  if (from < 0) from = 0;
  for (std::size_t i = from; i < mForced.size(); ++i) mForced[i] = value;
  Redisplay();
}

void NavSimpleListChooser::SetSortAttibute(int on) {
  mSort = on ? 1 : 0;
  if (!mSort) return;
  std::vector<std::size_t> order(mElements.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return std::strcmp(mElements[a].text.c_str(), mElements[b].text.c_str()) < 0;
  });
  std::vector<Element> elements;
  std::vector<int> forced;
  for (std::size_t i : order) {
    elements.push_back(std::move(mElements[i]));
    forced.push_back(mForced[i]);
  }
  mElements = std::move(elements);
  mForced = std::move(forced);
  Redisplay();
}

void NavSimpleListChooser::ActiveUpdate() {
  mUpdates = 1;
  Redisplay();
}

void NavSimpleListChooser::Redisplay() {
  if (!mUpdates) return;
  mShown.assign(mElements.size(), 0);
  mLineElement.clear();
  std::vector<KIVUnicodeString> texts;
  for (std::size_t i = 0; i < mElements.size(); ++i) {
    if (mForced[i] != 1 || !mFilter.CheckFromFilter(mElements[i].text.c_str())) continue;
    mShown[i] = 1;
    mLineElement.push_back(static_cast<int>(i));
    texts.emplace_back(mElements[i].text);
  }
  std::vector<std::vector<KIVUnicodeString>> columns(1);
  columns[0] = std::move(texts);
  mList->SetAllColumns(std::move(columns));
}

int NavSimpleListChooser::GetVisibleTextWidth() const { return mList->GetVisibleTextWidth(); }
void NavSimpleListChooser::SetVisibleTextWidth(int characters) { mList->SetVisibleTextWidth(characters); }
int NavSimpleListChooser::GetVisibleTextHeight() const { return mList->GetVisibleTextHeight(); }
void NavSimpleListChooser::SetVisibleTextHeight(int lines) { mList->SetVisibleTextHeight(lines); }
int NavSimpleListChooser::GetFirstLine() const { return mList->GetFirstLine(); }
void NavSimpleListChooser::SetFirstLine(int line) { mList->SetFirstLine(line); }
int NavSimpleListChooser::GetFirstColumn() const { return mList->GetFirstColumn(); }
void NavSimpleListChooser::SetFirstColumn(int column) { mList->SetFirstColumn(column); }
