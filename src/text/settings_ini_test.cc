#include "text/settings_ini.h"

#include <gtest/gtest.h>

namespace brellam {
namespace {

TEST(SettingsIniTest, FindsTheKeyInItsSection) {
  struct Case {
    const char* name;
    std::string ini;
    std::string value;
  };
  const Case cases[] = {
      {"Plain", "[Path]\nPath=/opt/kyrlen/kyrlen.exe\n", "/opt/kyrlen/kyrlen.exe"},
      {"BomAndCrLf", "\xEF\xBB\xBF[Path]\r\nPath=/opt/k\r\n", "/opt/k"},
      {"Blanks", "  [ Path ]  \n\t Path \t=  /opt/my host/k.exe  \n", "/opt/my host/k.exe"},
      {"Comments", "[Path]\n;Path=/no\n# Path=/no\nPath=/yes\n", "/yes"},
      {"OtherSectionFirst", "[Other]\nPath=/no\n[Path]\nPath=/yes", "/yes"},
      {"FirstOfTwo", "[Path]\nPath=/first\nPath=/second\n", "/first"},
      {"SectionEndsAtTheNext", "[Path]\n[Other]\nPath=/no\n", ""},
      {"KeyOutsideAnySection", "Path=/no\n", ""},
      {"CaseDoesNotMatter", "[path]\nPATH=/yes\n", "/yes"},
      {"Quoted", "[Path]\nPath=\" /opt/my host/k.exe\" \n", " /opt/my host/k.exe"},
      {"LoneQuote", "[Path]\nPath=\"\n", "\""},
      {"EmptyValue", "[Path]\nPath=\n", ""},
      {"EqualsInValue", "[Path]\nPath=/a=b\n", "/a=b"},
      {"Utf8Value", "[Path]\nPath=/ホスト/k.exe\n", "/ホスト/k.exe"},
      {"BrokenSectionLine", "[Path\nPath=/no\n", ""},
      {"Empty", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ReadIniValue(c.ini, "Path", "Path"), c.value);
  }
}

}  // namespace
}  // namespace brellam
