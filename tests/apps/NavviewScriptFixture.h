#pragma once
// navview's session on one unit of its built-in plant, with the script that drives it:
// what the script tests share.
#include <gtest/gtest.h>

#include <string>

#include "apps/navview/NavviewScript.h"
#include "apps/navview/NavviewSession.h"

struct NavviewScriptFixture : ::testing::Test {
  NavviewSession session{320, 200};
  NavviewScript script{session};
  void SetUp() override { session.LoadBuiltin(1); }
  /// One line of script; failed says whether it was refused.
  std::string run(const std::string& line, bool& failed) {
    bool quit = false;
    failed = false;
    return script.Execute(line, quit, failed);
  }
};
