#include "host/dialog/KIVDlgFile.h"

KIV_IMPLEMENT_METAOBJECT(KIVDlgFile, KIVDlgWindow)

KIVDlgFile::KIVDlgFile(KIVDialog* parent, const char* tag, int style) : KIVDlgWindow(parent, tag, style) {}

KIVDlgFile::~KIVDlgFile() { Retire(); }

void KIVDlgFile::SetDirectory(const KIVUnicodeString& directory) {
  if (directory == mDirectory) return;
  mDirectory = directory;
  Changed(KIVDlgProperty::Text);
}

void KIVDlgFile::SetFilter(const KIVUnicodeString& pattern) {
  if (pattern == mFilter) return;
  mFilter = pattern;
  Changed(KIVDlgProperty::Text);
}

void KIVDlgFile::SetSelection(const KIVUnicodeString& path) {
  if (path == mSelection) return;
  mSelection = path;
  Changed(KIVDlgProperty::Text);
}

int KIVDlgFile::UserSelectFile(const KIVUnicodeString& path) {
  if (!IsUsable() || path.IsEmpty()) return 0;
  SetSelection(path);
  const std::string& bytes = path.GetUtf8();
  const std::string::size_type slash = bytes.rfind('/');
  if (slash != std::string::npos) SetDirectory(KIVUnicodeString(bytes.substr(0, slash == 0 ? 1 : slash)));
  return UserOK();
}
