#include "dialogs/NavMultiListTxt.h"

#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "dialogs/NavMessagePanel.h"
#include "host/dialog/KIVDlgMultiList.h"
#include "host/dialog/KIVDlgNotify.h"

NavMultiListTxt* NavMultiListTxt::_myAdress = nullptr;
const char* NavMultiListTxt::PanelTag = "ExportToFileTxt";
const char* NavMultiListTxt::PanelTitle = "Export to File";

namespace {
bool AsciiSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The text without blanks at either end. Plain ASCII ends are trimmed in place; any other
// byte at an end takes KIVUnicodeString::Strip, which knows the Unicode spaces.
void AppendStripped(std::string& out, const KIVUnicodeString& text) {
  const std::string& bytes = text.GetUtf8();
  std::size_t begin = 0, end = bytes.size();
  while (begin < end && AsciiSpace(bytes[begin])) ++begin;
  while (end > begin && AsciiSpace(bytes[end - 1])) --end;
  if (begin < end && (static_cast<unsigned char>(bytes[begin]) >= 0x80 ||
                      static_cast<unsigned char>(bytes[end - 1]) >= 0x80)) {
    KIVUnicodeString copy = text;
    out += copy.Strip().GetUtf8();
    return;
  }
  out.append(bytes, begin, end - begin);
}

int LengthInChar(const KIVUnicodeString& text) {
  for (unsigned char c : text.GetUtf8())
    if (c >= 0x80) return text.GetLengthInChar();
  return text.GetLengthInByte();
}

void AppendRightAligned(std::string& out, const KIVUnicodeString& text, int width) {
  const int length = LengthInChar(text);
  if (length < width) out.append(width - length, ' ');
  out += text.GetUtf8();
}
}  // namespace

NavMultiListTxt* NavMultiListTxt::CreateMultiTxt(KIVCommand* father, KIVDlgMultiList* list, KIVDialog* parent) {
  if (!list) return nullptr;
  if (_myAdress) {
    NavMultiListTxt* previous = _myAdress;
    _myAdress = nullptr;
    previous->SetVisibility(VisibilityHidden);
    previous->RequestDelayedDestruction();
  }
  _myAdress = new NavMultiListTxt(father, list, parent ? parent : list);
  return _myAdress;
}

NavMultiListTxt::NavMultiListTxt(KIVCommand* father, KIVDlgMultiList* list, KIVDialog* parent)
    : KIVDlgFile(parent, PanelTag, 0),
      mList(list),
      mListLife(list->GetLifeToken()),
      mRelay(std::make_unique<KIVCommand>(father, "NavMultiListTxtRelay")) {
  SetTitle(KIVUnicodeString(PanelTitle));
  SetFilter(KIVUnicodeString("*.txt"));
  SetFather(mRelay.get());
  mRelay->AddAnalyseNotificationCB(
      this, nullptr, nullptr, [this](KIVCommand* s, KIVNotification* n, void* d) { ActionCB(s, n, d); }, nullptr);
}

NavMultiListTxt::~NavMultiListTxt() {
  Retire();
  if (_myAdress == this) _myAdress = nullptr;
  SetFather(nullptr);
}

KIVDlgMultiList* NavMultiListTxt::GetList() const { return mListLife.expired() ? nullptr : mList; }

void NavMultiListTxt::ShowFileDlg() { SetVisibility(VisibilityShown); }

void NavMultiListTxt::SetFormat(int n, const int* columns, const int* widths) {
  mColumns.clear();
  mWidths.clear();
  if (n <= 0 || !columns || !widths) return;
  mColumns.assign(columns, columns + n);
  mWidths.assign(widths, widths + n);
}

int NavMultiListTxt::GenerateTxt(const KIVUnicodeString& path) {
  KIVDlgMultiList* list = GetList();
  if (!list || path.IsEmpty()) return -1;
  std::vector<int> columns = mColumns, widths = mWidths;
  if (columns.empty()) {
    for (int c = 0; c < list->GetColumnCount(); ++c) {
      columns.push_back(c);
      widths.push_back(list->GetColumnTextWidth(c));
    }
  }
  const std::string target = path.GetUtf8();
  std::string temporary = target + ".XXXXXX";
  const int fd = mkstemp(temporary.data());
  if (fd < 0) return -1;
  const mode_t mask = umask(0);  // the file gets the permissions a plain creation would give
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  FILE* file = fdopen(fd, "w");
  if (!file) {
    close(fd);
    std::remove(temporary.c_str());
    return -1;
  }
  bool ok = true;
  std::string buffer;  // written a megabyte at a time
  const int n = static_cast<int>(columns.size());
  std::vector<const std::vector<KIVUnicodeString>*> cells(n);
  for (int k = 0; k < n; ++k) cells[k] = &list->GetColumnItems(columns[k]);  // empty when out of range
  static const KIVUnicodeString empty;
  for (int l = 0; l < list->GetLineCount() && ok; ++l) {
    for (int k = 0; k < n; ++k) {
      const KIVUnicodeString& text = l < static_cast<int>(cells[k]->size()) ? (*cells[k])[l] : empty;
      buffer += ' ';
      if (k == n - 1) {
        AppendStripped(buffer, text);
        buffer += '\n';
      } else if (widths[k] > 0) {
        AppendRightAligned(buffer, text, widths[k]);
      } else {
        AppendStripped(buffer, text);
      }
    }
    if (buffer.size() >= (1u << 20) || l == list->GetLineCount() - 1) {
      ok = std::fwrite(buffer.data(), 1, buffer.size(), file) == buffer.size();
      buffer.clear();
    }
  }
  ok = std::fflush(file) == 0 && ok;
  ok = fsync(fileno(file)) == 0 && ok;
  ok = std::fclose(file) == 0 && ok;
  if (ok) ok = std::rename(temporary.c_str(), target.c_str()) == 0;
  if (!ok) {
    std::remove(temporary.c_str());
    return -1;
  }
  return 0;
}

void NavMultiListTxt::ActionCB(KIVCommand* sender, KIVNotification* notification, void*) {
  if (sender != this) return;
  if (notification == GetDiaOKNotification()) {
    const KIVUnicodeString path = GetSelection();
    if (GenerateTxt(path) != 0) {
      // The notice outlives this dialog: it belongs to the list's window.
      KIVDialog* owner = GetList() ? static_cast<KIVDialog*>(GetList()) : GetDialogParent();
      auto* notice = new NavMessagePanel(nullptr, owner, "ExportToFileTxtError",
                                         NavMessagePanel::kInformation | NavMessagePanel::kDestroyWhenHidden, 0, 0);
      notice->SetTitle(KIVUnicodeString(PanelTitle));
      notice->SetNotifyType(KIVDlgNotify::NotifyError);
      notice->SetText(KIVUnicodeString("Unable to write the file ") + path, 0);
      notice->AffichePanel(1, 1);
      mNotice = notice;
    }
  } else if (notification != GetDiaCANCELNotification() && notification != GetWindCloseNotification()) {
    return;
  }
  SetVisibility(VisibilityHidden);
  if (_myAdress == this) _myAdress = nullptr;
  RequestDelayedDestruction();
}
