#include "driver/EquipmentTypes.h"

#include <iterator>

#include "common/Exception.h"

namespace {

[[noreturn]] void RaiseEnumValue() { throw Exception(std::u16string(u"Enum value unacceptable")); }

}  // namespace

std::u16string EquipmentTypeName(int AType) {
  static constexpr const char16_t* kNames[] = {
      u"СканерШтрихкода", u"СчитывательМагнитныхКарт", u"ФискальныйРегистратор", u"ПринтерЧеков",
      u"ПринтерЭтикеток", u"ДисплейПокупателя", u"ТерминалСбораДанных", u"ЭквайринговыйТерминал",
      u"ЭлектронныеВесы", u"ВесыСПечатьюЭтикеток", u"СчитывательRFID", u"ККТ", u"Видеокамера",
      u"НеизвестныйТипОборудования"};
  if (AType < 0 || AType >= static_cast<int>(std::size(kNames))) RaiseEnumValue();
  return kNames[AType];
}

std::u16string ValueTypeName(int ACode) {
  static constexpr const char16_t* kNames[] = {u"String", u"Number", u"Boolean", u"Unknown"};
  if (ACode < 0 || ACode >= static_cast<int>(std::size(kNames))) RaiseEnumValue();
  return kNames[ACode];
}
