#include "conversion/frm_main.h"

#include <gtest/gtest.h>

#include "conversion/messages.h"
#include "conversion/skin_file.h"
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
    platform.shown.clear();
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
  for (const std::string made : {"C:\\Tools\\Host\\skin", "C:\\Tools\\Host\\skin\\Blue"}) {
    EXPECT_EQ(std::ranges::count(platform.writes, "sync the folder of " + made), 1);
  }
  EXPECT_EQ(SkinFiles(), (Files{{"Header.htm", "h\r\n"},
                                {"NewRes.htm", "n\r\n"},
                                {"Res.htm", "r\r\n\r\n"},
                                {"setting.skn",
                                 "#Title=Blue\r\n#Creator=????\r\n#Date=2004/03/05\r\n"
                                 "#Comment=?????????????????????\r\n#NameTagDelete=0\r\n"
                                 "#MessageTabDelete=0\r\n"}}));

  // A text larger than the pieces it is read in, none of them larger.
  std::string text = "top\r\nRes.htm\r\n";
  for (int line = 0; line < 200; ++line) text += std::string(1000, 'r') + "\r\n";
  platform.files["D:\\dl\\Blue.txt"] = text;
  EXPECT_EQ(Run(0), kDone);
  EXPECT_EQ(SkinFiles().at("Res.htm").size(), 200 * 1002 + 2);
  EXPECT_LE(platform.largest_read, kReadPiece);
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
    EXPECT_EQ(Run(0), kDone);
    const Files files = SkinFiles();
    EXPECT_EQ(files.at("Header.htm"), "\x82\xA0&#128512;New.htm\r\n");
    EXPECT_EQ(files.at("NewRes.htm"), "n\rx\r\n");
    EXPECT_EQ(files.at("Res.htm"), "r\x81\x60\r\n");
  }
  // Res before NewRes, with a longer NewRes page than the marker line
  // between them, and a page that starts with more characters the code page
  // lacks than the lines before it leave room for.
  platform.files["D:\\dl\\Blue.txt"] =
      "Header.htm\r\n😀😀😀😀😀😀h\r\nRes.htm\r\n😀r\r\nNewRes.htm\r\nlonger than a marker line";
  EXPECT_EQ(Run(0), kDone);
  const Files files = SkinFiles();
  std::string smiles;
  for (int i = 0; i < 6; ++i) smiles += "&#128512;";
  EXPECT_EQ(files.at("Header.htm"), smiles + "h\r\n");
  EXPECT_EQ(files.at("Res.htm"), "&#128512;r\r\n");
  EXPECT_EQ(files.at("NewRes.htm"), "longer than a marker line\r\n");
}

TEST_F(ConvertSkinTest, WhereTheSkinFolderGoes) {
  struct Case {
    const char* argument;
    std::string host;
    std::string folder;
  };
  // "<host folder>\skin\Blue\setting.skn" takes 259 bytes in code page 932.
  const std::string longest = "C:\\" + std::string(232, 'a') + "表\\";
  const Case cases[] = {
      {"\"D:\\My Skins\\Blue.txt\"", "C:\\Tools\\Host\\host.exe", kFolder},
      // As Windows reads the path; a folder is the host's folder itself.
      {"D:\\dl\\Blue.txt", "C:\\Tools\\Host.\\x\\..\\host.exe", kFolder},
      {"D:\\dl\\Blue.txt", "\\\\.\\C:\\Tools\\Host\\host.exe", kFolder},
      {"D:\\dl\\Blue.txt", "C:\\Tools\\Host", kFolder},
      {"D:\\dl\\Blue.txt", longest + "host.exe", longest + "skin\\Blue\\"},
      {"D:\\dl\\Blue.old.txt", "C:\\Tools\\Host\\", "C:\\Tools\\Host\\skin\\Blue.old\\"},
      {"D:\\dl\\Blue", "C:\\Tools\\Host\\host.exe", kFolder},
      {"D:/dl/Blue.txt", "C:/Tools/Host/host.exe", kFolder},
      {"D:\\dl\\Blue.txt", "\\\\srv\\share\\Host\\host.exe", "\\\\srv\\share\\Host\\skin\\Blue\\"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.argument);
    platform.argument_text = c.argument;
    platform.host_path = c.host;
    platform.folders.insert({"\\\\srv\\share\\Host\\", longest});
    platform.files = {{"D:\\dl\\Blue.txt", kSkin},
                      {"D:\\My Skins\\Blue.txt", kSkin},
                      {"D:\\dl\\Blue.old.txt", kSkin},
                      {"D:\\dl\\Blue", kSkin}};
    EXPECT_EQ(Run(0), kDone);
    EXPECT_EQ(SkinFiles(c.folder).size(), 4u);
  }
}

