#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_clock.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_random.h"
#include "fakes/fake_services.h"
#include "search/folding.h"
#include "search/quick_search.h"
#include "search/search_filter.h"
#include "search/search_form.h"
#include "search/search_layout.h"
#include "store/cipher.h"
#include "store/codepage.h"

namespace zelvo {
namespace {

TEST(FoldForSearch, SpellingsGermanUsersMix) {
  struct Case {
    const char* text;
    const char* folded;
  } cases[] = {
      // Umlauts and their spellings with and without "e" meet: Äpfel Öl Übung, Müller
      {"\xC3\x84pfel Aepfel \xC3\x96l \xC3\x9C" "bung", "apfel apfel ol ubung"},
      {"M\xC3\xBCller Mueller MUELLER Muller", "muller muller muller muller"},
      {"Bauer Feuer Goethe Michael", "baur feur gothe michal"},
      {"Stra\xC3\x9F" "e STRASSE", "strasse strasse"},                     // Straße
      {"Caf\xC3\xA9 cr\xC3\xA8me Gar\xC3\xA7on Se\xC3\xB1or", "cafe creme garcon senor"},
      {"\xE2\x80\x9EZitat\xE2\x80\x9C \xE2\x80\x93 Ende\xE2\x80\xA6", "\"zitat\" - ende..."},  // „Zitat“ – Ende…
      {"  Sehr\r\n\tgeehrte\xC2\xA0" "Damen  ", "sehr geehrte damen"},
      {"\xC5\x92uvre \xC5\xA0koda \xE2\x82\xAC 5", "ouvre skoda \xE2\x82\xAC 5"},  // Œuvre Škoda € 5
      {"Ab\xC2\xAD" "satz", "absatz"},  // soft hyphen
  };
  for (const Case& c : cases) EXPECT_EQ(FoldForSearch(c.text), c.folded) << c.text;
  // Sorting keeps the "e": the alphabet of dictionaries, "Ä" as "Ae".
  std::string sorting;
  AppendFolded(sorting, "Bauer \xC3\x84nderung M\xC3\xBCller", Folding::Sorting);
  EXPECT_EQ(sorting, "bauer aenderung mueller");
}

struct Row {
  int number;
  const char* name;
  const char* text;
  bool crypt = false;
};

// Entry names in the order the filter lists them for `query`.
std::vector<std::string> Found(const SearchIndex& index, const std::string& query) {
  SearchFilter filter(index);
  std::vector<std::string> names;
  for (uint32_t id : filter.Update(query)) names.emplace_back(index.Name(id));
  return names;
}

// The index of a data file holding `rows`, those marked enciphered as the
// program stores them.
SearchIndex IndexOf(const std::vector<Row>& rows, const RecentUse& recent = {}) {
  FakeRandom random;
  FakeClock clock;
  std::string name = "[Name]\r\n", text = "[Text]\r\n", crypt = "[Crypt]\r\n";
  for (const Row& r : rows) {
    const std::string key = std::to_string(r.number) + "=";
    name += key + r.name + "\r\n";
    text += key + (r.crypt ? EncipherText(r.text, random, clock) : std::string(r.text)) + "\r\n";
    crypt += key + (r.crypt ? "1" : "0") + "\r\n";
  }
  const IniDocument doc = IniDocument::Parse(Utf8ToCp1252(name + text + crypt));
  SearchIndex index = SearchIndex::FromFile(doc, SnippetStore::EntryListFrom(doc));
  index.ApplyRecentUse(recent);
  return index;
}

const std::vector<Row> kOffice = {
    {1, "Gru\xC3\x9F" "formel", "Mit freundlichen Gr\xC3\xBC\xC3\x9F" "en"},    // Grußformel
    {2, "Anschreiben Brief", "Sehr geehrte Damen und Herren,\\N\\N"},
    {3, "Brief an Kunden", "Liebe Kundin, lieber Kunde"},
    {4, "Kundenbrief", "Hallo"},
    {5, "Adresse", "Musterstra\xC3\x9F" "e 1\\NM\xC3\xBC" "nchen"},            // Musterstraße, München
    {6, "Caf\xC3\xA9-Bestellung", "Zwei Cr\xC3\xA8me br\xC3\xBBl\xC3\xA9" "e"},  // Café, Crème brûlée
    {7, "Passwort Server", "Geheim: Brief an den Admin", true},
    {8, "Notiz", "Bitte den Brief bis Freitag senden"},
    {9, "\xC3\x84rger", "Entschuldigung"},                                         // Ärger
    {10, "\xC3\x9C" "ber uns", "Wir sind ein Familienbetrieb"},                    // Über uns
    {11, "Caf\xC3\xA9 M\xC3\xBCller", "Hauptstra\xC3\x9F" "e 3, Bauerhof"},         // Café Müller
    {12, "Mueller GmbH", "Lieferant"},
};

TEST(SearchFilter, MatchesAndRanksAsGermanOfficeUsersExpect) {
  const SearchIndex index = IndexOf(kOffice);
  struct Case {
    const char* query;
    std::vector<std::string> names;
  } cases[] = {
      // ß and ss, umlauts and their spellings, either way round
      {"grus", {"Gru\xC3\x9F" "formel"}},
      {"GRUSSFORMEL", {"Gru\xC3\x9F" "formel"}},
      {"gr\xC3\xBC\xC3\x9F" "en", {"Gru\xC3\x9F" "formel"}},
      {"gruessen", {"Gru\xC3\x9F" "formel"}},
      {"musterstrasse muenchen", {"Adresse"}},
      {"aerger", {"\xC3\x84rger"}},
      {"\xC3\xA4rger", {"\xC3\x84rger"}},
      {"arger", {"\xC3\x84rger"}},
      {"uber", {"\xC3\x9C" "ber uns"}},
      {"muller", {"Mueller GmbH", "Caf\xC3\xA9 M\xC3\xBCller"}},
      {"mueller", {"Mueller GmbH", "Caf\xC3\xA9 M\xC3\xBCller"}},
      {"m\xC3\xBCller gmbh", {"Mueller GmbH"}},
      {"hauptstrasse", {"Caf\xC3\xA9 M\xC3\xBCller"}},
      // a word that starts with the "e" the folding left out of "Bauer"
      {"erhof", {"Caf\xC3\xA9 M\xC3\xBCller"}},
      // accents folded in both directions
      {"cafe", {"Caf\xC3\xA9 M\xC3\xBCller", "Caf\xC3\xA9-Bestellung"}},
      {"creme brulee", {"Caf\xC3\xA9-Bestellung"}},
      // every word, in any order, each in the name or the text
      {"damen sehr", {"Anschreiben Brief"}},
      {"brief freitag", {"Notiz"}},
      {"sehr xyz", {}},
      // name starts with it, a word of the name does, the name contains it, the text does,
      // also the deciphered text of an enciphered entry
      {"brief", {"Brief an Kunden", "Anschreiben Brief", "Kundenbrief", "Notiz", "Passwort Server"}},
      {"kunde", {"Kundenbrief", "Brief an Kunden"}},
      {"brief an", {"Brief an Kunden", "Anschreiben Brief", "Passwort Server"}},
      {"geheim admin", {"Passwort Server"}},
      {"passwort", {"Passwort Server"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Found(index, c.query), c.names) << c.query;
}

TEST(SearchFilter, TiesGoToRecentUseThenTheAlphabet) {
  const std::vector<Row> rows = {
      {1, "Brief Zahlung", ""}, {2, "Brief Angebot", ""}, {3, "brief mahnung", ""},
      {4, "Memo", "kein Brief"}, {5, "\xC3\x84nderung", ""}};
  RecentUse recent;
  recent.Note(1, "Brief Zahlung");
  recent.Note(4, "Memo");  // most recent, but only the text matches "brief"
  const SearchIndex index = IndexOf(rows, recent);
  EXPECT_EQ(Found(index, "brief"), (std::vector<std::string>{"Brief Zahlung", "Brief Angebot",
                                                             "brief mahnung", "Memo"}));
  // Nothing typed: everything, recently used first, then alphabetically (Ä as Ae).
  EXPECT_EQ(Found(index, " "), (std::vector<std::string>{"Memo", "Brief Zahlung", "\xC3\x84nderung",
                                                         "Brief Angebot", "brief mahnung"}));
}

TEST(SearchFilter, RecentUseFollowsEntriesThatMovedAndForgetsRenamedOnes) {
  RecentUse recent;
  recent.Note(3, "Adresse");  // another PC has since deleted entry 1: Adresse is now 2
  recent.Note(2, "Zebra");    // entry 2 was renamed meanwhile: this record is stale
  const SearchIndex index = IndexOf({{1, "Brief", ""}, {2, "Adresse", ""}, {3, "Zebra neu", ""}}, recent);
  EXPECT_EQ(Found(index, ""), (std::vector<std::string>{"Adresse", "Brief", "Zebra neu"}));
}

TEST(SearchFilter, TypingAndDeletingGiveWhatAFreshSearchGives) {
  std::vector<Row> rows;
  const char* words[] = {"Brief", "Gru\xC3\x9F", "Angebot", "Rechnung", "Kunde", "Termin"};
  std::vector<std::string> names, texts;
  for (int i = 0; i < 300; ++i) {
    names.push_back(std::string(words[i % 6]) + " " + words[(i / 6) % 6] + " " + std::to_string(i));
    texts.push_back(std::string("Text ") + words[(i * 7) % 6] + " Nr. " + std::to_string(i * 3));
  }
  for (int i = 0; i < 300; ++i) rows.push_back({i + 1, names[i].c_str(), texts[i].c_str()});
  const SearchIndex index = IndexOf(rows);
  SearchFilter typing(index);
  const std::vector<std::string> steps = {"b", "br", "bri", "brie", "brief", "brief ", "brief k",
                                          "brief ku", "brief k", "brief", "bri", "gr", "gru",
                                          "grus", "gruss t", "gruss te 1", "", "12", "1", "t 2"};
  for (const std::string& q : steps) {
    SearchFilter fresh(index);
    EXPECT_EQ(typing.Update(q), fresh.Update(q)) << q;
  }
}

TEST(SearchForm, PreviewsShowTheTextOnOneLineAndHideEncipheredTexts) {
  auto index = std::make_shared<SearchIndex>(IndexOf({
      {1, "A", "Hallo\\N\\N\\TWelt \\Hzitiert\\H"},
      {2, "B", std::string(200, 'x').c_str()},
      {3, "C", "IBAN DE02\\NGeheimzahl", true},
  }));
  EXPECT_EQ(index->FoldedText(1), std::string(200, 'x')) << "the preview is not searched";
  EXPECT_EQ(index->FoldedText(2), "iban de02 geheimzahl") << "enciphered texts are searched deciphered";
  EXPECT_EQ(index->Preview(2), "") << "the deciphered text is kept only folded";
  SearchForm form(index);
  EXPECT_EQ(form.RowPreview(0), "Hallo Welt \"zitiert\"");
  EXPECT_EQ(form.RowPreview(1), std::string(kPreviewLength, 'x') + "\xE2\x80\xA6");
  EXPECT_EQ(form.RowPreview(2), "(verschl\xC3\xBCsselt)");
}

// Most names and previews are kept as their differences from the folded
// text (capitals, letters the folding spells otherwise); each must read back
// exactly.
TEST(SearchIndex, EveryNameAndPreviewReadsBackAsTheTextShows) {
  const std::string words = "Wort \xC3\x84nderung ";
  struct Case {
    std::string stored, preview;
  } cases[] = {
      {"Sehr geehrte Damen und Herren,\\N\\NText Nr. 5.", "Sehr geehrte Damen und Herren, Text Nr. 5."},
      {"Gr\xC3\xBC\xC3\x9F" "e aus K\xC3\xB6ln \xE2\x80\x93 Ihr Team", "Gr\xC3\xBC\xC3\x9F" "e aus K\xC3\xB6ln \xE2\x80\x93 Ihr Team"},
      {"Caf\xC3\xA9 \xC2\xABZ\xC3\xBCrich\xC2\xBB\\T\xC3\x89t\xC3\xA9", "Caf\xC3\xA9 \xC2\xABZ\xC3\xBCrich\xC2\xBB \xC3\x89t\xC3\xA9"},
      {"Trenn\xC2\xADung und \xC5\x92UVRE \xE1\xBA\x9E", "Trenn\xC2\xADung und \xC5\x92UVRE \xE1\xBA\x9E"},  // soft hyphen, Œ, ẞ
      // the "e" the search folding leaves out after "a", "o" and "u", in either case
      {"Bauer BAUER Mueller M\xC3\xBC" "e Zooeingang Aee", "Bauer BAUER Mueller M\xC3\xBC" "e Zooeingang Aee"},
      {"\xC5\x93uvre \xC3\x86rger \xC3\x9C" "E", "\xC5\x93uvre \xC3\x86rger \xC3\x9C" "E"},  // œuvre Ærger ÜE
      {"\xE2\x82\xAC 5,00 \xE2\x80\xA2 Preis", "\xE2\x82\xAC 5,00 \xE2\x80\xA2 Preis"},  // € and • fold to themselves
      {"Bis bald\xE2\x80\xA6", "Bis bald\xE2\x80\xA6"},  // ends with "…", not cut
      {"a \xC2\xA0" "b", "a \xC2\xA0" "b"},  // a blank, then one the folding merges with it
      {"A\x7F" "B", "A\x7F" "B"},
      {"", ""},
  };
  SearchIndex index;
  for (const Case& c : cases) index.Add(1, c.preview, c.stored, false);
  std::string longText;
  while (longText.size() < 3 * kPreviewLength) longText += words;
  index.Add(2, "Lang", longText, false);
  for (uint32_t id = 0; id < std::size(cases); ++id) {
    EXPECT_EQ(index.Preview(id), cases[id].preview) << id;
    EXPECT_EQ(index.Name(id), cases[id].preview) << id;
  }
  EXPECT_EQ(index.Name(std::size(cases)), "Lang");
  std::string cut;
  for (std::size_t chars = 0; chars < kPreviewLength; ++chars) {
    cut += longText.substr(0, longText[0] == '\xC3' ? 2 : 1);
    longText.erase(0, longText[0] == '\xC3' ? 2 : 1);
  }
  while (!cut.empty() && cut.back() == ' ') cut.pop_back();
  EXPECT_EQ(index.Preview(std::size(cases)), cut + "\xE2\x80\xA6");
}

TEST(RecentUse, StoredFormRoundTripsSkipsGarbageAndStaysSmall) {
  const RecentUse parsed = RecentUse::Parse("17:1a2b3c4d x:1 5: 0:ff 9:zz 3:abc 17:1a2b3c4d");
  EXPECT_EQ(parsed.Records(), (std::vector<RecentRecord>{{17, 0x1a2b3c4d}, {3, 0xabc}}));
  EXPECT_EQ(RecentUse::Parse(parsed.Serialize()).Records(), parsed.Records());

  RecentUse r;
  for (int n = 1; n <= 400; ++n) r.Note(n, "Eintrag " + std::to_string(n));
  r.Note(200, "Eintrag 200");
  ASSERT_EQ(r.Records().size(), RecentUse::kMaxRecords);
  EXPECT_EQ(r.Records()[0].number, 200);
  EXPECT_EQ(r.Records()[1].number, 400);
  EXPECT_EQ(r.Records().back().number, 101);
}

TEST(QuickSearch, UseIsRememberedPerUserAndReordersAtOnce) {
  FakeAppSettings settings;
  IniDocument doc = IniDocument::Parse("[Name]\r\n1=Brief\r\n2=Angebot\r\n[Text]\r\n1=a\r\n2=b\r\n");
  const EntryList list{{{"Brief", 1}, {"Angebot", 2}}, {}};
  QuickSearch search(settings);
  search.Rebuild(doc, list);
  EXPECT_EQ(Found(*search.Index(), ""), (std::vector<std::string>{"Angebot", "Brief"}));

  search.NoteUse(1, "Brief");
  EXPECT_EQ(Found(*search.Index(), ""), (std::vector<std::string>{"Brief", "Angebot"}));

  QuickSearch later(settings);  // the next start of the program
  later.Rebuild(doc, list);
  EXPECT_EQ(Found(*later.Index(), ""), (std::vector<std::string>{"Brief", "Angebot"}));
}

class RecordingSearchView : public SearchView {
 public:
  std::vector<std::size_t> shown;
  int selected = 0;
  bool closed = false;
  std::string detail = "(nie gesetzt)";
  void ShowRows(std::size_t count) override { shown.push_back(count); }
  int SelectedRow() override { return selected; }
  void ShowDetail(const std::string& text) override { detail = text; }
  void Close() override { closed = true; }
};

TEST(SearchForm, TheSelectedEntrysWholeNameShowsBelowTheList) {
  const std::string longName =
      "Angebot Hausmeisterdienste f\xC3\xBCr die Wohnanlage Am Stadtpark 12 bis 18, zweites Halbjahr";
  auto index = std::make_shared<SearchIndex>(IndexOf({{1, longName.c_str(), "Text"}, {2, "Angebot kurz", ""}}));
  SearchForm form(index);
  RecordingSearchView view;
  form.AttachView(&view);
  EXPECT_EQ(view.detail, longName) << "the first row is selected when the window opens";
  form.OnRowSelected(1);
  EXPECT_EQ(view.detail, "Angebot kurz");
  form.OnQueryChanged("wohnanlage");
  EXPECT_EQ(view.detail, longName);
  form.OnQueryChanged("nichts");
  EXPECT_EQ(view.detail, "");
}

TEST(SearchForm, EnterOrDoubleClickChoosesEscapeAndClicksElsewhereChooseNothing) {
  auto index = std::make_shared<SearchIndex>(IndexOf(kOffice));
  {
    SearchForm form(index);
    RecordingSearchView view;
    form.AttachView(&view);
    form.OnQueryChanged("brief");
    EXPECT_EQ(view.shown, (std::vector<std::size_t>{12, 5}));
    EXPECT_EQ(form.RowName(1), "Anschreiben Brief");
    view.selected = 1;
    form.OnEnter();
    EXPECT_TRUE(view.closed);
    EXPECT_EQ(form.Choice(), (EntryListItem{"Anschreiben Brief", 2}));
    EXPECT_FALSE(form.ReturnFocus()) << "the delivery activates its target itself";
  }
  {
    SearchForm form(index);
    RecordingSearchView view;
    form.AttachView(&view);
    form.OnQueryChanged("nichts davon");
    view.selected = -1;
    form.OnEnter();
    EXPECT_FALSE(view.closed) << "Enter without a match keeps the window open";
    form.OnQueryChanged("notiz");
    form.OnRowActivated(0);
    EXPECT_EQ(form.Choice(), (EntryListItem{"Notiz", 8}));
    // The reload behind the open window finds an entry another PC added.
    form.OnQueryChanged("zusage");
    EXPECT_EQ(form.RowCount(), 0u);
    std::vector<Row> more = kOffice;
    more.push_back({13, "Zusage", "Gern"});
    form.UseIndex(std::make_shared<SearchIndex>(IndexOf(more)));
    EXPECT_EQ(view.shown.back(), 1u);
    EXPECT_EQ(form.RowName(0), "Zusage");

    form.OnEscape();
    EXPECT_FALSE(form.Choice());
    EXPECT_TRUE(form.ReturnFocus()) << "Escape goes back to the window the user came from";
    form.OnFocusLost();
    EXPECT_FALSE(form.ReturnFocus()) << "a click elsewhere leaves the focus where it went";
  }
}

TEST(SearchLayout, OpensAtThePointerAndStaysOnTheWorkArea) {
  const PixelRect work{0, 0, 1280, 994};  // left, top, width, height; taskbar below
  struct Case {
    int dpi, x, y;
    PixelRect window;
  } cases[] = {
      {96, 100, 200, {100, 200, 480, 340}},
      {96, 1000, 900, {520, 560, 480, 340}},  // opens to the left of and above the pointer
      {96, 1275, 10, {795, 10, 480, 340}},
      {144, 100, 100, {100, 100, 720, 510}},  // 150 %: everything half as big again
      {96, -50, -50, {0, 0, 480, 340}},
  };
  for (const Case& c : cases) {
    const int line = ScaleToDpi(13, c.dpi);
    const SearchLayout l = LayoutSearchWindow(c.dpi, c.x, c.y, work, 1, line);
    EXPECT_EQ(l.window, c.window) << c.dpi << " " << c.x << "," << c.y;
    const int margin = ScaleToDpi(6, c.dpi);
    EXPECT_EQ(l.list.left + l.list.width, l.window.width - 2 - margin);
    // Below the list, two lines for the selected entry's whole name.
    EXPECT_EQ(l.detail, (PixelRect{l.list.left, l.list.top + l.list.height + margin, l.list.width, 2 * line}));
    EXPECT_EQ(l.detail.top + l.detail.height, l.window.height - 2 - margin);
  }
  // A work area smaller than the window: it fills the work area.
  const SearchLayout tiny = LayoutSearchWindow(96, 10, 10, {0, 0, 300, 200}, 1, 13);
  EXPECT_EQ(tiny.window, (PixelRect{0, 0, 300, 200}));
}

}  // namespace
}  // namespace zelvo
