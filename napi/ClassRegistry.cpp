#include "napi/ClassRegistry.h"

#include <cstring>

#include "common/Text.h"

PV8Variant TDefParamList::AddParam(std::int32_t Num) {
  TDefParamValue& Entry = Values.emplace_back();
  Entry.Num = Num - 1;
  TempParam = &Entry.Value;
  return TempParam;
}

void TDefParamList::AddInt(std::int32_t V, std::int32_t ParamNum) {
  PV8Variant R = AddParam(ParamNum);
  R->vt = VTYPE_I4;
  R->VarEnum.lVal = V;
}

void TDefParamList::AddDouble(double V, std::int32_t ParamNum) {
  PV8Variant R = AddParam(ParamNum);
  R->vt = VTYPE_R8;
  R->VarEnum.dblVal = V;
}

void TDefParamList::AddBool(bool V, std::int32_t ParamNum) {
  PV8Variant R = AddParam(ParamNum);
  R->vt = VTYPE_BOOL;
  R->VarEnum.bVal = V ? 1 : 0;
}

void TDefParamList::AddWString(const char16_t* V, std::int32_t ParamNum) {
  PV8Variant R = AddParam(ParamNum);
  R->vt = VTYPE_PWSTR;
  R->VarEnum.vtRecWideString.pwstrVal = const_cast<char16_t*>(V);
  R->VarEnum.vtRecWideString.wstrLen = static_cast<std::uint32_t>(WideLength(V));
}

void TDefParamList::AddAString(const char* V, std::int32_t ParamNum) {
  PV8Variant R = AddParam(ParamNum);
  R->vt = VTYPE_PSTR;
  R->VarEnum.vtRecString.pstrVal = const_cast<char*>(V);
  R->VarEnum.vtRecString.strLen = V == nullptr ? 0 : static_cast<std::uint32_t>(std::strlen(V));
}

void TDefParamList::AddDate(TDateTime V, std::int32_t ParamNum) {
  PV8Variant R = AddParam(ParamNum);
  R->vt = VTYPE_DATE;
  R->VarEnum.date = V.Value;
}

const TDefParamValue* TDefParamList::At(std::int32_t AIndex) const noexcept {
  return AIndex >= 0 && AIndex < ValueCount() ? &Values[static_cast<std::size_t>(AIndex)] : nullptr;
}

TClassReg::TClassReg(TV8UserClass AUserClass, std::u16string ARegisterExtensionAs, std::u16string ANatApiClassName)
    : UserClass(AUserClass),
      RegisterExtensionAs(std::move(ARegisterExtensionAs)),
      NatApiClassName(std::move(ANatApiClassName)) {}

TMethReg& TClassReg::AddMethod(std::u16string MethName, std::u16string MethNameLoc, bool IsFunction,
                               std::int32_t ParamCount) {
  auto Meth = std::make_unique<TMethReg>();
  Meth->MethName = std::move(MethName);
  Meth->MethNameLoc = std::move(MethNameLoc);
  Meth->IsFunction = IsFunction;
  Meth->ParamCount = ParamCount;
  return *MethList.emplace_back(std::move(Meth));
}

TMethReg& TClassReg::AddFunc(std::u16string MethName, std::u16string MethNameLoc, TV8CallAsFunc ExecuteProc,
                             std::int32_t ParamCount) {
  TMethReg& Meth = AddMethod(std::move(MethName), std::move(MethNameLoc), true, ParamCount);
  Meth.ExecuteFunc = ExecuteProc;
  return Meth;
}

TMethReg& TClassReg::AddProc(std::u16string MethName, std::u16string MethNameLoc, TV8CallAsProc ExecuteProc,
                             std::int32_t ParamCount) {
  TMethReg& Meth = AddMethod(std::move(MethName), std::move(MethNameLoc), false, ParamCount);
  Meth.ExecuteProc = ExecuteProc;
  return Meth;
}

void TClassReg::AddProp(std::u16string PropName, std::u16string PropNameLoc, bool IsReadable, bool IsWritable,
                        TV8PropertyGetSet PropGetSet) {
  auto Prop = std::make_unique<TPropReg>();
  Prop->PropName = std::move(PropName);
  Prop->PropNameLoc = std::move(PropNameLoc);
  Prop->IsReadable = IsReadable;
  Prop->IsWritable = IsWritable;
  Prop->PropGetSet = PropGetSet;
  PropList.push_back(std::move(Prop));
}

// Lookups compare exactly: letter case is significant, and both the local
// and the English name are accepted whatever the host's locale.
std::int32_t TClassReg::FindProp(std::u16string_view AName) const noexcept {
  for (std::int32_t I = 0; I < PropCount(); ++I)
    if (PropList[static_cast<std::size_t>(I)]->PropNameLoc == AName ||
        PropList[static_cast<std::size_t>(I)]->PropName == AName)
      return I;
  return -1;
}

std::int32_t TClassReg::FindMethod(std::u16string_view AName) const noexcept {
  for (std::int32_t I = 0; I < MethCount(); ++I)
    if (MethList[static_cast<std::size_t>(I)]->MethNameLoc == AName ||
        MethList[static_cast<std::size_t>(I)]->MethName == AName)
      return I;
  return -1;
}

TClassReg& TClassRegList::RegisterClass(TV8UserClass UserClass, std::u16string RegisterExtensionAs,
                                        std::u16string NatApiClassName) {
  if (!FClassNames.empty()) FClassNames += u'|';
  FClassNames += NatApiClassName;
  return *ClassList.emplace_back(
      std::make_unique<TClassReg>(UserClass, std::move(RegisterExtensionAs), std::move(NatApiClassName)));
}

void TClassRegList::TruncateTo(std::int32_t ACount) noexcept {
  const auto Keep = static_cast<std::size_t>(ACount < 0 ? 0 : ACount);
  if (Keep >= ClassList.size()) return;
  ClassList.erase(ClassList.begin() + static_cast<std::ptrdiff_t>(Keep), ClassList.end());
  std::size_t Length = 0;
  for (std::size_t I = 0; I < Keep; ++I) Length += (I > 0 ? 1 : 0) + ClassList[I]->NatApiClassName.size();
  FClassNames.erase(Length);
}

const TClassReg* TClassRegList::FindClass(std::u16string_view ANatApiClassName) const noexcept {
  for (const auto& Reg : ClassList)
    if (Reg->NatApiClassName == ANatApiClassName) return Reg.get();
  return nullptr;
}

TClassRegList& ClassRegList() {
  static TClassRegList List;
  return List;
}
