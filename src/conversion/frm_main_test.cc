#include "conversion/frm_main.h"

#include <gtest/gtest.h>

#include "conversion/messages.h"
#include "fake_platform.h"

namespace brellam {
namespace {

using Files = std::map<std::string, std::string>;

constexpr const char* kSkin = "Header.htm\r\nh\r\nNewRes.htm\r\nn\r\nRes.htm\r\nr\r\n";
constexpr const char* kFolder = "C:\\Tools\\Host\\skin\\Blue\\";

std::string Prompt(std::string_view first, std::string_view rest = {}) {
  std::string prompt(first);
  if (!rest.empty()) prompt.append("\n").append(rest);
  return prompt;
}

class ConvertSkinTest : public testing::Test {
 protected:
  ConvertSkinTest() {
    platform.host_path = "C:\\Tools\\Host\\host.exe";
    platform.folders = {"C:\\", "C:\\Tools\\", "C:\\Tools\\Host\\", "D:\\", "D:\\dl\\"};
    platform.files = {{"D:\\dl\\Blue.txt", kSkin}};
    platform.argument_text = "D:\\dl\\Blue.txt";
  }

  // Runs once and checks that exactly one message was shown.
  std::string Run(int expected_status) {
    EXPECT_EQ(frmMain(platform).ConvertSkin(), expected_status);
    EXPECT_EQ(platform.shown.size(), 1u);
    return platform.shown.empty() ? std::string() : platform.shown.back().prompt;
  }

  Files SkinFiles(const std::string& folder = kFolder) const {
    Files found;
    for (const auto& [path, bytes] : platform.files) {
      if (path.starts_with(folder)) found[path.substr(folder.size())] = bytes;
    }
    return found;
  }

