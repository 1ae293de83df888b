#include "v8host/Component.h"

#include "v8host/Error.h"
#include "v8host/Text.h"

namespace v8host {

namespace {

void* CreateObject(const TAddinLibrary& ALibrary, std::u16string_view AClassName) {
  const std::u16string name(AClassName);
  void* object = nullptr;
  const TV8Long answer = ALibrary.GetClassObject(name.c_str(), &object);
  // The platform takes any answer but 0 as success (some add-ins answer
  // the object's address).
  if (answer == 0 || object == nullptr)
    throw THostError("GetClassObject(\"" + ToUtf8(name) + "\") answered " + std::to_string(answer));
  return object;
}

}  // namespace

TComponent::TComponent(const TAddinLibrary& ALibrary, THost& AHost, std::u16string_view AClassName,
                       const TStartOptions& AOptions)
    : FLibrary(ALibrary), FHost(AHost), FObject(CreateObject(ALibrary, AClassName)) {
  try {
    if (AOptions.SetMemManager) FSetMemManagerAnswer = FObject.SetMemManager(FHost.Memory.Interface());
    if (AOptions.Init) FInitAnswer = FObject.Init(FHost.Services.Interface());
    if (AOptions.Locale) FObject.SetLocale(AOptions.Locale->c_str());
    if (AOptions.RegisterExtension) {
      char16_t* name = nullptr;
      FRegisterAnswer = FObject.RegisterExtensionAs(&name);
      FExtensionName = TakeName(name);
    }
  } catch (...) {
    Finish();
    throw;
  }
}

TComponent::~TComponent() { Finish(); }

TV8Long TComponent::Finish() {
  if (FFinished) return 0;
  FFinished = true;
  try {
    FObject.Done();
  } catch (...) {
  }
  void* object = FObject.Address();
  return FLibrary.DestroyObject(&object);
}

std::optional<std::u16string> TComponent::TakeName(const char16_t* AName) {
  if (AName == nullptr) return std::nullopt;
  std::u16string name = WideCopy(AName);
  FHost.Memory.Free(const_cast<char16_t*>(AName));
  return name;
}

TV8Long TComponent::MethodCount() { return FObject.GetNMethods(); }
TV8Long TComponent::PropCount() { return FObject.GetNProps(); }

TV8Long TComponent::FindMethod(std::u16string_view AName) {
  const std::u16string name(AName);
  return FObject.FindMethod(name.c_str());
}

TV8Long TComponent::FindProp(std::u16string_view AName) {
  const std::u16string name(AName);
  return FObject.FindProp(name.c_str());
}

std::optional<std::u16string> TComponent::MethodName(TV8Long AIndex, TV8Long AAlias) {
  return TakeName(FObject.GetMethodName(AIndex, AAlias));
}

std::optional<std::u16string> TComponent::PropName(TV8Long AIndex, TV8Long AAlias) {
  return TakeName(FObject.GetPropName(AIndex, AAlias));
}

TV8Long TComponent::ParamCount(TV8Long AMethod) { return FObject.GetNParams(AMethod); }
bool TComponent::HasRetVal(TV8Long AMethod) { return FObject.HasRetVal(AMethod); }
bool TComponent::IsPropReadable(TV8Long AProp) { return FObject.IsPropReadable(AProp); }
bool TComponent::IsPropWritable(TV8Long AProp) { return FObject.IsPropWritable(AProp); }

std::optional<TValue> TComponent::ParamDefValue(TV8Long AMethod, TV8Long AParam) {
  TRecordArray record(1);
  if (!FObject.GetParamDefValue(AMethod, AParam, record.Data())) return std::nullopt;
  return ReadRecord(record[0]);
}

std::vector<TMethodInfo> TComponent::Methods() {
  std::vector<TMethodInfo> methods;
  const TV8Long count = MethodCount();
  for (TV8Long i = 0; i < count; ++i) {
    TMethodInfo info;
    info.Index = i;
    info.Name = MethodName(i, 0).value_or(u"");
    info.LocalName = MethodName(i, 1).value_or(u"");
    info.ParamCount = ParamCount(i);
    info.HasRetVal = HasRetVal(i);
    methods.push_back(std::move(info));
  }
  return methods;
}

std::vector<TPropInfo> TComponent::Props() {
  std::vector<TPropInfo> props;
  const TV8Long count = PropCount();
  for (TV8Long i = 0; i < count; ++i) {
    TPropInfo info;
    info.Index = i;
    info.Name = PropName(i, 0).value_or(u"");
    info.LocalName = PropName(i, 1).value_or(u"");
    info.Readable = IsPropReadable(i);
    info.Writable = IsPropWritable(i);
    props.push_back(std::move(info));
  }
  return props;
}

TV8Long TComponent::MethodIndex(std::u16string_view AName) {
  const TV8Long index = FindMethod(AName);
  if (index < 0) throw THostError("no method \"" + ToUtf8(AName) + "\"");
  return index;
}

TV8Long TComponent::PropIndex(std::u16string_view AName) {
  const TV8Long index = FindProp(AName);
  if (index < 0) throw THostError("no property \"" + ToUtf8(AName) + "\"");
  return index;
}

TValue TComponent::Collect(TV8Variant& ARecord) {
  TValue value = ReadRecord(ARecord, &FHost.Memory);
  if (void* payload = PayloadOf(ARecord)) FHost.Memory.Free(payload);
  return value;
}

std::vector<TValue> TComponent::Collect(TRecordArray& ARecords) {
  std::vector<TValue> values;
  for (std::size_t i = 0; i < ARecords.Size(); ++i) {
    TV8Variant& record = ARecords[i];
    values.push_back(ReadRecord(record, &FHost.Memory));
    void* payload = PayloadOf(record);
    if (payload != nullptr && !ARecords.OwnsPayload(payload)) FHost.Memory.Free(payload);
  }
  return values;
}

TCallResult TComponent::Invoke(TV8Long AMethod, bool AFunction, const std::vector<TValue>& AParams,
                               const TCallOptions& AOptions) {
  TRecordArray params(AParams.size(), AOptions.Placement);
  for (std::size_t i = 0; i < AParams.size(); ++i) params.Set(i, AParams[i], FHost.Memory, AOptions.Strings);
  if (AOptions.GarbageInUnusedBytes) params.FillUnusedBytes();
  const TV8Long count = AOptions.Count.value_or(static_cast<TV8Long>(AParams.size()));

  TCallResult result;
  if (AFunction) {
    TRecordArray answer(1);
    result.Ok = FObject.CallAsFunc(AMethod, answer.Data(), params.Data(), count);
    result.Result = Collect(answer[0]);
  } else {
    result.Ok = FObject.CallAsProc(AMethod, params.Data(), count);
  }
  result.Params = Collect(params);
  return result;
}

TCallResult TComponent::CallAsFunc(TV8Long AMethod, const std::vector<TValue>& AParams, const TCallOptions& AOptions) {
  return Invoke(AMethod, true, AParams, AOptions);
}

TCallResult TComponent::CallAsFunc(std::u16string_view AName, const std::vector<TValue>& AParams,
                                   const TCallOptions& AOptions) {
  return Invoke(MethodIndex(AName), true, AParams, AOptions);
}

TCallResult TComponent::CallAsProc(TV8Long AMethod, const std::vector<TValue>& AParams, const TCallOptions& AOptions) {
  return Invoke(AMethod, false, AParams, AOptions);
}

TCallResult TComponent::CallAsProc(std::u16string_view AName, const std::vector<TValue>& AParams,
                                   const TCallOptions& AOptions) {
  return Invoke(MethodIndex(AName), false, AParams, AOptions);
}

TCallResult TComponent::Call(std::u16string_view AName, const std::vector<TValue>& AParams,
                             const TCallOptions& AOptions) {
  const TV8Long index = MethodIndex(AName);
  return Invoke(index, HasRetVal(index), AParams, AOptions);
}

TCallResult TComponent::GetPropVal(TV8Long AProp) {
  TRecordArray value(1);
  TCallResult result;
  result.Ok = FObject.GetPropVal(AProp, value.Data());
  result.Result = Collect(value[0]);
  return result;
}

TCallResult TComponent::GetPropVal(std::u16string_view AName) { return GetPropVal(PropIndex(AName)); }

bool TComponent::SetPropVal(TV8Long AProp, const TValue& AValue) {
  TRecordArray value(1);
  value.Set(0, AValue, FHost.Memory);
  const bool ok = FObject.SetPropVal(AProp, value.Data());
  Collect(value);
  return ok;
}

bool TComponent::SetPropVal(std::u16string_view AName, const TValue& AValue) {
  return SetPropVal(PropIndex(AName), AValue);
}

}  // namespace v8host
