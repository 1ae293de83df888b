// Template parts of TCustomDriver; included by uCustomDriver.h only.
#pragma once
#include <type_traits>

#include "common/Common.Log.h"
#include "common/Text.h"

template <typename AClass>
TClassReg& TCustomDriver::RegisterClass(const std::u16string& AExtension) {
  TClassReg& Reg = ClassRegList().RegisterClass(
      []() -> std::unique_ptr<TV8UserObject> {
        auto Object = std::make_unique<AClass>();
        AClass::AfterCreate(*Object);
        return Object;
      }, AExtension, AExtension);
  // Every method before any property, each in the walk's order.
  AClass::EnumerateClass(TDeclarationVisitor{
      [&Reg](const TMethodDecl& D) {
        Reg.AddFunc(std::u16string(D.Name), std::u16string(D.Attr.NameLoc), D.Execute, D.Attr.ParamCount);
      },
      {}, {}});
  AClass::EnumerateClass(TDeclarationVisitor{
      {},
      [&Reg](const TPropDecl& D) {
        Reg.AddProp(std::u16string(D.Name), std::u16string(D.Attr.NameLoc), true, !D.Attr.ReadOnly,
                    [](TV8UserObject& ASelf, const std::u16string& AName, PV8Variant AValue, bool AGet,
                       TV8AddInDefBaseEx*& V8) {
                      return static_cast<TCustomDriver&>(ASelf).PropertyGetSet(AName, AValue, AGet, V8);
                    });
      },
      {}});
  return Reg;
}

template <typename AClass>
TClassReg& TCustomDriver::RegisterDriver(const std::u16string& AExtension) {
  TClassReg& Reg = RegisterClass<AClass>(AExtension);
  SetDriverExtension(AExtension);
  Common::Log::SetLogName(AExtension);
  Common::Log::WriteLogHeader();
  return Reg;
}

template <auto AMethod>
bool TCustomDriver::MethodEntry(TV8UserObject& ASelf, PV8Variant RetValue, PV8ParamArray Params,
                                std::int32_t ParamCount, TV8AddInDefBaseEx*& V8) {
  using TClass = typename declarations_detail::MemberClass<decltype(AMethod)>::Type;
  return (static_cast<TClass&>(ASelf).*AMethod)(RetValue, Params, ParamCount, V8);
}

template <auto AMethod>
void TCustomDriver::ActionEntry(TCustomDriver& ASelf) {
  using TClass = typename declarations_detail::MemberClass<decltype(AMethod)>::Type;
  (static_cast<TClass&>(ASelf).*AMethod)();
}

template <typename T>
void TCustomDriver::ReadHostValue(T& ATarget, const V8Variant* AValue) {
  constexpr TPropKind Kind = declarations_detail::KindOf<T>();
  if constexpr (Kind == TPropKind::pkInteger) {
    ATarget = static_cast<T>(V8GetInt(AValue));
  } else if constexpr (Kind == TPropKind::pkBoolean) {
    ATarget = V8GetBool(AValue);
  } else if constexpr (Kind == TPropKind::pkFloat) {
    ATarget = static_cast<T>(V8GetDouble(AValue));
  } else if constexpr (Kind == TPropKind::pkString) {
    if (!V8IsString(AValue)) RaiseValueTypeUnacceptable();
    if constexpr (std::is_same_v<T, std::string>)
      ATarget = ToUtf8(V8GetWString(AValue));
    else if constexpr (std::is_same_v<T, std::wstring>)
      ATarget = ToWide(V8GetWString(AValue));
    else
      ATarget = V8GetWString(AValue);
  } else {
    (void)ATarget;
    (void)AValue;
    RaisePropertyTypeUnacceptable();
  }
}

template <typename T>
void TCustomDriver::WriteHostValue(const T& ASource, PV8Variant AValue) const {
  constexpr TPropKind Kind = declarations_detail::KindOf<T>();
  if constexpr (Kind == TPropKind::pkInteger) {
    V8SetInt(AValue, static_cast<std::int32_t>(ASource));
  } else if constexpr (Kind == TPropKind::pkBoolean) {
    V8SetBool(AValue, ASource);
  } else if constexpr (Kind == TPropKind::pkFloat) {
    V8SetDouble(AValue, static_cast<double>(ASource));
  } else if constexpr (Kind == TPropKind::pkString) {
    if constexpr (std::is_same_v<T, std::string>)
      SetOutputText(AValue, ToUtf16(ASource));
    else if constexpr (std::is_same_v<T, std::wstring>)
      SetOutputText(AValue, FromWide(ASource));
    else
      SetOutputText(AValue, ASource);
  } else {
    (void)ASource;
    (void)AValue;
    RaisePropertyTypeUnacceptable();
  }
}

template <auto AField>
TPropDecl TCustomDriver::FieldProperty(std::u16string_view AName, ExportPropAttribute AAttr) {
  using TClass = typename declarations_detail::MemberClass<decltype(AField)>::Type;
  using TValue = std::remove_cvref_t<decltype(std::declval<TClass&>().*AField)>;
  return TPropDecl{
      AName, AAttr, declarations_detail::KindOf<TValue>(),
      [](TCustomDriver& ASelf, PV8Variant AValue) { ASelf.WriteHostValue(static_cast<TClass&>(ASelf).*AField, AValue); },
      [](TCustomDriver& ASelf, const V8Variant* AValue) { ReadHostValue(static_cast<TClass&>(ASelf).*AField, AValue); }};
}

template <auto AGetter, auto ASetter>
TPropDecl TCustomDriver::AccessorProperty(std::u16string_view AName, ExportPropAttribute AAttr) {
  using TClass = typename declarations_detail::MemberClass<decltype(AGetter)>::Type;
  using TValue = std::remove_cvref_t<decltype((std::declval<TClass&>().*AGetter)())>;
  return TPropDecl{AName, AAttr, declarations_detail::KindOf<TValue>(),
                   [](TCustomDriver& ASelf, PV8Variant AValue) {
                     ASelf.WriteHostValue((static_cast<TClass&>(ASelf).*AGetter)(), AValue);
                   },
                   [](TCustomDriver& ASelf, const V8Variant* AValue) {
                     TValue Value{};
                     ReadHostValue(Value, AValue);
                     (static_cast<TClass&>(ASelf).*ASetter)(Value);
                   }};
}

template <typename TWork>
bool TCustomDriver::ExportedFrame(PV8Variant RetValue, TWork&& AWork) {
  return ExportedFrame(RetValue, std::forward<TWork>(AWork), [](const std::exception_ptr&) noexcept {});
}

template <typename TWork, typename TOnFailure>
bool TCustomDriver::ExportedFrame(PV8Variant RetValue, TWork&& AWork, TOnFailure&& AOnFailure) {
  try {
    AWork();
    SetSuccess(RetValue);
  } catch (...) {
    const std::exception_ptr Failure = std::current_exception();
    HandleException(Failure, RetValue, kDriverErrorCode);
    AOnFailure(Failure);
  }
  return true;
}
