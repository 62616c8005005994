// The about box: product title with version, tagline, the maker's page and
// the update check.
#pragma once

#include <string>

#include "support/help.h"

namespace zelvo {

inline constexpr const char* kAboutTagline = "Automatische Texteinf\xC3\xBCgungen aller Art";
inline constexpr const char* kAboutMaker = "Brannox Software";
inline constexpr const char* kAboutButtons[3] = {"&Homepage", "Nach &Updates suchen",
                                                 "&Schlie\xC3\x9F" "en"};

class AboutView {
 public:
  virtual ~AboutView() = default;
  virtual void SetCaption(const std::string& caption) = 0;
  virtual void SetTexts(const std::string& headline, const std::string& tagline,
                        const std::string& maker) = 0;
  virtual void Close() = 0;
};

class AboutBox {
 public:
  AboutBox(Help& help, AboutView& view) : help_(help), view_(view) {}

  // `caption` is the window title the program builds for "Info".
  void OnLoad(const std::string& caption);
  // 0 the maker's page, 1 the update check, 2 close.
  void OnButton(int index);

 private:
  Help& help_;
  AboutView& view_;
};

// "Zelvoscript 2.5.18"
std::string AboutHeadline();

}  // namespace zelvo
