#include "text/wine_registry.h"

#include <gtest/gtest.h>

#include <string>

namespace brellam {
namespace {

constexpr const char* kKyrlen = "Software\\VB and VBA Program Settings\\Kyrlen\\Path";

// The string, or the type of a value that is none.
std::string Read(std::string_view reg_text) {
  std::string text;
  const RegistryType type = ReadWineRegistryString(reg_text, kKyrlen, "Path", &text);
  return type == RegistryType::kOther ? "type " + text : text;
}

TEST(WineRegistryTest, ReadsStringValuesAsWineWritesThem) {
  // The user's variables as a fresh prefix keeps them, and one set later
  // from a variable listed after it.
  const std::string head = R"(WINE REGISTRY Version 2
;; All keys relative to REGISTRY\\User\\S-1-5-21-0-0-0-1000

#arch=win64

[Environment] 1796634655
#time=1dd862addc6be58
"TEMP"="C:\\users\\u\\Temp"

[Volatile Environment] 1796634657
#time=1dd862ade7d0852
"KYRLEN"=str(2):"%HOMEDRIVE%\\Kyrlen"
"HOMEDRIVE"="D:"
"TEMP"="C:\\users\\u\\Local Temp"
"USERPROFILE"="C:\\users\\u"

)";
  const std::string key = R"([Software\\VB and VBA Program Settings\\Kyrlen\\Path] 1796634761
#time=1dd862b1cff49dc
)";
  struct Case {
    const char* name;
    std::string body;
    std::string value;
  };
  const Case cases[] = {
      {"Plain", key + R"("Path"="C:\\Program Files\\Kyrlen\\kyrlen.exe")",
       R"(C:\Program Files\Kyrlen\kyrlen.exe)"},
      // As Wine wrote 'C:\Program Files\Ky"rlen\青空😀\kyrlen.exe'.
      {"QuoteAndUtf16",
       key + R"("Path"="C:\\Program Files\\Ky\"rlen\\\x9752\x7a7a\xd83d\xde00\\kyrlen.exe")",
       "C:\\Program Files\\Ky\"rlen\\\xE9\x9D\x92\xE7\xA9\xBA\xF0\x9F\x98\x80\\kyrlen.exe"},
      {"OtherEscapes", key + R"("Path"="\xe9-\x00e9f\101\t\q")",
       "\xC3\xA9-\xC3\xA9"
       "fA\tq"},
      {"LoneSurrogates", key + R"("Path"="\xd83dz\xde00")", "\xEF\xBF\xBDz\xEF\xBF\xBD"},
      {"LastOfTwo", key + "\"Path\"=\"first\"\n\"Path\"=\"second\"", "second"},
      {"StrForm", key + R"("Path"=str:"C:\\k.exe")", R"(C:\k.exe)"},
      // An unknown name stays whole, and the search goes on after its "%".
      {"Expandable",
       key + R"("Path"=str(2):"%userprofile%\\%KYRLEN%\\%TEMP%\\%NoSuch%TEMP%\\%%TEMP%\\%TEMP")",
       R"(C:\users\u\D:\Kyrlen\C:\users\u\Local Temp\%NoSuch%TEMP%\%C:\users\u\Local Temp\%TEMP)"},
      {"NamesInAnyCase",
       R"([software\\vb and VBA program settings\\KYRLEN\\path] 1
"PATH"="C:\\k.exe")",
       R"(C:\k.exe)"},
      {"Dword", key + R"("Path"=dword:00000005)", "type dword"},
      {"Binary", key + R"("Path"=hex:43,00)", "type hex"},
      {"ExpandableAsBinary", key + R"("Path"=hex(2):43,00,00,00)", "type hex(2)"},
      {"MultiString", key + R"("Path"=str(7):"a\0b\0")", "type str(7)"},
      {"Unclosed", key + R"("Path"="C:\\k.exe\")", ""},
      {"OtherValue", key + R"("Path2"="C:\\k.exe")", ""},
      {"SubKey",
       R"([Software\\VB and VBA Program Settings\\Kyrlen\\Path\\Old] 1
"Path"="C:\\k.exe")",
       ""},
      {"KeyEndsAtTheNext", key + "\n[Other] 1\n\"Path\"=\"C:\\\\k.exe\"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Read(head + c.body + "\n"), c.value);
  }
  EXPECT_EQ(Read(""), "");
}

}  // namespace
}  // namespace brellam