TEST_F(ConvertSkinTest, EndsEarlyWithoutTouchingAnything) {
  const std::string too_long = "C:\\" + std::string(235, 'a') + "\\";
  struct Case {
    const char* argument;
    std::string host;
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
      {"D:\\dl\\", "C:\\Tools\\Host\\host.exe",
       Prompt(kNotSkinFolder, "D:\\dl\\Header.htm\nNo such file")},
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
      // The file system would stop at the NUL: another folder.
      {"D:\\dl\\Blue.txt", std::string("C:\\Tools\\Host\0\\host.exe", 23),
       Prompt(kNoHost, "C:\\Tools\\Host\\x00\\host.exe\n" + std::string(kHostHasNul))},
      // Paths the host could not open: names Windows takes literally, a
      // character its code page lacks, more than MAX_PATH bytes.
      {"D:\\dl\\Blue.txt", "\\\\?\\C:\\Tools\\Host\\..\\host.exe",
       Prompt(kNoHost, "\\\\?\\C:\\Tools\\Host\\..\\host.exe\n" + NameHostCannotOpen(".."))},
      {"D:\\dl\\Blue.txt", "C:\\Zoë\\host.exe",
       Prompt(kNoHost, "C:\\Zoë\\host.exe\nコードページ 932 にない文字 U+00EB「ë」")},
      {"D:\\dl\\Blue.txt", "C:\\\u00A0\\host.exe",  // a blank that would not show
       Prompt(kNoHost, "C:\\\u00A0\\host.exe\nコードページ 932 にない文字 U+00A0")},
      {"D:\\dl\\Blue.txt", too_long + "host.exe",
       Prompt(kNoFolder, too_long + "skin\\Blue\n" + PathTooLong(260, 259))},
  };
  platform.folders.insert({"C:\\Zoë\\", "C:\\\u00A0\\", too_long});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.argument);
    platform.argument_text = c.argument;
    platform.host_path = c.host;
    EXPECT_EQ(Run(1), c.prompt);
    EXPECT_TRUE(platform.created_folders.empty());
    EXPECT_EQ(platform.files.size(), 1u);
  }
}

TEST_F(ConvertSkinTest, UnreadableSettingsStoreMeansNoHost) {
  platform.settings_store_fails = true;
  EXPECT_EQ(Run(1), Prompt(kNoHost, "HKEY_CURRENT_USER\\Kyrlen\nsettings store unreadable"));
  EXPECT_TRUE(platform.created_folders.empty());
}

TEST_F(ConvertSkinTest, UnreadableSkinTextMakesNothingAndSaysWhy) {
  struct Case {
    const char* argument;
    const char* reason;
  };
  const Case cases[] = {
      {"D:\\dl\\Missing.txt", "No such file"},
      {"D:\\dl\\Empty.txt", "0 バイト"},
      {"D:\\dl\\Mark.txt", "中身が無い"},
      {"D:\\dl\\Broken.txt", "UTF-16 の対になっていないサロゲート（先頭から 3 バイト目）"},
      {"D:\\dl\\Pipe.txt", "ファイルでもフォルダでもない"},
  };
  platform.files["D:\\dl\\Empty.txt"] = "";
  platform.files["D:\\dl\\Mark.txt"] = "\xEF\xBB\xBF";
  platform.files["D:\\dl\\Broken.txt"] = std::string("\xFF\xFE\x00\xDC", 4);
  platform.others = {"D:\\dl\\Pipe.txt"};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.argument);
    platform.argument_text = c.argument;
    EXPECT_EQ(Run(1), Prompt(kBadSkinText, c.reason));
    EXPECT_TRUE(platform.created_folders.empty());
  }
}

