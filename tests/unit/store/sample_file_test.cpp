#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "store/settings.h"
#include "store/snippet_store.h"
#include "store/text_codes.h"

namespace zelvo {
namespace {

std::string SampleBytes() {
  std::string here = __FILE__;
  const std::string path = here.substr(0, here.rfind("tests/")) + "data/sample.ini";
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(SampleFile, IsAValidStarterFile) {
  const std::string bytes = SampleBytes();
  ASSERT_FALSE(bytes.empty());
  EXPECT_EQ(bytes.find("\xEF\xBB\xBF"), std::string::npos);
  EXPECT_EQ(ReplaceAll(bytes, "\r\n", "", false).find('\n'), std::string::npos);
  const IniDocument doc = IniDocument::Parse(bytes);
  EXPECT_EQ(doc.Serialize(), bytes);

  int crypt = 0, titled = 0, methods[3] = {};
  std::string allTexts;
  int n = 1;
  for (; !doc.Get(kFieldName, std::to_string(n)).empty(); ++n) {
    const SnippetEntry e = SnippetStore::EntryFrom(doc, n);
    crypt += e.Crypt;
    titled += !e.Title.empty();
    ++methods[e.DosBox];
    allTexts += UnescapeText(e.Text);
  }
  EXPECT_GE(n - 1, 8);
  EXPECT_EQ(crypt, 1);
  EXPECT_EQ(titled, 1);
  EXPECT_TRUE(methods[0] && methods[1] && methods[2]);
  for (const char* p : {"%datei=", "%zeit%", "%stunde%", "%minute%", "%sekunde%", "%datum%", "%tag%",
                        "%wochentag%", "%monat%", "%jahr%"})
    EXPECT_NE(allTexts.find(p), std::string::npos) << p;
  EXPECT_NE(allTexts.find("IBAN"), std::string::npos);  // the enciphered entry deciphers

  const ProgramSettings s = LoadSettings(doc);
  EXPECT_EQ(s.KeyIndex(), 5);
  EXPECT_TRUE(s.Strg());
  EXPECT_EQ(s.PumMode, 0);
  EXPECT_EQ(doc.Get("Ignore", "1"), "DFÜ-Netzwerkmonitor");
  EXPECT_EQ(doc.Get("Ignore", "2"), "Microsoft Office Shortcut-Leiste");
  EXPECT_EQ(doc.Get("Common", "Lock", "<fehlt>"), "");
}

}  // namespace
}  // namespace zelvo
