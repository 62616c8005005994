// A clock that stands still until a test moves it; German formats.
#pragma once

#include <string>
#include <vector>

#include "platform/clock.h"

namespace zelvo {

class FakeClock : public Clock {
 public:
  FakeClock();
  // A Monday afternoon: 07.12.2026 14:05:09.
  LocalTime now;
  double secondsSinceMidnight = 50709.25;
  std::vector<int> sleeps;  // every SleepMs, in order

  void Set(int year, int month, int day, int hour, int minute, int second);

  LocalTime Now() override { return now; }
  std::string ShortDate(const LocalTime& t) override;   // "07.12.2026"
  std::string LongTime(const LocalTime& t) override;    // "14:05:09"
  std::string WeekdayName(const LocalTime& t) override;  // "Montag"
  double SecondsSinceMidnight() override { return secondsSinceMidnight; }
  void SleepMs(int ms) override { sleeps.push_back(ms); }
};

}  // namespace zelvo