  FakePlatform platform;
};

TEST_F(ConvertSkinTest, WritesThePagesAndTheSettingsFile) {
  EXPECT_EQ(Run(0), kDone);
  EXPECT_TRUE(platform.shown[0].success);
  EXPECT_EQ(platform.created_folders,
            (std::vector<std::string>{"C:\\Tools\\Host\\skin\\", kFolder}));
  EXPECT_EQ(SkinFiles(), (Files{{"Header.htm", "h\r\n"},
                                {"NewRes.htm", "n\r\n"},
                                {"Res.htm", "r\r\n\r\n"},
                                {"setting.skn",
                                 "#Title=Blue\r\n#Creator=????\r\n#Date=2004/03/05\r\n"
                                 "#Comment=?????????????????????\r\n#NameTagDelete=0\r\n"
                                 "#MessageTabDelete=0\r\n"}}));
}

// The same skin in each Unicode encoding: names right after a character of
// several bytes count, and pages are written in the code page.
TEST_F(ConvertSkinTest, UnicodeSkinTextsBecomeCodePagePages) {
  const std::u16string skin =
      u"top\r\nソHeader.htm\r\nあ😀NewRes.htm\r\n表NewRes.htm\r\nn\rx\r\nソRes.htm\r\nr〜";
  const auto utf16 = [&](bool big_endian) {
    std::string bytes;
    for (const char16_t unit : u"\uFEFF" + skin) {
      const char high = static_cast<char>(unit >> 8);
      const char low = static_cast<char>(unit & 0xFF);
      bytes += big_endian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
  };
  const std::string utf8 =
      "top\r\nソHeader.htm\r\nあ😀NewRes.htm\r\n表NewRes.htm\r\nn\rx\r\nソRes.htm\r\nr〜";
  for (const std::string& text : {utf8, "\xEF\xBB\xBF" + utf8, utf16(false), utf16(true)}) {
    SCOPED_TRACE(testing::PrintToString(text.substr(0, 4)));
    platform.files["D:\\dl\\Blue.txt"] = text;
    platform.shown.clear();
    EXPECT_EQ(Run(0), kDone);
    const Files files = SkinFiles();
    EXPECT_EQ(files.at("Header.htm"), "\x82\xA0&#128512;New.htm\r\n");
    EXPECT_EQ(files.at("NewRes.htm"), "n\rx\r\n");
    EXPECT_EQ(files.at("Res.htm"), "r\x81\x60\r\n");
  }
}

TEST_F(ConvertSkinTest, WhereTheSkinFolderGoes) {
  struct Case {
    const char* argument;
    const char* host;
    const char* folder;
  };
  const Case cases[] = {
      {"\"D:\\My Skins\\Blue.txt\"", "C:\\Tools\\Host\\host.exe", kFolder},
      {"D:\\dl\\Blue.old.txt", "C:\\Tools\\Host\\", "C:\\Tools\\Host\\skin\\Blue.old\\"},
      {"D:\\dl\\Blue", "C:\\Tools\\Host\\host.exe", kFolder},
      {"D:/dl/Blue.txt", "C:/Tools/Host/host.exe", kFolder},
      {"D:\\dl\\Blue.txt", "\\\\srv\\share\\Host\\host.exe", "\\\\srv\\share\\Host\\skin\\Blue\\"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.argument);
    platform.argument_text = c.argument;
    platform.host_path = c.host;
    platform.folders.insert("\\\\srv\\share\\Host\\");
    platform.files = {{"D:\\dl\\Blue.txt", kSkin},
                      {"D:\\My Skins\\Blue.txt", kSkin},
                      {"D:\\dl\\Blue.old.txt", kSkin},
                      {"D:\\dl\\Blue", kSkin}};
    platform.shown.clear();
    EXPECT_EQ(Run(0), kDone);
    EXPECT_EQ(SkinFiles(c.folder).size(), 4u);
  }
}

TEST_F(ConvertSkinTest, EndsEarlyWithoutTouchingAnything) {
  struct Case {
    const char* argument;
    const char* host;
    std::string prompt;
  };
  const Case cases[] = {
      {"", "C:\\Tools\\Host\\host.exe", Prompt(kNothingDropped)},
      {"\"\"", "C:\\Tools\\Host\\host.exe", Prompt(kNothingDropped)},
      {"D:\\dl\\Blue.txt", "", Prompt(kNoHost)},
      {"D:\\dl\\.txt", "C:\\Tools\\Host\\host.exe", Prompt(kUnusableName, ".txt")},
      {"D:\\dl\\...txt", "C:\\Tools\\Host\\host.exe", Prompt(kUnusableName, "...txt")},
      {"D:\\dl\\CON.txt", "C:\\Tools\\Host\\host.exe", Prompt(kUnusableName, "CON.txt")},
      {"D:\\nowhere\\", "C:\\Tools\\Host\\host.exe", Prompt(kUnusableName, "")},
      {"D:\\dl\\", "C:\\Tools\\Host\\host.exe", Prompt(kNotSkinFolder, "D:\\dl\\")},
      {"D:\\dl\\Blue.txt D:\\dl\\Red.txt", "", Prompt(kNoHost)},
      // Skins where the host never looks, or a host folder made up anew.
      {"D:\\dl\\Blue.txt", "host.exe",
       Prompt(kNoHost, "host.exe\n" + std::string(kHostNotAbsolute))},
      {"D:\\dl\\Blue.txt", "C:host.exe",
       Prompt(kNoHost, "C:host.exe\n" + std::string(kHostNotAbsolute))},
      {"D:\\dl\\Blue.txt", "C:\\Gone\\host.exe",
       Prompt(kNoHost, "C:\\Gone\\host.exe\n" + std::string(kHostFolderMissing))},
      {"D:\\dl\\Blue.txt", "D:\\dl\\Blue.txt\\host.exe",
       Prompt(kNoHost, "D:\\dl\\Blue.txt\\host.exe\n" + std::string(kHostFolderMissing))},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.argument);
    platform.argument_text = c.argument;
    platform.host_path = c.host;
    platform.shown.clear();
    EXPECT_EQ(Run(1), c.prompt);
    EXPECT_TRUE(platform.created_folders.empty());
    EXPECT_EQ(platform.files.size(), 1u);
  }
}

TEST_F(ConvertSkinTest, UnreadableSettingsStoreMeansNoHost) {
  platform.settings_store_fails = true;
  EXPECT_EQ(Run(1), Prompt(kNoHost, "settings store unreadable"));
  EXPECT_TRUE(platform.created_folders.empty());
}

TEST_F(ConvertSkinTest, UnreadableSkinTextLeavesOnlyTheFolder) {
  struct Case {
    const char* argument;
    const char* folder;
    std::string prompt = Prompt(kBadSkinText);
  };
  const Case cases[] = {
      {"D:\\dl\\Missing.txt", "C:\\Tools\\Host\\skin\\Missing\\"},
      {"D:\\dl\\Empty.txt", "C:\\Tools\\Host\\skin\\Empty\\"},
      {"D:\\dl\\Mark.txt", "C:\\Tools\\Host\\skin\\Mark\\"},
      {"D:\\dl\\Broken.txt", "C:\\Tools\\Host\\skin\\Broken\\",
       Prompt(kBadSkinText, "UTF-16 の対になっていないサロゲート（先頭から 3 バイト目）")},
  };
  platform.files["D:\\dl\\Empty.txt"] = "";
  platform.files["D:\\dl\\Mark.txt"] = "\xEF\xBB\xBF";
  platform.files["D:\\dl\\Broken.txt"] = std::string("\xFF\xFE\x00\xDC", 4);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.argument);
    platform.argument_text = c.argument;
    platform.shown.clear();
    EXPECT_EQ(Run(1), c.prompt);
    EXPECT_EQ(platform.created_folders.back(), c.folder);
    EXPECT_TRUE(SkinFiles(c.folder).empty());
  }
}

