#pragma once
// The registry of extension classes: which classes the add-in offers, and
// for each class its properties and methods with their names, flags,
// parameter counts, default values and routines. Filled while the library
// loads, read-only afterwards. Positions are the indexes the host sees.
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "napi/V8UserObject.h"

// Routine shapes. Each runs on the object the host calls; the last argument
// is the object's host-services connection.
using TV8CallAsFunc = bool (*)(TV8UserObject& ASelf, PV8Variant RetValue, PV8ParamArray Params,
                               std::int32_t ParamCount, TV8AddInDefBaseEx*& V8);
using TV8CallAsProc = bool (*)(TV8UserObject& ASelf, PV8ParamArray Params, std::int32_t ParamCount,
                               TV8AddInDefBaseEx*& V8);
using TV8PropertyGetSet = bool (*)(TV8UserObject& ASelf, const std::u16string& PropName, PV8Variant propValue,
                                   bool Get, TV8AddInDefBaseEx*& V8);
// The class reference: constructs one object of the class.
using TV8UserClass = std::unique_ptr<TV8UserObject> (*)();

struct TDefParamValue {
  std::int32_t Num = 0;
  V8Variant Value{};
};

class TDefParamList {
public:
  PV8Variant AddParam(std::int32_t Num);
  void AddInt(std::int32_t V, std::int32_t ParamNum);
  void AddDouble(double V, std::int32_t ParamNum);
  void AddBool(bool V, std::int32_t ParamNum);
  void AddWString(const char16_t* V, std::int32_t ParamNum);
  void AddAString(const char* V, std::int32_t ParamNum);
  void AddDate(TDateTime V, std::int32_t ParamNum);

  std::int32_t ValueCount() const noexcept { return static_cast<std::int32_t>(Values.size()); }
  // The entry at a position, or null outside the list.
  const TDefParamValue* At(std::int32_t AIndex) const noexcept;
  // The value record of the entry added last; null while the list is empty.
  PV8Variant TempParam = nullptr;

private:
  // A deque keeps earlier records where they are when entries are added.
  std::deque<TDefParamValue> Values;
};

struct TPropReg {
  std::u16string PropName;
  std::u16string PropNameLoc;
  bool IsReadable = false;
  bool IsWritable = false;
  TV8PropertyGetSet PropGetSet = nullptr;
};

struct TMethReg {
  std::u16string MethName;
  std::u16string MethNameLoc;
  bool IsFunction = false;
  std::int32_t ParamCount = 0;
  TDefParamList DefParams;
  TV8CallAsFunc ExecuteFunc = nullptr;
  TV8CallAsProc ExecuteProc = nullptr;
};

class TClassReg {
public:
  TClassReg(TV8UserClass AUserClass, std::u16string ARegisterExtensionAs, std::u16string ANatApiClassName);

  TMethReg& AddFunc(std::u16string MethName, std::u16string MethNameLoc, TV8CallAsFunc ExecuteProc,
                    std::int32_t ParamCount);
  TMethReg& AddProc(std::u16string MethName, std::u16string MethNameLoc, TV8CallAsProc ExecuteProc,
                    std::int32_t ParamCount);
  void AddProp(std::u16string PropName, std::u16string PropNameLoc, bool IsReadable, bool IsWritable,
               TV8PropertyGetSet PropGetSet);

  std::int32_t PropCount() const noexcept { return static_cast<std::int32_t>(PropList.size()); }
  std::int32_t MethCount() const noexcept { return static_cast<std::int32_t>(MethList.size()); }
  // Records by position; null outside the lists.
  // Inline: every call looks its method up. A negative index, taken as
  // unsigned, is past the end.
  const TPropReg* Prop(std::int64_t AIndex) const noexcept {
    const auto Index = static_cast<std::uint64_t>(AIndex);
    return Index < PropList.size() ? PropList[Index].get() : nullptr;
  }
  const TMethReg* Meth(std::int64_t AIndex) const noexcept {
    const auto Index = static_cast<std::uint64_t>(AIndex);
    return Index < MethList.size() ? MethList[Index].get() : nullptr;
  }
  // Positions by name: the local name, then the English one; -1 if none.
  std::int32_t FindProp(std::u16string_view AName) const noexcept;
  std::int32_t FindMethod(std::u16string_view AName) const noexcept;

  const TV8UserClass UserClass;
  const std::u16string RegisterExtensionAs;
  const std::u16string NatApiClassName;

private:
  TMethReg& AddMethod(std::u16string MethName, std::u16string MethNameLoc, bool IsFunction,
                      std::int32_t ParamCount);
  std::vector<std::unique_ptr<TPropReg>> PropList;
  std::vector<std::unique_ptr<TMethReg>> MethList;
};

class TClassRegList {
public:
  TClassReg& RegisterClass(TV8UserClass UserClass, std::u16string RegisterExtensionAs,
                           std::u16string NatApiClassName);
  std::int32_t ClassCount() const noexcept { return static_cast<std::int32_t>(ClassList.size()); }
  const TClassReg& Class(std::int32_t AIndex) const { return *ClassList.at(static_cast<std::size_t>(AIndex)); }
  // The first class registered under exactly this name, or null.
  const TClassReg* FindClass(std::u16string_view ANatApiClassName) const noexcept;
  // Every registered name, in order, separated by "|"; zero-terminated.
  const char16_t* ClassNames() const noexcept { return FClassNames.c_str(); }
  // Forgets every class after the first ACount: what a registration that
  // failed half-way had entered.
  void TruncateTo(std::int32_t ACount) noexcept;

  // A registration that failed while the library loaded, kept until it can
  // be reported outside the load (empty when none failed).
  void SetLoadFailure(std::u16string AMessage) noexcept { FLoadFailure = std::move(AMessage); }
  std::u16string TakeLoadFailure() noexcept { return std::exchange(FLoadFailure, std::u16string()); }

private:
  std::vector<std::unique_ptr<TClassReg>> ClassList;
  std::u16string FClassNames;
  std::u16string FLoadFailure;
};

// The process-wide registry, created on first use.
TClassRegList& ClassRegList();