// Edited between the two looks, its pages might be of neither version:
// nothing is swapped in, and what could not be removed after is named.
TEST_F(ConvertSkinTest, ATextChangedBetweenTheLooksIsRefused) {
  platform.before_operation = [this](std::size_t at) {
    if (at == 0) platform.files["D:\\dl\\Blue.txt"] += "more\r\n";
  };
  EXPECT_EQ(Run(1), Prompt(kBadSkinText, kChangedWhileRead));
  EXPECT_TRUE(SkinFiles().empty());
  const auto removal = std::ranges::find_if(platform.writes, [](auto& op) { return op[0] == 'r'; });
  ASSERT_NE(removal, platform.writes.end());
  const std::string leftover = removal->substr(7);  // "remove "
  platform.fail_at = static_cast<std::size_t>(removal - platform.writes.begin());
  platform.writes.clear();
  EXPECT_EQ(Run(1), Prompt(kBadSkinText,
                           std::string(kChangedWhileRead) + "\n" + leftover + "\ninjected fault"));
  platform.fail_at.reset();
  platform.seek_fails = true;  // unreadable on the second look
  EXPECT_EQ(Run(1), Prompt(kBadSkinText, "injected fault"));
}

TEST_F(ConvertSkinTest, SeveralItemsEachGetTheirFolderAndTheirLinesInOneMessage) {
  platform.files["D:\\dl\\Red Sky.txt"] = kSkin;
  platform.argument_text =
      "\"D:\\dl\\Blue.txt\" D:\\dl\\Miss\aing.txt D:\\dl\\ \"D:\\dl\\Red Sky.txt\"";
  EXPECT_EQ(Run(1), "Blue.txt\n" + Prompt(kDone) + "\n\nMiss\\x07ing.txt\n" +
                        Prompt(kUnusableName, "Miss\\x07ing.txt") + "\n\ndl\n" +
                        Prompt(kNotSkinFolder, "D:\\dl\\Header.htm\nNo such file") +
                        "\n\nRed Sky.txt\n" + Prompt(kDone));
  EXPECT_EQ(platform.created_folders,
            (std::vector<std::string>{"C:\\Tools\\Host\\skin\\", kFolder,
                                      "C:\\Tools\\Host\\skin\\Red Sky\\"}));
  const Files red = SkinFiles("C:\\Tools\\Host\\skin\\Red Sky\\");
  EXPECT_EQ(red.size(), 4u);
  EXPECT_TRUE(red.at("setting.skn").starts_with("#Title=Red Sky\r\n"));

  platform.argument_text = "D:\\dl\\Blue.txt \"D:\\dl\\Red Sky.txt\"";
  EXPECT_EQ(Run(0), "Blue.txt\n" + Prompt(kDone) + "\n\nRed Sky.txt\n" + Prompt(kDone));

  // Without the host, or with one refused (its folder there), folders are
  // still packed, and no text is converted.
  platform.argument_text = "D:\\dl\\Blue.txt C:\\Tools\\Host\\skin\\Blue";
  platform.folders.insert("C:\\Zoë\\");
  for (const auto& [stored, why] :
       {std::pair{"", ""},
        std::pair{"C:\\Zoë\\host.exe", "\nコードページ 932 にない文字 U+00EB「ë」"}}) {
    platform.host_path = stored;
    platform.files.erase("C:\\Tools\\Host\\skin\\Blue.txt");
    EXPECT_EQ(Run(1), "Blue.txt\n" + Prompt(kNoHost, stored + std::string(why)) + "\n\nBlue\n" +
                          Prompt(kDone, "C:\\Tools\\Host\\skin\\Blue.txt"));
  }
  EXPECT_FALSE(platform.folders.count("C:\\Zoë\\skin\\"));
}

// Windows would put both in one folder: the first that converts keeps it.
TEST_F(ConvertSkinTest, ItemsOfOneDropNamingOneSkin) {
  platform.files["D:\\b\\blue.TXT"] = "Header.htm\r\nsecond\r\n";
  platform.files["D:\\b\\BLUE"] = "Header.htm\r\nthird\r\n";
  platform.argument_text = "D:\\a\\Blue.txt D:\\dl\\Blue.txt D:\\b\\blue.TXT D:\\b\\BLUE";
  const std::string twice = Prompt(kSameSkinTwice, "D:\\dl\\Blue.txt");
  EXPECT_EQ(Run(1), "Blue.txt\n" + Prompt(kBadSkinText, "No such file") + "\n\nBlue.txt\n" +
                        Prompt(kDone) + "\n\nblue.TXT\n" + twice + "\n\nBLUE\n" + twice);
  EXPECT_EQ(SkinFiles().at("Header.htm"), "h\r\n");
}

