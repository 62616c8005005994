// Local time and the user's regional date and time formats.
#pragma once

#include "platform/clock.h"

namespace zelvo {

class Win32Clock : public Clock {
 public:
  LocalTime Now() override;
  std::string ShortDate(const LocalTime& t) override;
  std::string LongTime(const LocalTime& t) override;
  std::string WeekdayName(const LocalTime& t) override;
  double SecondsSinceMidnight() override;
  void SleepMs(int ms) override;
};

}  // namespace zelvo