TEST_F(ConvertSkinTest, SeveralItemsEachGetTheirFolderAndTheirLinesInOneMessage) {
  platform.files["D:\\dl\\Red Sky.txt"] = kSkin;
  platform.argument_text =
      "\"D:\\dl\\Blue.txt\" D:\\dl\\Missing.txt D:\\dl\\ \"D:\\dl\\Red Sky.txt\"";
  EXPECT_EQ(Run(1), "Blue.txt\n" + Prompt(kDone) + "\n\nMissing.txt\n" + Prompt(kBadSkinText) +
                        "\n\ndl\n" + Prompt(kNotSkinFolder, "D:\\dl\\") + "\n\nRed Sky.txt\n" +
                        Prompt(kDone));
  EXPECT_EQ(platform.created_folders,
            (std::vector<std::string>{"C:\\Tools\\Host\\skin\\", kFolder,
                                      "C:\\Tools\\Host\\skin\\Missing\\",
                                      "C:\\Tools\\Host\\skin\\Red Sky\\"}));
  const Files red = SkinFiles("C:\\Tools\\Host\\skin\\Red Sky\\");
  EXPECT_EQ(red.size(), 4u);
  EXPECT_TRUE(red.at("setting.skn").starts_with("#Title=Red Sky\r\n"));

  platform.argument_text = "D:\\dl\\Blue.txt \"D:\\dl\\Red Sky.txt\"";
  platform.shown.clear();
  EXPECT_EQ(Run(0), "Blue.txt\n" + Prompt(kDone) + "\n\nRed Sky.txt\n" + Prompt(kDone));

  // Without the host, folders are still packed.
  platform.host_path.clear();
  platform.argument_text = "D:\\dl\\Blue.txt C:\\Tools\\Host\\skin\\Blue";
  platform.shown.clear();
  EXPECT_EQ(Run(1), "Blue.txt\n" + Prompt(kNoHost) + "\n\nBlue\n" +
                        Prompt(kDone, "C:\\Tools\\Host\\skin\\Blue.txt"));
}

TEST_F(ConvertSkinTest, ConvertingAgainReplacesOnlyTheFourFiles) {
  platform.folders.insert({"C:\\Tools\\Host\\skin\\", kFolder});
  platform.files[std::string(kFolder) + "Res.htm"] = "old";
  platform.files[std::string(kFolder) + "mine.css"] = "user's";
  EXPECT_EQ(Run(0), kDone);
  EXPECT_EQ(SkinFiles().at("Res.htm"), "r\r\n\r\n");
  EXPECT_EQ(SkinFiles().at("mine.css"), "user's");
  EXPECT_TRUE(platform.created_folders.empty());
}

TEST_F(ConvertSkinTest, FilesThatCannotBeWrittenAreListedAndTheRestWritten) {
  platform.folders.insert({"C:\\Tools\\Host\\skin\\", kFolder});
  platform.files[std::string(kFolder) + "Res.htm"] = "protected";
  platform.read_only = {std::string(kFolder) + "Res.htm"};
  platform.unwritable = {std::string(kFolder) + "setting.skn.brellam-0000000000000007.tmp"};
  EXPECT_EQ(Run(1),
            Prompt(kUnwritten, std::string(kFolder) + "Res.htm\n" + kFolder + "setting.skn"));
  const Files files = SkinFiles();
  EXPECT_EQ(files.at("Res.htm"), "protected");
  EXPECT_EQ(files.at("Header.htm"), "h\r\n");
  EXPECT_EQ(files.at("NewRes.htm"), "n\r\n");
  EXPECT_EQ(files.count("setting.skn"), 0u);
  EXPECT_EQ(files.size(), 3u);
}

TEST_F(ConvertSkinTest, FailuresTheRunDoesNotExpectEndWithAMessage) {
  platform.refused_folders = {{"C:\\Tools\\Host\\skin\\", "Access is denied."}};
  EXPECT_EQ(Run(1), Prompt(kNoFolder, "C:\\Tools\\Host\\skin\\\nAccess is denied."));

  platform.refused_folders.clear();
  platform.out_of_memory_on_read = true;
  platform.shown.clear();
  EXPECT_EQ(Run(1), Prompt(kUnexpected, "std::bad_alloc"));
  EXPECT_TRUE(SkinFiles().empty());
}

}  // namespace
}  // namespace brellam