// Forty items in one box would be taller than the screen.
TEST_F(ConvertSkinTest, LongSummariesShowTheFailuresThatFitAndCountTheRest) {
  std::string stem = "s";
  const auto items = [this, &stem](int missing, int converted) {
    platform.argument_text.clear();
    platform.files.clear();
    for (int i = 0; i < missing + converted; ++i) {
      const std::string name = "D:\\dl\\" + stem + std::to_string(i) + ".txt";
      if (i >= missing) platform.files[name] = kSkin;
      platform.argument_text += name + " ";
    }
    platform.shown.clear();
  };
  const auto failed = [&stem](int i) {
    return stem + std::to_string(i) + ".txt\n" + Prompt(kBadSkinText, "No such file");
  };
  items(40, 0);
  std::string listed = failed(0);
  for (int i = 1; i < 7; ++i) listed += "\n\n" + failed(i);
  EXPECT_EQ(Run(1), listed + "\n\n" + MoreFailures(33));
  items(7, 33);
  EXPECT_EQ(Run(1), listed + "\n\n" + OthersDone(33));
  items(8, 33);
  EXPECT_EQ(Run(1), listed + "\n\n" + MoreFailures(1) + "\n" + OthersDone(33));
  items(0, 11);
  EXPECT_EQ(Run(0), OthersDone(11));
  const auto each = [&stem, &failed] {
    std::string all = failed(0);
    for (int i = 1; i < 10; ++i)
      all += "\n\n" + stem + std::to_string(i) + ".txt\n" + Prompt(kDone);
    return all;
  };
  items(1, 9);  // ten: each shown, as always
  EXPECT_EQ(Run(1), each());
  items(10, 0);  // ten, but too tall
  EXPECT_EQ(Run(1), listed + "\n\n" + MoreFailures(3));
  stem = std::string(43, 's');  // names of 48 columns: one row each, thirty in all
  items(1, 9);
  EXPECT_EQ(Run(1), each());
  std::string wide;
  for (int i = 0; i < 22; ++i) wide += "表";
  for (const std::string& longer : {std::string(44, 's'), wide}) {  // each wraps onto a second row
    stem = longer;
    items(1, 9);
    EXPECT_EQ(Run(1), failed(0) + "\n\n" + OthersDone(9));
  }
  stem = std::string(1000, 's');  // its lines shown cut to 100 columns: each fits
  items(2, 0);
  EXPECT_TRUE(Run(1).starts_with(stem + "0.txt\n")) << platform.shown[0].prompt;
}

// "." or "..": the text is named after the folder, beside it.
TEST_F(ConvertSkinTest, PacksAFolderNamedByDots) {
  struct Case {
    const char* argument;
    const char* current;
    std::string prompt;
  };
  const Case cases[] = {
      {".", "D:\\skins\\Blue", Prompt(kDone, "D:\\skins\\Blue.txt")},
      {"Blue\\.", "D:\\skins", Prompt(kDone, "D:\\skins\\Blue.txt")},
      {"D:\\skins\\Blue\\x\\..\\\\.\\", "C:\\", Prompt(kDone, "D:\\skins\\Blue.txt")},
      {"..", "D:\\skins\\Blue\\CON", Prompt(kDone, "D:\\skins\\Blue.txt")},
      {".", "D:\\skins\\Blue\\CON", Prompt(kUnusableName, "D:\\skins\\Blue\\CON")},
      {"..", "D:\\", Prompt(kNotSkinFolder, "..")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.argument);
    // The fake reads no path: each dropped one is a folder as given.
    platform.folders = {"D:\\", "D:\\skins\\", ".\\", "..\\", "Blue\\.\\", c.argument};
    platform.files.clear();
    for (const char* page : {"Header.htm", "NewRes.htm", "Res.htm"}) {
      platform.files[std::string("D:\\skins\\Blue\\") + page] = "p\r\n";
    }
    platform.argument_text = c.argument;
    platform.current_folder = c.current;
    EXPECT_EQ(Run(c.prompt.starts_with(kDone) ? 0 : 1), c.prompt);
    EXPECT_EQ(platform.files.count("D:\\skins\\Blue.txt"), c.prompt.starts_with(kDone) ? 1u : 0u);
  }
}

