#pragma once
// Locates a user guide: <directory>/<manual>/<manual>toc.doc, the directory taken from
// "HOME" first, then from "KIVFRAME". A variable that is not set is skipped.

class NavHelpCommand {
 public:
  explicit NavHelpCommand(const char* manual);
  ~NavHelpCommand();
  NavHelpCommand(const NavHelpCommand&) = delete;
  NavHelpCommand& operator=(const NavHelpCommand&) = delete;

  /// 1 when the guide exists under "HOME" or "KIVFRAME"; 0 (nothing changed) for a null manual.
  int SetManual(const char* manual);
  const char* GetManual() const { return mManual; }
  /// The position text is the caller's (not copied).
  void SetPosition(const char* position) { mPosition = position; }
  const char* GetPosition() const { return mPosition; }
  /// Frees *path, builds directory/manual/manual+suffix into it (new[]), and returns 1
  /// when a file exists there. 0 with a null argument.
  static int IsManualExist(const char* manual, const char* directory, char** path, const char* suffix);
  /// Prints "User Guide is not avialable" on the error stream when no path was built; 1.
  int DisplayDocumentation();
  const char* GetPath() const { return mPath; }

 private:
  char* mPath = nullptr;
  const char* mManual = nullptr;
  const char* mPosition = nullptr;
};
