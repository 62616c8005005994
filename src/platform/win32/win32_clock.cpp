#include "platform/win32/win32_clock.h"

#include <windows.h>

#include "platform/win32/wide.h"

namespace zelvo {
namespace {

SYSTEMTIME ToSystemTime(const LocalTime& t) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(t.year);
  st.wMonth = static_cast<WORD>(t.month);
  st.wDay = static_cast<WORD>(t.day);
  st.wDayOfWeek = static_cast<WORD>(t.weekday);
  st.wHour = static_cast<WORD>(t.hour);
  st.wMinute = static_cast<WORD>(t.minute);
  st.wSecond = static_cast<WORD>(t.second);
  // The weekday follows from the date; a caller's stale value must not show.
  FILETIME ft;
  SYSTEMTIME normal;
  if (SystemTimeToFileTime(&st, &ft) && FileTimeToSystemTime(&ft, &normal)) return normal;
  return st;
}

// `format` is a picture ("dddd") or null for the locale's format in `flags`.
std::string FormatDate(const LocalTime& t, DWORD flags, const wchar_t* format) {
  SYSTEMTIME st = ToSystemTime(t);
  wchar_t buffer[128];
  int n = GetDateFormatW(LOCALE_USER_DEFAULT, flags, &st, format, buffer, 128);
  return n > 0 ? Narrow(buffer, static_cast<size_t>(n - 1)) : std::string();
}

}  // namespace

LocalTime Win32Clock::Now() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  LocalTime t;
  t.year = st.wYear;
  t.month = st.wMonth;
  t.day = st.wDay;
  t.hour = st.wHour;
  t.minute = st.wMinute;
  t.second = st.wSecond;
  t.weekday = st.wDayOfWeek;
  return t;
}

std::string Win32Clock::ShortDate(const LocalTime& t) { return FormatDate(t, DATE_SHORTDATE, nullptr); }

std::string Win32Clock::WeekdayName(const LocalTime& t) { return FormatDate(t, 0, L"dddd"); }

std::string Win32Clock::LongTime(const LocalTime& t) {
  SYSTEMTIME st = ToSystemTime(t);
  wchar_t buffer[128];
  int n = GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, buffer, 128);
  return n > 0 ? Narrow(buffer, static_cast<size_t>(n - 1)) : std::string();
}

double Win32Clock::SecondsSinceMidnight() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return st.wHour * 3600.0 + st.wMinute * 60.0 + st.wSecond + st.wMilliseconds / 1000.0;
}

void Win32Clock::SleepMs(int ms) { Sleep(ms > 0 ? static_cast<DWORD>(ms) : 0); }

}  // namespace zelvo