TEST_F(ConvertSkinTest, ConvertingAgainReplacesOnlyTheFourFiles) {
  platform.folders.insert({"C:\\Tools\\Host\\skin\\", kFolder});
  platform.files[std::string(kFolder) + "Res.htm"] = "old";
  platform.files[std::string(kFolder) + "mine.css"] = "user's";
  platform.lock_gone = 1;  // removed by a run that held it: taken anew
  EXPECT_EQ(Run(0), kDone);
  EXPECT_EQ(SkinFiles().at("Res.htm"), "r\r\n\r\n");
  EXPECT_EQ(SkinFiles().at("mine.css"), "user's");
  EXPECT_TRUE(platform.created_folders.empty());
}

// On POSIX a page may be there in another letter case, which the host
// under Wine opens for it: that one is replaced, and packed, under its own
// name. Two that Windows counts as one are refused, named.
TEST_F(ConvertSkinTest, PagesInAnotherLetterCase) {
  platform.style = PathStyle::kPosix;
  platform.host_path = "/h/host.exe";
  platform.folders = {"/h/", "/h/skin/", "/h/skin/Blue/", "/dl/"};
  platform.files = {{"/dl/Blue.txt", kSkin}, {"/h/skin/Blue/HEADER.HTM", "old"}};
  platform.argument_text = "/dl/Blue.txt";
  EXPECT_EQ(Run(0), kDone);
  EXPECT_EQ(platform.files.at("/h/skin/Blue/HEADER.HTM"), "h\r\n");
  platform.argument_text = "/h/skin/Blue";
  EXPECT_EQ(Run(0), Prompt(kDone, "/h/skin/Blue.txt"));

  platform.files["/h/skin/Blue/header.htm"] = "twin";
  for (const auto& [item, prompt] :
       {std::pair{"/dl/Blue.txt", kUnwritten}, std::pair{"/h/skin/Blue", kNotSkinFolder}}) {
    platform.argument_text = item;
    EXPECT_EQ(Run(1), Prompt(prompt,
                             "/h/skin/Blue/Header.htm\n「HEADER.HTM」「header.htm」: "
                             "大文字小文字だけが違う名前（Windows では同じ名前）"));
  }
}

TEST_F(ConvertSkinTest, APageThatCannotBeReplacedKeepsTheWholeOldSkin) {
  platform.folders.insert({"C:\\Tools\\Host\\skin\\", kFolder});
  const Files old = {{"Header.htm", "old h"}, {"Res.htm", "protected"}};
  for (const auto& [name, bytes] : old) platform.files[kFolder + name] = bytes;
  platform.read_only = {std::string(kFolder) + "Res.htm"};
  EXPECT_EQ(Run(1), Prompt(kUnwritten, std::string(kFolder) + "Res.htm\nread-only"));
  EXPECT_EQ(SkinFiles(), old);
}

