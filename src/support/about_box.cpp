#include "support/about_box.h"

#include "mainwindow/captions.h"
#include "platform/services.h"

namespace zelvo {

std::string AboutHeadline() { return std::string(kProductTitle) + " " + VersionText(1); }

void AboutBox::OnLoad(const std::string& caption) {
  view_.SetCaption(caption);
  view_.SetTexts(AboutHeadline(), kAboutTagline, std::string(kAboutMaker) + " \xE2\x80\x93 " + kMakerHost);
}

void AboutBox::OnButton(int index) {
  switch (index) {
    case 0: help_.OpenMakerPage(); break;
    case 1: help_.OpenUpdateCheck(); break;
    case 2: view_.Close(); break;
    default: break;
  }
}

}  // namespace zelvo
