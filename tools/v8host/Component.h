#pragma once
// One component object, driven the way the platform drives it: created with
// GetClassObject, given the memory manager and the services, told the
// locale, asked for its extension name; then looked up and called; finally
// Done and DestroyObject (in the destructor).
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "v8host/ComponentObject.h"
#include "v8host/Host.h"
#include "v8host/Library.h"
#include "v8host/Records.h"
#include "v8host/Value.h"

namespace v8host {

struct TStartOptions {
  bool SetMemManager = true;
  bool Init = true;
  std::optional<std::u16string> Locale = u"ru_RU";  // nullopt: SetLocale is not called
  bool RegisterExtension = true;
};

struct TCallOptions {
  TPlacement Placement = TPlacement::plHeap;
  TStringStorage Strings = TStringStorage::ssMemoryManager;
  bool GarbageInUnusedBytes = false;  // see TRecordArray::FillUnusedBytes
  // The count passed to the add-in; by default the number of values.
  std::optional<TV8Long> Count;
};

struct TCallResult {
  bool Ok = false;              // the operation's answer
  TValue Result;                // CallAsFunc and GetPropVal: the result record
  std::vector<TValue> Params;   // the parameter records after the call
};

struct TMethodInfo {
  TV8Long Index = -1;
  std::u16string Name;       // alias 0
  std::u16string LocalName;  // alias 1
  TV8Long ParamCount = 0;
  bool HasRetVal = false;
};

struct TPropInfo {
  TV8Long Index = -1;
  std::u16string Name;
  std::u16string LocalName;
  bool Readable = false;
  bool Writable = false;
};

class TComponent {
 public:
  // Throws THostError when GetClassObject answers 0.
  TComponent(const TAddinLibrary& ALibrary, THost& AHost, std::u16string_view AClassName,
             const TStartOptions& AOptions = {});
  ~TComponent();  // Finish()
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  // Done, then DestroyObject (once); answers DestroyObject's result.
  TV8Long Finish();

  TComponentObject& Raw() noexcept { return FObject; }
  THost& Host() noexcept { return FHost; }
  // The start sequence's answers.
  bool InitAnswer() const noexcept { return FInitAnswer; }
  bool SetMemManagerAnswer() const noexcept { return FSetMemManagerAnswer; }
  bool RegisterAnswer() const noexcept { return FRegisterAnswer; }
  // RegisterExtensionAs's name (nullopt when it gave none).
  const std::optional<std::u16string>& ExtensionName() const noexcept { return FExtensionName; }

  // Lookups. The names the add-in returns are freed with the memory
  // manager, as the platform does; nullopt when it answered null.
  TV8Long MethodCount();
  TV8Long PropCount();
  TV8Long FindMethod(std::u16string_view AName);
  TV8Long FindProp(std::u16string_view AName);
  std::optional<std::u16string> MethodName(TV8Long AIndex, TV8Long AAlias);
  std::optional<std::u16string> PropName(TV8Long AIndex, TV8Long AAlias);
  TV8Long ParamCount(TV8Long AMethod);
  bool HasRetVal(TV8Long AMethod);
  bool IsPropReadable(TV8Long AProp);
  bool IsPropWritable(TV8Long AProp);
  // The default of parameter AParam; nullopt when the add-in answers false.
  // The record's payload belongs to the add-in and is not freed.
  std::optional<TValue> ParamDefValue(TV8Long AMethod, TV8Long AParam);
  std::vector<TMethodInfo> Methods();
  std::vector<TPropInfo> Props();
  // FindMethod / FindProp that throw THostError for an unknown name.
  TV8Long MethodIndex(std::u16string_view AName);
  TV8Long PropIndex(std::u16string_view AName);

  // Calls. Parameters are built in a fresh record array (texts allocated
  // with the memory manager unless told otherwise), read back after the
  // call; every text or blob left in the records is then freed with the
  // memory manager, as the platform frees its variables.
  TCallResult CallAsFunc(TV8Long AMethod, const std::vector<TValue>& AParams = {}, const TCallOptions& AOptions = {});
  TCallResult CallAsFunc(std::u16string_view AName, const std::vector<TValue>& AParams = {},
                         const TCallOptions& AOptions = {});
  TCallResult CallAsProc(TV8Long AMethod, const std::vector<TValue>& AParams = {}, const TCallOptions& AOptions = {});
  TCallResult CallAsProc(std::u16string_view AName, const std::vector<TValue>& AParams = {},
                         const TCallOptions& AOptions = {});
  // CallAsFunc or CallAsProc as HasRetVal decides, like the platform.
  TCallResult Call(std::u16string_view AName, const std::vector<TValue>& AParams = {},
                   const TCallOptions& AOptions = {});

  // Property access; GetPropVal's value is in Result.
  TCallResult GetPropVal(TV8Long AProp);
  TCallResult GetPropVal(std::u16string_view AName);
  bool SetPropVal(TV8Long AProp, const TValue& AValue);
  bool SetPropVal(std::u16string_view AName, const TValue& AValue);

  // Reads the records of ARecords back and frees the payloads they hold
  // (those ARecords owns itself are left alone). For raw calls.
  std::vector<TValue> Collect(TRecordArray& ARecords);
  TValue Collect(TV8Variant& ARecord);

 private:
  std::optional<std::u16string> TakeName(const char16_t* AName);
  TCallResult Invoke(TV8Long AMethod, bool AFunction, const std::vector<TValue>& AParams,
                     const TCallOptions& AOptions);

  const TAddinLibrary& FLibrary;
  THost& FHost;
  TComponentObject FObject;
  bool FFinished = false;
  bool FInitAnswer = false;
  bool FSetMemManagerAnswer = false;
  bool FRegisterAnswer = false;
  std::optional<std::u16string> FExtensionName;
};

}  // namespace v8host
