#pragma once
// Declarations attached to a driver's members. A driver class lists, right
// beside each exported method, property or additional action, the
// declaration that registration, property access by name, the actions
// document and the generated parameters document read:
//
//   class TMyDriver : public TCommonDriver {
//     QV_DECLARATIONS(TMyDriver, TCommonDriver)
//   public:
//     QV_EXPORT_METH(DoIt, u"Сделать", 1)
//     bool DoIt(PV8Variant RetValue, PV8ParamArray Params, std::int32_t ParamCount, TV8AddInDefBaseEx* v8);
//
//     QV_EXPORT_PROP_FIELD(Speed, FSpeed, u"Скорость", u"Скорость", u"10", false)
//     std::int32_t FSpeed = 0;
//
//     QV_ADDITIONAL_ACTION(Reset, u"Сбросить")
//     void Reset();
//     QV_END_DECLARATIONS()
//   };
//
// A member may carry several declarations; each counts on its own. The
// declarations of a class are visited in the order written, and a derived
// class's before its parent's.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "napi/ClassRegistry.h"

class TCustomDriver;

struct ExportMethAttribute {
  std::u16string_view NameLoc;
  std::int32_t ParamCount;
};

struct ExportPropAttribute {
  std::u16string_view NameLoc;
  std::u16string_view Caption;
  std::u16string_view DefValue;
  bool ReadOnly;
};

struct AdditionalActionAttribute {
  std::u16string_view Caption;
};

// How a property's declared type maps onto host values.
enum class TPropKind : std::uint8_t {
  pkInteger,     // any integer type (the host sees a 32-bit integer)
  pkBoolean,     // bool itself
  pkEnumeration, // any other enumeration: refused
  pkFloat,       // floating point
  pkString,      // Unicode (UTF-16), narrow (UTF-8) or wide string
  pkCharacter,   // a single character: refused by access, "String" in documents
  pkOther,       // anything else: refused
};

using TPropGet = void (*)(TCustomDriver& ASelf, PV8Variant AValue);
using TPropSet = void (*)(TCustomDriver& ASelf, const V8Variant* AValue);
using TActionRun = void (*)(TCustomDriver& ASelf);

struct TMethodDecl {
  std::u16string_view Name;
  ExportMethAttribute Attr;
  TV8CallAsFunc Execute;
};

struct TPropDecl {
  std::u16string_view Name;
  ExportPropAttribute Attr;
  TPropKind Kind;
  TPropGet Get;
  TPropSet Set;
};

struct TActionDecl {
  std::u16string_view Name;
  AdditionalActionAttribute Attr;
  TActionRun Run;
};

// Receives declarations during a walk; each callback may be left empty.
struct TDeclarationVisitor {
  std::function<void(const TMethodDecl&)> OnMethod;
  std::function<void(const TPropDecl&)> OnProperty;
  std::function<void(const TActionDecl&)> OnAction;
};

// The shape of an exported method: the host's result slot, its parameter
// array, the count it passed and its services; answers the host-level outcome.
template <typename TClass>
using TV8HostMethod = bool (TClass::*)(PV8Variant RetValue, PV8ParamArray Params, std::int32_t ParamCount,
                                       TV8AddInDefBaseEx* v8);

template <int N>
using TDeclIndex = std::integral_constant<int, N>;

namespace declarations_detail {

template <typename T>
struct MemberClass;
template <typename TClass, typename TMember>
struct MemberClass<TMember TClass::*> {
  using Type = TClass;
};

template <typename T>
constexpr TPropKind KindOf() {
  using U = std::remove_cv_t<T>;
  if constexpr (std::is_same_v<U, bool>) return TPropKind::pkBoolean;
  else if constexpr (std::is_same_v<U, char> || std::is_same_v<U, wchar_t> || std::is_same_v<U, char16_t> ||
                     std::is_same_v<U, char32_t> || std::is_same_v<U, char8_t>)
    return TPropKind::pkCharacter;
  else if constexpr (std::is_enum_v<U>) return TPropKind::pkEnumeration;
  else if constexpr (std::is_integral_v<U>) return TPropKind::pkInteger;
  else if constexpr (std::is_floating_point_v<U>) return TPropKind::pkFloat;
  else if constexpr (std::is_same_v<U, std::u16string> || std::is_same_v<U, std::string> ||
                     std::is_same_v<U, std::wstring>)
    return TPropKind::pkString;
  else return TPropKind::pkOther;
}

}  // namespace declarations_detail

