#include "platform/desktop_dialog.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "test_support.h"

namespace brellam {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

TEST(DesktopDialogTest, OnlyWithoutATerminalInAGraphicalSession) {
  EXPECT_TRUE(WantsDialog(false, ":0", nullptr));
  EXPECT_TRUE(WantsDialog(false, nullptr, "wayland-0"));
  EXPECT_TRUE(WantsDialog(false, "", "wayland-0"));
  EXPECT_FALSE(WantsDialog(true, ":0", "wayland-0"));
  EXPECT_FALSE(WantsDialog(false, "", ""));
  EXPECT_FALSE(WantsDialog(false, nullptr, nullptr));
}

// Markup in a name must show as the name: kdialog and notify-send get it
// escaped (kdialog as rich text, where lines need tags); zenity's command
// is the program tests' business.
TEST(DesktopDialogTest, CommandsShowTheMessageAsText) {
  const std::string prompt = "a&b<i>'\"$(x)\n-c";
  struct Case {
    const char* program;
    bool success;
    Strings command;
  };
  const std::vector<Case> cases = {
      {"kdialog",
       true,
       {"kdialog", "--title", "brellam", "--msgbox", "<qt>a&amp;b&lt;i&gt;'\"$(x)<br>-c</qt>"}},
      {"kdialog",
       false,
       {"kdialog", "--title", "brellam", "--error", "<qt>a&amp;b&lt;i&gt;'\"$(x)<br>-c</qt>"}},
      {"notify-send",
       true,
       {"notify-send", "--wait", "--app-name", "brellam", "--urgency", "normal", "--icon",
        "dialog-information", "--", "brellam", "a&amp;b&lt;i&gt;'\"$(x)\n-c"}},
      {"notify-send",
       false,
       {"notify-send", "--wait", "--app-name", "brellam", "--urgency", "critical", "--icon",
        "dialog-error", "--", "brellam", "a&amp;b&lt;i&gt;'\"$(x)\n-c"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DialogCommand(c.program, {prompt, c.success}), c.command);
  }
  // Linux takes an argument of 128 KiB at most: lines past those that fit
  // are left out.
  std::string lines;
  for (int i = 0; i < 100000; ++i) lines += "&\n";
  const std::string body = DialogCommand("kdialog", {lines, false}).back();
  EXPECT_LT(body.size(), std::size_t{128} << 10);
  EXPECT_TRUE(body.ends_with("&amp;<br>…</qt>")) << body.substr(body.size() - 20);
}

// A program that cannot be started is passed over for the next; the run
// waits for the one that starts, whatever it answers.
TEST(DesktopDialogTest, FirstProgramThatStartsAndItIsWaitedFor) {
  const TemporaryFolder temporary{"dialog"};
  const fs::path& bin = temporary.path();
  const fs::path record = bin / "record";
  Spit(bin / "zenity", "not a program");
  fs::permissions(bin / "zenity", fs::perms::owner_all);
  Spit(bin / "notify-send",
       "#!/bin/sh\n/bin/sleep 0.3\necho \"$1\" > '" + record.string() + "'\nexit 3\n");
  fs::permissions(bin / "notify-send", fs::perms::owner_all);
  const char* old_path = std::getenv("PATH");
  const std::optional<std::string> saved = old_path ? std::optional(old_path) : std::nullopt;

  ::setenv("PATH", bin.c_str(), 1);
  EXPECT_TRUE(ShowDialog({"x", true}));
  EXPECT_EQ(Slurp(record), "--wait\n");
  fs::remove(bin / "notify-send");
  EXPECT_FALSE(ShowDialog({"x", true}));
  saved ? ::setenv("PATH", saved->c_str(), 1) : ::unsetenv("PATH");
}

}  // namespace
}  // namespace brellam
