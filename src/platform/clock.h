// Time of day, the user's regional formats and waiting.
#pragma once

#include <string>

namespace zelvo {

struct LocalTime {
  int year = 0, month = 0, day = 0;      // month 1-12, day 1-31
  int hour = 0, minute = 0, second = 0;  // 24-hour clock
  int weekday = 0;                       // 0 = Sunday ... 6 = Saturday
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime Now() = 0;
  // The system's short date ("07.12.2026" on German Windows).
  virtual std::string ShortDate(const LocalTime& t) = 0;
  // The system's long time format, with seconds ("14:05:09").
  virtual std::string LongTime(const LocalTime& t) = 0;
  // Full weekday name in the user's language ("Montag").
  virtual std::string WeekdayName(const LocalTime& t) = 0;
  // Seconds since midnight, used to reseed the random source.
  virtual double SecondsSinceMidnight() = 0;
  virtual void SleepMs(int ms) = 0;
};

// The system's general date-and-time text ("07.12.2026 14:05:09").
inline std::string GeneralDateTime(Clock& clock, const LocalTime& t) {
  return clock.ShortDate(t) + " " + clock.LongTime(t);
}

}  // namespace zelvo
