#pragma once
// Exports a multi-column list to a text file through a file dialog. One instance exists
// at a time. Each line: every column but the last as one blank and the text right-aligned
// in its width (or, for a width of 0, stripped), the last as one blank, its stripped text
// and a newline. The file is written beside its target and renamed over it, so a failed
// export leaves any previous file as it was.

#include <memory>
#include <vector>

#include "host/dialog/KIVDlgFile.h"

class KIVDlgMultiList;
class KIVDlgNotify;

class NavMultiListTxt : public KIVDlgFile {
 public:
  static const char* PanelTag;
  static const char* PanelTitle;

  /// Destroys the previous instance (delayed) and makes a new one under `parent`, or under
  /// the list when parent is null. Null without a list.
  static NavMultiListTxt* CreateMultiTxt(KIVCommand* father, KIVDlgMultiList* list, KIVDialog* parent);
  static NavMultiListTxt* GetMyAdress() { return _myAdress; }
  ~NavMultiListTxt() override;

  void ShowFileDlg();
  /// Columns to write and their widths (n > 0 and both arrays); otherwise every column with
  /// the list's widths.
  void SetFormat(int n, const int* columns, const int* widths);
  /// 0, or -1 when the file cannot be written (nothing is changed then).
  int GenerateTxt(const KIVUnicodeString& path);
  /// The notice shown when the export failed; null before.
  KIVDlgNotify* GetErrorNotice() const { return mNotice; }
  KIVDlgMultiList* GetList() const;

  static NavMultiListTxt* _myAdress;

 private:
  NavMultiListTxt(KIVCommand* father, KIVDlgMultiList* list, KIVDialog* parent);
  void ActionCB(KIVCommand* sender, KIVNotification* notification, void* data);

  KIVDlgMultiList* mList;
  std::weak_ptr<int> mListLife;
  std::unique_ptr<KIVCommand> mRelay;  // under the father: what the panel reports reaches it
  std::vector<int> mColumns;
  std::vector<int> mWidths;
  KIVDlgNotify* mNotice = nullptr;
};
