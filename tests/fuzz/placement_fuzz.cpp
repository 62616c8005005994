// The main window's stored placement and its design geometry records.
// Input: the four stored texts, the screen size and a rectangle.
//
// Properties: whatever the stored texts, the restored window has finite
// values and either keeps its stored corner on the screen, with each stored
// size only where it fits, or is the design size centred; a placement saved
// on the screen comes back exactly; a geometry record reads back exactly.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>

#include "fakes/fake_platform.h"
#include "fuzz_support.h"
#include "mainwindow/layout.h"
#include "store/settings.h"
#include "store/text_codes.h"

using namespace zelvo;
using namespace zelvo::fuzz;

namespace {

std::string StoredText(FuzzedDataProvider& fdp) {
  switch (fdp.ConsumeIntegralInRange(0, 3)) {
    case 0: return SingleText(fdp.ConsumeFloatingPoint<float>());
    case 1: return std::to_string(fdp.ConsumeFloatingPoint<double>());
    case 2: return std::to_string(fdp.ConsumeIntegralInRange(-2000, 40000));
    default: return TextFrom(fdp.ConsumeRandomLengthString(30));
  }
}

bool Finite(const TwipsRect& r) {
  return std::isfinite(r.left) && std::isfinite(r.top) && std::isfinite(r.width) && std::isfinite(r.height);
}

float ReadBack(const std::string& text) { return static_cast<float>(ParseLeadingNumber(text).value_or(-1)); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider fdp(data, size);
  FakeAppSettings settings;
  for (const char* key : {kKeyTop, kKeyLeft, kKeyWidth, kKeyHeight})
    if (fdp.ConsumeBool()) settings.values[key] = StoredText(fdp);
  // Screens from 640 x 480 pixels to a wall of 8K displays, in twips.
  const float screenW = static_cast<float>(fdp.ConsumeIntegralInRange(9600, 15 * 7680 * 4));
  const float screenH = static_cast<float>(fdp.ConsumeIntegralInRange(7200, 15 * 4320 * 4));
  const TwipsRect design{0, 0, 9600, 7200};

  const TwipsRect r = RestoreWindowPlacement(settings, design, screenW, screenH);
  FUZZ_CHECK(Finite(r));
  const TwipsRect centred = CenterOnScreen(design, screenW, screenH);
  if (!(r == centred)) {
    FUZZ_CHECK(r.left >= 0 && r.left < screenW && r.top >= 0 && r.top < screenH);
    FUZZ_CHECK(r.width == design.width || (r.width > 0 && r.left + r.width <= screenW));
    FUZZ_CHECK(r.height == design.height || (r.height > 0 && r.top + r.height <= screenH));
  }

  // A window on the screen is restored where and as large as it was.
  TwipsRect placed;
  placed.left = fdp.ConsumeFloatingPointInRange<float>(0, screenW - 1);
  placed.top = fdp.ConsumeFloatingPointInRange<float>(0, screenH - 1);
  placed.width = fdp.ConsumeFloatingPointInRange<float>(1, screenW - placed.left);
  placed.height = fdp.ConsumeFloatingPointInRange<float>(1, screenH - placed.top);
  if (placed.left + placed.width <= screenW && placed.top + placed.height <= screenH) {
    FakeAppSettings saved;
    SaveWindowPlacement(saved, placed);
    const TwipsRect back = RestoreWindowPlacement(saved, design, screenW, screenH);
    FUZZ_CHECK(back == placed);
  }

  // Design geometry records: "Left:Top:Width:Height" of single values.
  const TwipsRect any{fdp.ConsumeFloatingPoint<float>(), fdp.ConsumeFloatingPoint<float>(),
                      fdp.ConsumeFloatingPoint<float>(), fdp.ConsumeFloatingPoint<float>()};
  if (Finite(any)) {
    WindowLayout layout;
    LayoutRects controls = kDesignLayout;
    controls[kEditor] = any;
    layout.Capture(design, controls);
    const std::string record = layout.Record(kEditor);
    const TwipsRect back{ReadBack(SplitField(record, 1, ":")), ReadBack(SplitField(record, 2, ":")),
                         ReadBack(SplitField(record, 3, ":")), ReadBack(SplitField(record, 4, ":"))};
    FUZZ_CHECK(back == any);
  }
  return 0;
}
