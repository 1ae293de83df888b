#pragma once
// A driver class of the tests' own, registered beside the emulated reader,
// with one property of every kind the declarations know.
#include "common/Exception.h"
#include "driver/uCommonDriver.h"

enum class TProbeColour { Red, Green };

inline constexpr char16_t kProbeDriver[] = u"ProbeDriver";

class TProbeDriver : public TCommonDriver {
  QV_DECLARATIONS(TProbeDriver, TCommonDriver)

public:
  QV_EXPORT_METH(Twice, u"Дважды", 0)
  QV_EXPORT_METH(Twice, u"ДваждыЕщё", 1)
  bool Twice(PV8Variant RetValue, PV8ParamArray, std::int32_t, TV8AddInDefBaseEx*) {
    return ExportedFrame(RetValue, [&] { ++Runs; });
  }

  QV_EXPORT_PROP_FIELD(Count, FCount, u"Количество", u"Количество", u"0", false)
  std::int32_t FCount = 0;
  QV_EXPORT_PROP_FIELD(Title, FTitle, u"Заголовок", u"Заголовок", u"", false)
  std::u16string FTitle;
  QV_EXPORT_PROP_FIELD(Serial, FSerial, u"Серийный", u"Серийный номер", u"SN", true)
  std::u16string FSerial = u"SN-1";
  QV_EXPORT_PROP_FIELD(Ratio, FRatio, u"Доля", u"Доля", u"0.5", false)
  double FRatio = 0.25;
  QV_EXPORT_PROP_FIELD(Letter, FLetter, u"Буква", u"Буква", u"A", false)
  char16_t FLetter = u'A';
  QV_EXPORT_PROP_FIELD(Colour, FColour, u"Цвет", u"Цвет", u"Red", false)
  TProbeColour FColour = TProbeColour::Red;

  QV_ADDITIONAL_ACTION(Reset, u"Сбросить")
  QV_ADDITIONAL_ACTION(Reset, u"Сбросить снова")
  void Reset() { ++Resets; }

  void Open() override {
    if (OpenFails) throw Exception(std::u16string(u"Порт занят"));
    TCommonDriver::Open();
  }
  void Close() override {
    ++Closes;
    TCommonDriver::Close();
  }

  QV_END_DECLARATIONS()

public:
  int Runs = 0;
  int Resets = 0;
  int Closes = 0;
  bool OpenFails = false;

protected:
  std::u16string ParametersResourceName() const override { return u"NoSuchTemplate"; }
};
