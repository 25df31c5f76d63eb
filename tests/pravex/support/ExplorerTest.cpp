#include "pravex/support/ShellOperations.h"

#include "tests/common/TestEnvironment.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;

namespace {

// Registers a fake default application that writes the target it is started
// with into `marker`: for the scheme "olvanetest" and for web pages.
void RegisterFakeHandler(const std::string& marker) {
  const std::string data = std::getenv("XDG_DATA_HOME");
  const std::string config = std::getenv("XDG_CONFIG_HOME");
  const std::string script = testenv::MakeTempDir("handler") + "/handler.sh";
  ASSERT_TRUE(testenv::WriteFile(
      script, "#!/bin/sh\nprintf '%s' \"$1\" > '" + marker + ".tmp'\nmv '" + marker + ".tmp' '" + marker + "'\n"));
  fs::permissions(script, fs::perms::owner_all);
  fs::create_directories(data + "/applications");
  ASSERT_TRUE(testenv::WriteFile(data + "/applications/olvane-fake.desktop",
                                 "[Desktop Entry]\nType=Application\nName=Fake\nExec=" + script +
                                     " %u\nMimeType=x-scheme-handler/olvanetest;text/html;\n"));
  ASSERT_TRUE(testenv::WriteFile(config + "/mimeapps.list",
                                 "[Default Applications]\nx-scheme-handler/olvanetest=olvane-fake.desktop\n"
                                 "text/html=olvane-fake.desktop\n"));
}

// The started handler runs on its own; wait (bounded) for what it writes.
std::string WaitForMarker(const std::string& marker) {
  for (int i = 0; i < 500 && !fs::exists(marker); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return testenv::ReadFile(marker);
}

}  // namespace

TEST(Explorer, OpensWithTheDefaultApplicationOrTheBrowser) {
  const std::string marker = testenv::MakeTempDir("explorer") + "/opened";
  RegisterFakeHandler(marker);
  ASSERT_TRUE(Explorer("olvanetest:lesson-1"));
  EXPECT_EQ(WaitForMarker(marker), "olvanetest:lesson-1");
  fs::remove(marker);
  // Nothing handles this scheme: the web browser is given the target.
  ASSERT_TRUE(Explorer("olvanenone:lesson-2"));
  EXPECT_EQ(WaitForMarker(marker), "olvanenone:lesson-2");
  fs::remove(marker);
  // A file goes to the application for its type (as a local path).
  const std::string page = testenv::MakeTempDir("page") + "/help.html";
  ASSERT_TRUE(testenv::WriteFile(page, "<html><body>help</body></html>\n"));
  ASSERT_TRUE(Explorer(page));
  EXPECT_EQ(WaitForMarker(marker), page);
  EXPECT_FALSE(Explorer(""));
}
