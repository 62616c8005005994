#include "fakes/fake_clock.h"

#include <cstdio>

namespace zelvo {
namespace {

// Day of the week by Sakamoto's method, 0 = Sunday.
int Weekday(int y, int m, int d) {
  static const int t[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  if (m < 3) y -= 1;
  return (y + y / 4 - y / 100 + y / 400 + t[m - 1] + d) % 7;
}

}  // namespace

FakeClock::FakeClock() { Set(2026, 12, 7, 14, 5, 9); }

void FakeClock::Set(int year, int month, int day, int hour, int minute, int second) {
  now = {year, month, day, hour, minute, second, Weekday(year, month, day)};
  secondsSinceMidnight = hour * 3600 + minute * 60 + second + 0.25;
}

std::string FakeClock::ShortDate(const LocalTime& t) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", t.day, t.month, t.year);
  return buf;
}

std::string FakeClock::LongTime(const LocalTime& t) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour, t.minute, t.second);
  return buf;
}

std::string FakeClock::WeekdayName(const LocalTime& t) {
  static const char* const names[] = {"Sonntag",    "Montag",  "Dienstag", "Mittwoch",
                                      "Donnerstag", "Freitag", "Samstag"};
  return names[((t.weekday % 7) + 7) % 7];
}

}  // namespace zelvo
