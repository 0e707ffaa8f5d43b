#pragma once
// A file chooser window: a directory, a filter pattern and the chosen file. OK, Cancel and
// the close box reach the father like any window's.

#include "host/dialog/KIVDlgWindow.h"

class KIVDlgFile : public KIVDlgWindow {
  KIV_DECLARE_METAOBJECT(KIVDlgFile)
 public:
  KIVDlgFile(KIVDialog* parent, const char* tag, int style = 0);
  ~KIVDlgFile() override;

  void SetDirectory(const KIVUnicodeString& directory);
  const KIVUnicodeString& GetDirectory() const { return mDirectory; }
  /// Wildcard pattern of the files offered, for example "*.wrl".
  void SetFilter(const KIVUnicodeString& pattern);
  const KIVUnicodeString& GetFilter() const { return mFilter; }
  /// The chosen file's path; empty when none.
  void SetSelection(const KIVUnicodeString& path);
  const KIVUnicodeString& GetSelection() const { return mSelection; }

  /// A person chooses a file and presses OK: the selection becomes the path, the directory
  /// the part before its last '/', then the OK notification is sent. An empty path is
  /// refused. 1 when acted.
  int UserSelectFile(const KIVUnicodeString& path);

 private:
  KIVUnicodeString mDirectory;
  KIVUnicodeString mFilter = "*";
  KIVUnicodeString mSelection;
};