// Opens a class's declarations. Must be the first thing in the class body.
#define QV_DECLARATIONS(Self, Parent)                                                      \
 public:                                                                                   \
  using TDeclSelf = Self;                                                                  \
  using TDeclParent = Parent;                                                              \
                                                                                           \
 private:                                                                                  \
  static constexpr int kDeclBase = __COUNTER__;                                            \
  template <int N>                                                                         \
  static void DeclareAt(const TDeclarationVisitor&, TDeclIndex<N>) {}                      \
                                                                                           \
 public:

#define QV_DECL_INDEX TDeclIndex<__COUNTER__ - kDeclBase>

// An exported method of the host-method shape, entered as a function.
#define QV_EXPORT_METH(Name, NameLoc, ParamCount)                                           \
  static void DeclareAt(const TDeclarationVisitor& AVisitor, QV_DECL_INDEX) {              \
    if (AVisitor.OnMethod)                                                                  \
      AVisitor.OnMethod(TMethodDecl{u"" #Name, ExportMethAttribute{NameLoc, ParamCount},   \
                                    &TCustomDriver::MethodEntry<static_cast<TV8HostMethod<TDeclSelf>>(&TDeclSelf::Name)>});        \
  }

// An exported property backed directly by a field.
#define QV_EXPORT_PROP_FIELD(Name, Field, NameLoc, Caption, DefValue, ReadOnly)             \
  static void DeclareAt(const TDeclarationVisitor& AVisitor, QV_DECL_INDEX) {              \
    if (AVisitor.OnProperty)                                                                \
      AVisitor.OnProperty(TCustomDriver::FieldProperty<&TDeclSelf::Field>(                  \
          u"" #Name, ExportPropAttribute{NameLoc, Caption, DefValue, ReadOnly}));          \
  }

// An exported property read and written through member functions.
#define QV_EXPORT_PROP(Name, Getter, Setter, NameLoc, Caption, DefValue, ReadOnly)          \
  static void DeclareAt(const TDeclarationVisitor& AVisitor, QV_DECL_INDEX) {              \
    if (AVisitor.OnProperty)                                                                \
      AVisitor.OnProperty(TCustomDriver::AccessorProperty<&TDeclSelf::Getter, &TDeclSelf::Setter>( \
          u"" #Name, ExportPropAttribute{NameLoc, Caption, DefValue, ReadOnly}));          \
  }

// An additional action: a parameterless member function without result.
#define QV_ADDITIONAL_ACTION(Name, Caption)                                                 \
  static void DeclareAt(const TDeclarationVisitor& AVisitor, QV_DECL_INDEX) {              \
    if (AVisitor.OnAction)                                                                  \
      AVisitor.OnAction(TActionDecl{u"" #Name, AdditionalActionAttribute{Caption},         \
                                    &TCustomDriver::ActionEntry<&TDeclSelf::Name>});        \
  }

// Closes a class's declarations: the walk over this class, then its parent.
#define QV_END_DECLARATIONS()                                                               \
 private:                                                                                   \
  static constexpr int kDeclCount = __COUNTER__ - kDeclBase;                               \
  template <int... I>                                                                       \
  static void DeclareOwn(const TDeclarationVisitor& AVisitor, std::integer_sequence<int, I...>) { \
    (DeclareAt(AVisitor, TDeclIndex<I + 1>{}), ...);                                        \
  }                                                                                         \
                                                                                           \
 public:                                                                                   \
  static void EnumerateClass(const TDeclarationVisitor& AVisitor) {                         \
    DeclareOwn(AVisitor, std::make_integer_sequence<int, kDeclCount - 1>{});                \
    TDeclParent::EnumerateClass(AVisitor);                                                  \
  }                                                                                         \
  void EnumerateDeclarations(const TDeclarationVisitor& AVisitor) const override {          \
    EnumerateClass(AVisitor);                                                               \
  }