// As a database proves its writes: each operation of a conversion in turn
// fails (alone, or with all after it), or is where the system stops, on a
// drive with links and on one where old pages are copied. Each page is
// then old or new as a whole, with its permission bits and, when old, its
// date; the skin is new only when the run says so, old when it says that
// nothing changed, and what is left over is named. The next run first
// makes the set whole (old, unless every page had been swapped), and the
// one after that leaves nothing of any run behind.
TEST_F(ConvertSkinTest, ReplacesTheSkinAsASetWhateverFailsOrStops) {
  const std::string first_temporary =
      kFolder + std::string("Header.htm.brellam-0000000000000007.tmp");
  for (const bool links : {true, false}) {
    for (const bool again : {true, false}) {
      SCOPED_TRACE(testing::Message() << (again ? "again" : "first") << (links ? "" : ", copies"));
      const auto start = [&](const char* text = kSkin) {
        platform.folders = {"C:\\", "C:\\Tools\\", "C:\\Tools\\Host\\", "D:\\", "D:\\dl\\"};
        platform.files = {{"D:\\dl\\Blue.txt", text}};
        platform.stamps.clear();
        platform.lock_files.clear();
        platform.no_links = !links;
        platform.read_piece = links ? 1 << 20 : 3;  // copied in pieces
        if (again) {
          platform.folders.insert({"C:\\Tools\\Host\\skin\\", kFolder});
          int stamp = 0;
          for (const char* name : {"Header.htm", "NewRes.htm", "Res.htm", "setting.skn", "a.css"}) {
            platform.files[kFolder + std::string(name)] = std::string("old ") + name;
            ++stamp;
            platform.stamps[kFolder + std::string(name)] = {0600 + stamp, 1000 + stamp};
          }
        }
        platform.writes.clear();
        platform.shown.clear();
      };
      // The pages' permission bits and dates.
      const auto stamps = [&] {
        auto pages = platform.stamps;
        std::erase_if(pages,
                      [](const auto& s) { return s.first.find(".brellam") != s.first.npos; });
        return pages;
      };
      start("Header.htm\r\nanother skin\r\n");
      ASSERT_EQ(Run(0), kDone);
      const Files other = SkinFiles();
      start();
      const Files old = SkinFiles();
      const auto old_stamps = stamps();
      ASSERT_EQ(Run(0), kDone);
      const Files fresh = SkinFiles();
      const auto fresh_stamps = stamps();
      for (const auto& [path, stamp] : old_stamps) {
        EXPECT_EQ(fresh_stamps.count(path) ? fresh_stamps.at(path).first : 0, stamp.first) << path;
      }
      // Each run clears the log: the names are kept from the whole run.
      const std::vector<std::string> operations = platform.writes;
      EXPECT_EQ(operations.back(), "let go " + std::string(kFolder) + ".brellam.lock");
      for (std::size_t k = 0; k < operations.size(); ++k) {
        if (operations[k].starts_with("let go")) continue;  // nothing to fail
        for (const int mode : {0, 1, 2}) {                  // fails alone, fails on, stops
          SCOPED_TRACE(testing::Message()
                       << "at " << k << " mode " << mode << ": " << operations[k]);
          start();
          platform.fail_at = mode < 2 ? std::optional(k) : std::nullopt;
          platform.fail_after_too = mode == 1;
          platform.crash_at = mode == 2 ? std::optional(k) : std::nullopt;
          std::string prompt;
          bool success = false;
          if (mode == 2) {
            EXPECT_THROW(frmMain(platform).ConvertSkin(), FakePlatform::Crash);
          } else {
            const int status = frmMain(platform).ConvertSkin();
            ASSERT_EQ(platform.shown.size(), 1u);
            success = platform.shown[0].success;
            prompt = platform.shown[0].prompt;
            EXPECT_EQ(status, success ? 0 : 1);
            EXPECT_TRUE(prompt.starts_with(success ? kDone : kUnwritten) ||
                        (mode == 1 && prompt.starts_with(kNotRestored)))
                << prompt;
          }
          EXPECT_EQ(platform.renamed_with_signals_free, 0);
          EXPECT_EQ(platform.signals_held, 0);
          // The last page renamed, into place or back, has its name flushed.
          for (std::size_t i = platform.writes.size(); mode == 0 && i-- > 0;) {
            if (!platform.writes[i].starts_with("replace") || i == k) continue;
            EXPECT_NE(std::find(platform.writes.begin() + static_cast<std::ptrdiff_t>(i),
                                platform.writes.end(),
                                "sync the folder of " + std::string(kFolder) + ".brellam.lock"),
                      platform.writes.end());
            break;
          }
          Files pages = SkinFiles();
          for (const auto& [name, bytes] : Files(pages)) {
            if (name.find(".brellam") == std::string::npos) continue;
            // A run that ended named it, or left it for the next; a crash may leave any.
            if (mode < 2 && !prompt.starts_with(kNotRestored)) {
              EXPECT_NE(prompt.find(kFolder + name + "\ninjected fault"), prompt.npos) << name;
            }
            pages.erase(name);
          }
          if (prompt.starts_with(kUnwritten)) {
            EXPECT_EQ(pages, old);
            EXPECT_EQ(stamps(), old_stamps);
          }
          if (mode == 0) {
            EXPECT_EQ(pages, success ? fresh : old);
            // Once in place, a skin is never called unwritten: what failed
            // after is said below "done".
            EXPECT_TRUE(!success || prompt.ends_with("\ninjected fault")) << prompt;
            // A new skin folder that got nothing is gone again.
            if (!again && !success && !operations[k].starts_with("remove")) {
              EXPECT_FALSE(platform.folders.count(kFolder)) << prompt;
            }
          } else if (mode == 1 && success) {
            EXPECT_EQ(pages, fresh);
          }
          for (const auto& [name, bytes] : fresh) {
            const bool is_old = old.count(name) && pages.count(name) && pages[name] == old.at(name);
            const bool is_new = pages.count(name) && pages[name] == bytes;
            EXPECT_TRUE(is_old || is_new || (!old.count(name) && !pages.count(name))) << name;
          }

          // The next run makes the set whole before it writes anything;
          // its first write fails, so that the set stays as it made it.
          const auto swapped =
              std::count_if(operations.begin(), operations.begin() + static_cast<std::ptrdiff_t>(k),
                            [](const auto& op) { return op.starts_with("replace"); });
          const bool all_swapped = success || (mode == 2 && swapped == 4);
          platform.fail_at = platform.crash_at = std::nullopt;
          platform.crashed = false;
          platform.unwritable = {first_temporary};
          EXPECT_TRUE(Run(1).starts_with(Prompt(kUnwritten, kFolder + std::string("Header.htm"))));
          EXPECT_EQ(SkinFiles(), all_swapped ? fresh : old);
          EXPECT_EQ(stamps(), all_swapped ? fresh_stamps : old_stamps);
          // And the one after leaves the new set, the lock file, and nothing else.
          platform.unwritable.clear();
          const bool another = k % 2 == 1;
          platform.files["D:\\dl\\Blue.txt"] = another ? "Header.htm\r\nanother skin\r\n" : kSkin;
          EXPECT_EQ(Run(0), kDone);
          EXPECT_EQ(SkinFiles(), another ? other : fresh);
          EXPECT_EQ(platform.lock_files,
                    std::set<std::string>{kFolder + std::string(".brellam.lock")});
          EXPECT_TRUE(platform.locked.empty());
        }
      }
    }
  }
}

