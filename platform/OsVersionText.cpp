#include "platform/OsVersion.h"

#include "common/Text.h"

namespace platform {

namespace {

constexpr unsigned kPlatformNT = 2;

struct TVersionRow {
  unsigned Major;
  unsigned Minor;
  std::u16string_view Name;
};

// Rows keyed by major.minor; 4.0 and major 3 are told apart separately.
constexpr TVersionRow kRows[] = {
    {4, 10, u"Windows 98"},    {4, 90, u"Windows ME"},    {5, 0, u"Windows 2000"},
    {5, 1, u"Windows XP"},     {5, 2, u"Windows 2003"},   {6, 0, u"Windows Vista"},
    {6, 1, u"Windows 7"},      {6, 2, u"Windows 8.0"},    {6, 3, u"Windows 8.1"},
    {10, 0, u"Windows 10"},
};

}  // namespace

std::u16string_view WindowsVersionName(const TOSVersion& AVersion) noexcept {
  if (AVersion.Major == 3) return u"Windows NT 3";
  if (AVersion.Major == 4 && AVersion.Minor == 0)
    return AVersion.PlatformId == kPlatformNT ? u"Windows NT 4" : u"Windows 95";
  for (const TVersionRow& Row : kRows)
    if (Row.Major == AVersion.Major && Row.Minor == AVersion.Minor) return Row.Name;
  return u"Unknown";
}

std::u16string FormatOSVersionText(std::u16string_view AName, const TOSVersion& AVersion) {
  std::u16string Text(AName);
  Text += u' ';
  if (!AVersion.ServicePack.empty()) {
    Text += AVersion.ServicePack;
    Text += u' ';
  }
  Text += u'(';
  Text += IntToText(AVersion.Major);
  Text += u'.';
  Text += IntToText(AVersion.Minor);
  Text += u'.';
  Text += IntToText(AVersion.Build);
  Text += u')';
  return Text;
}

}  // namespace platform
