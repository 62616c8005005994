#include "mainwindow/layout.h"

#include <charconv>
#include <cmath>

#include "store/settings.h"
#include "store/text_codes.h"

namespace zelvo {

void WindowLayout::Capture(const TwipsRect& window, const LayoutRects& controls) {
  window_ = window;
  design_ = controls;
  captured_ = true;
}

WindowLayout::Result WindowLayout::Apply(float windowWidth, float windowHeight) const {
  Result r;
  r.controls = design_;
  float dW = windowWidth - window_.width, dH = windowHeight - window_.height;
  if (dW < 0) {
    dW = 0;
    r.snapWidth = window_.width;
  }
  if (dH < 0) {
    dH = 0;
    r.snapHeight = window_.height;
  }
  r.controls[kToolbarFrame].width += dW;
  r.controls[kListenFrame].height += dH;
  r.controls[kTextFrame].width += dW;
  r.controls[kTextFrame].height += dH;
  r.controls[kContainer2].top += dH;
  r.controls[kEntryList].height += dH;
  r.controls[kEditor].width += dW;
  r.controls[kEditor].height += dH;
  return r;
}

std::string SingleText(float v) {
  char buf[32];
  const auto res = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, res.ptr);
}

std::string WindowLayout::Record(LayoutControl control) const {
  const TwipsRect& d = design_[control];
  return SingleText(d.left) + ":" + SingleText(d.top) + ":" + SingleText(d.width) + ":" +
         SingleText(d.height);
}

namespace {

// Halves away from zero, like MulDiv and the form runtime's twips conversion.
int RoundAway(double v) { return static_cast<int>(v < 0 ? std::ceil(v - 0.5) : std::floor(v + 0.5)); }

}  // namespace

int ScaleToDpi(int length, int dpi) {
  return RoundAway(static_cast<double>(length) * dpi / kDesignDpi);
}

int TwipsToPixels(float twips, int dpi) { return RoundAway(static_cast<double>(twips) * dpi / kTwipsPerInch); }

float PixelsToTwips(int pixels, int dpi) {
  return static_cast<float>(static_cast<double>(pixels) * kTwipsPerInch / dpi);
}

PixelRect ToPixels(const TwipsRect& r, int dpi, float dx, float dy) {
  const int left = TwipsToPixels(r.left + dx, dpi), top = TwipsToPixels(r.top + dy, dpi);
  return {left, top, TwipsToPixels(r.left + dx + r.width, dpi) - left,
          TwipsToPixels(r.top + dy + r.height, dpi) - top};
}

TwipsRect PlacementToTwips(const PixelRect& w, int screenDpi, int windowDpi) {
  return {PixelsToTwips(w.left, screenDpi), PixelsToTwips(w.top, screenDpi), PixelsToTwips(w.width, windowDpi),
          PixelsToTwips(w.height, windowDpi)};
}

PixelRect PlacementToPixels(const TwipsRect& w, int screenDpi, int windowDpi) {
  return {TwipsToPixels(w.left, screenDpi), TwipsToPixels(w.top, screenDpi), TwipsToPixels(w.width, windowDpi),
          TwipsToPixels(w.height, windowDpi)};
}

TwipsRect CenterOnScreen(const TwipsRect& window, float screenWidth, float screenHeight) {
  TwipsRect r = window;
  r.left = static_cast<float>(RoundHalfEven(screenWidth - window.width) / 2);
  r.top = static_cast<float>(RoundHalfEven(screenHeight - window.height) / 2);
  return r;
}

PixelRect PlaceNearMainWindow(const PixelRect& dialog, const PixelRect& mainWindow, int dpi) {
  PixelRect r = dialog;
  r.left = mainWindow.left + ScaleToDpi(kNearMainWindowOffset, dpi);
  r.top = mainWindow.top + ScaleToDpi(kNearMainWindowOffset, dpi);
  return r;
}

void SaveWindowPlacement(AppSettings& settings, const TwipsRect& window) {
  settings.Save(kKeyTop, SingleText(window.top));
  settings.Save(kKeyLeft, SingleText(window.left));
  settings.Save(kKeyWidth, SingleText(window.width));
  settings.Save(kKeyHeight, SingleText(window.height));
}

TwipsRect RestoreWindowPlacement(AppSettings& settings, const TwipsRect& design, float screenWidth,
                                 float screenHeight) {
  // An absent value, or one that is no number, reads as -1.
  auto read = [&](const char* key) {
    return static_cast<float>(ParseLeadingNumber(settings.Get(key, "-1")).value_or(-1));
  };
  const float top = read(kKeyTop), left = read(kKeyLeft), width = read(kKeyWidth),
              height = read(kKeyHeight);
  if (!(top >= 0 && top < screenHeight && left >= 0 && left < screenWidth))
    return CenterOnScreen(design, screenWidth, screenHeight);
  TwipsRect r = design;
  r.top = top;
  r.left = left;
  if (height > 0 && top + height <= screenHeight) r.height = height;
  if (width > 0 && left + width <= screenWidth) r.width = width;
  return r;
}

}  // namespace zelvo
