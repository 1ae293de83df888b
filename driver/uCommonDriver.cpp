#include "driver/uCommonDriver.h"

#include "common/Common.Log.h"
#include "common/Exception.h"
#include "driver/uVInfo.h"

void TDriverInfo::Clear() {
  EquipmentType = etUnknown;
  IntegrationComponent = false;
  MainDriverInstalled = false;
  LogIsEnabled = false;
  DownloadURL.clear();
}

TDriverInfo& DriverInfo() {
  static TDriverInfo Info;
  return Info;
}

TCommonDriver::TCommonDriver() = default;

// The derived parts are gone by now, so the close step left is this class's
// own: marking the device closed, which cannot fail.
TCommonDriver::~TCommonDriver() noexcept { FEnabled = false; }

void TCommonDriver::UpdateDriverInfo(PDriverInfo ADriverInfo) {
  ADriverInfo->Clear();
  ADriverInfo->DownloadURL = kDownloadURL;
  ADriverInfo->DriverVersion = GetFileVersionText();
  ADriverInfo->IntegrationComponentVersion = ADriverInfo->DriverVersion;
  ADriverInfo->LogIsEnabled = false;
}

std::int32_t TCommonDriver::DoGetInterfaceRevision() const noexcept { return kInterfaceRevision; }

void TCommonDriver::Open() { FEnabled = true; }

void TCommonDriver::Close() { FEnabled = false; }

void TCommonDriver::DoDeviceTest(std::u16string& ADescription, std::u16string& ADemoModeInfo) {
  ADescription.clear();
  ADemoModeInfo.clear();
  std::exception_ptr Failure;
  try {
    Open();
    ADescription = DriverInfo().Description;
  } catch (...) {
    Failure = std::current_exception();
  }
  try {
    Close();
  } catch (...) {
    if (!Failure) Failure = std::current_exception();
  }
  if (Failure) {
    ADescription = ExceptionMessage(Failure);
    throw Exception(ADescription);
  }
}

void TCommonDriver::ExecuteAdditionalAction(const std::u16string& ActionName) {
  // An action is named by its method, so the first declaration that
  // matches selects it; the action runs once in total, however many
  // declarations its method carries.
  bool Ran = false;
  EnumerateDeclarations(TDeclarationVisitor{{}, {}, [&](const TActionDecl& D) {
                                              if (Ran || D.Name != ActionName) return;
                                              D.Run(*this);
                                              Ran = true;
                                            }});
  if (!Ran) throw Exception(std::u16string(u"Action not found"));
}

bool TCommonDriver::GetInterfaceRevision(PV8Variant RetValue, PV8ParamArray, std::int32_t, TV8AddInDefBaseEx*) {
  V8SetInt(RetValue, DoGetInterfaceRevision());
  return true;
}

bool TCommonDriver::GetDescription(PV8Variant RetValue, PV8ParamArray Params, std::int32_t, TV8AddInDefBaseEx*) {
  return ExportedFrame(RetValue, [&] { SetOutputText(Params[0], DoGetDescription()); });
}

bool TCommonDriver::GetLastError(PV8Variant RetValue, PV8ParamArray Params, std::int32_t, TV8AddInDefBaseEx*) {
  V8SetInt(RetValue, FLastResult.GetIntResult());
  V8SetWString(Params[0], FLastResult.ErrorDescription);
  return true;
}

bool TCommonDriver::Open(PV8Variant RetValue, PV8ParamArray, std::int32_t, TV8AddInDefBaseEx*) {
  return ExportedFrame(RetValue, [&] { Open(); });
}

bool TCommonDriver::Close(PV8Variant RetValue, PV8ParamArray, std::int32_t, TV8AddInDefBaseEx*) {
  return ExportedFrame(RetValue, [&] { Close(); });
}

bool TCommonDriver::GetParameters(PV8Variant RetValue, PV8ParamArray Params, std::int32_t, TV8AddInDefBaseEx*) {
  return ExportedFrame(RetValue, [&] { SetOutputText(Params[0], DoGetParameters()); });
}

bool TCommonDriver::SetParameter(PV8Variant RetValue, PV8ParamArray Params, std::int32_t, TV8AddInDefBaseEx*) {
  return ExportedFrame(RetValue, [&] { PropertySet(V8GetWString(Params[0]), Params[1]); });
}

bool TCommonDriver::DeviceTest(PV8Variant RetValue, PV8ParamArray Params, std::int32_t, TV8AddInDefBaseEx*) {
  return ExportedFrame(
      RetValue,
      [&] {
        std::u16string Description;
        std::u16string DemoModeInfo;
        DoDeviceTest(Description, DemoModeInfo);
        SetOutputText(Params[0], Description);
        SetOutputText(Params[1], DemoModeInfo);
      },
      // The failure's message is also the description.
      [&](const std::exception_ptr& AFailure) noexcept {
        try {
          V8SetWString(Params[0], ExceptionMessage(AFailure));
        } catch (...) {
        }
      });
}

bool TCommonDriver::GetAdditionalActions(PV8Variant RetValue, PV8ParamArray Params, std::int32_t,
                                         TV8AddInDefBaseEx*) {
  return ExportedFrame(RetValue, [&] { SetOutputText(Params[0], DoGetAdditionalActions()); });
}

bool TCommonDriver::DoAdditionalAction(PV8Variant RetValue, PV8ParamArray Params, std::int32_t,
                                       TV8AddInDefBaseEx*) {
  return ExportedFrame(RetValue, [&] { ExecuteAdditionalAction(V8GetWString(Params[0])); });
}

bool TCommonDriver::GetLogEnabled() const { return Common::Log::LogMode() != Common::Log::lmOff; }

void TCommonDriver::SetLogEnabled(bool AValue) {
  Common::Log::SetLogMode(AValue ? Common::Log::lmAll : Common::Log::lmOff);
}