// A packed text's new name is flushed; when it cannot be, the text is there
// all the same, and the user hears why its name may not last.
TEST_F(ConvertSkinTest, APackedTextsNameIsMadeDurable) {
  platform.folders.insert("D:\\dl\\Blue\\");
  for (const char* page : {"Header.htm", "NewRes.htm", "Res.htm"}) {
    platform.files[std::string("D:\\dl\\Blue\\") + page] = "x\r\n";
  }
  platform.argument_text = "D:\\dl\\Blue\\";
  for (const bool fails : {false, true}) {
    platform.files.erase("D:\\dl\\Blue.txt");
    platform.writes.clear();
    platform.shown.clear();
    if (fails) platform.fail_at = 2;
    EXPECT_EQ(Run(0), Prompt(kDone, fails ? "D:\\dl\\Blue.txt\nD:\\dl\\\ninjected fault"
                                          : "D:\\dl\\Blue.txt"));
    EXPECT_EQ(platform.writes, (std::vector<std::string>{"lock D:\\dl\\Blue\\.brellam.lock",
                                                         "write and flush D:\\dl\\Blue.txt",
                                                         "sync the folder of D:\\dl\\Blue.txt"}));
  }
  // One set, old or new: not while a conversion holds the folder, nor what
  // a stopped one left; beside another pack, it reads.
  const std::string lock = "D:\\dl\\Blue\\.brellam.lock";
  platform.lock_files = {lock};
  platform.fail_at.reset();
  for (const auto& [held, prompt] :
       {std::pair{LockMode::kExclusive, Prompt(kNotSkinFolder, lock + "\n" + std::string(kInUse))},
        std::pair{LockMode::kShared, Prompt(kDone, "D:\\dl\\Blue.txt")}}) {
    platform.held_elsewhere = {{lock, held}};
    platform.lock_gone = 1;  // made while the pages were read
    platform.files.erase("D:\\dl\\Blue.txt");
    EXPECT_EQ(Run(held == LockMode::kShared ? 0 : 1), prompt);
  }
  platform.files["D:\\dl\\Blue\\.brellam.record"] = "";
  EXPECT_EQ(Run(1), Prompt(kNotSkinFolder, "D:\\dl\\Blue\\\n" + std::string(kInterrupted)));
}

TEST_F(ConvertSkinTest, FailuresTheRunDoesNotExpectEndWithAMessage) {
  platform.refused_folders = {{"C:\\Tools\\Host\\skin\\", "Access is denied."}};
  EXPECT_EQ(Run(1), Prompt(kNoFolder, "C:\\Tools\\Host\\skin\\\nAccess is denied."));

  platform.refused_folders.clear();
  platform.out_of_memory_on_read = true;
  EXPECT_EQ(Run(1), Prompt(kUnexpected, "std::bad_alloc"));
  EXPECT_TRUE(SkinFiles().empty());
}

}  // namespace
}  // namespace brellam
