// Captions, tooltips and tags of the main window's menus and toolbar.
#pragma once

#include <array>
#include <string_view>

namespace zelvo {

// Toolbar buttons dispatch on their tag.
enum ToolbarTag : int {
  kTagDebug = 0,
  kTagDelete = 1,
  kTagRename = 2,
  kTagHide = 3,
  kTagOptions = 4,
  kTagAbout = 5,
  kTagSync = 6,
  kTagNew = 8,
  kTagHelp = 10,
};

struct ToolbarButtonText {
  std::string_view caption;
  int tag;
  std::string_view tooltip;  // empty: none
};

inline constexpr std::array<ToolbarButtonText, 9> kToolbarButtons{{
    {"&Neu", kTagNew, "Legt einen neuen Textbaustein an"},
    {"&Name", kTagRename, "Umbenennen des markierten Textbausteins"},
    {"&L\xC3\xB6schen", kTagDelete, "L\xC3\xB6scht den markierten Textbaustein"},
    {"Lan-&Sync", kTagSync, "Synchronisiert die lokale Textliste mit der im Netz verf\xC3\xBC" "gbaren Liste"},
    {"&Optionen", kTagOptions, "Programmoptionen"},
    {"&Debug", kTagDebug, ""},
    {"&Hilfe", kTagHelp, "Anleitung zu diesem Programm"},
    {"&Info", kTagAbout, "Support-Infos zu diesem Tool"},
    {"&OK", kTagHide, "Blendet dieses Fenster aus"},
}};

// The menu arrays; items are numbered from 1 as in the tables, "-" is a
// separator.
enum class MenuArray { Datei, Bearbeiten, Texte, Extras, Hilfe };

struct MenuText {
  MenuArray array;
  std::string_view caption;
  std::array<std::string_view, 7> items;  // index 0 = item 1; empty ends
};

inline constexpr std::array<MenuText, 5> kMenus{{
    {MenuArray::Datei, "&Datei", {"&Ausblenden", "-", "&Beenden"}},
    {MenuArray::Bearbeiten, "&Bearbeiten",
     {"&Ausschneiden", "&Kopieren", "&Einf\xC3\xBCgen", "&L\xC3\xB6schen", "-", "&Suchen...\tStrg+F",
      "&Weitersuchen\tF3"}},
    {MenuArray::Texte, "&Texte", {"&Neu...", "&Umbenennen...", "&L\xC3\xB6schen"}},
    {MenuArray::Extras, "&Extras", {"&Optionen...", "&Sicherungen...", "-", "&Debugger..."}},
    {MenuArray::Hilfe, "&?", {"&Hilfe", "-", "&Info"}},
}};

// Item numbers used by the handlers.
namespace menu_item {
inline constexpr int kAusblenden = 1, kBeenden = 3;
inline constexpr int kAusschneiden = 1, kKopieren = 2, kEinfuegen = 3, kLoeschen = 4, kSuchen = 6,
                     kWeitersuchen = 7;
inline constexpr int kNeu = 1, kUmbenennen = 2, kTextLoeschen = 3;
inline constexpr int kOptionen = 1, kSicherungen = 2, kDebugger = 4;
inline constexpr int kHilfe = 1, kInfo = 3;
}  // namespace menu_item

// Option panel and frames.
inline constexpr std::string_view kListFrameCaption = "Textbausteine";
inline constexpr std::string_view kTextFrameCaption = "Bearbeitung";
inline constexpr std::string_view kKeyRecordCaption = "&Steuertasten einf\xC3\xBCgen";
inline constexpr std::string_view kTargetLabel = "Ziel:";
inline constexpr std::array<std::string_view, 2> kDestinationOptions{
    "das zuletzt benutzte &Fenster ", "Fenster mit dem &Titel:"};
inline constexpr std::string_view kSendLabel = "\xC3\x9C" "bergabe:";
inline constexpr std::array<std::string_view, 3> kSendMethodOptions{
    "&Tastensimulation", "Eingabeaufforderung", "&Zwischenablage"};
inline constexpr std::string_view kSecurityLabel = "Sicherheit:";
inline constexpr std::string_view kCryptCaption = "&Text chiffriert speichern";

}  // namespace zelvo
