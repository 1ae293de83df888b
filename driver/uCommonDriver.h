#pragma once
// What every driver of the connected-equipment standard has, whatever the
// kind of equipment: the ten standard methods, the log switch, the
// additional actions, the process-wide driver description and registration.
#include <cstdint>
#include <string>

#include "common/Exception.h"
#include "driver/EquipmentTypes.h"
#include "driver/XmlDocument.h"
#include "driver/uCustomDriver.h"

struct TDriverInfo {
  std::u16string Name;
  std::u16string Description;
  TEquipmentType EquipmentType = etUnknown;
  bool IntegrationComponent = false;
  bool MainDriverInstalled = false;
  std::u16string DriverVersion;
  std::u16string IntegrationComponentVersion;
  std::u16string DownloadURL;
  bool LogIsEnabled = false;
  std::u16string LogPath;

  void Clear();
};
using PDriverInfo = TDriverInfo*;

// The description shared by every driver object of the library.
TDriverInfo& DriverInfo();

// The maker's web address, reported as the download address.
inline constexpr char16_t kDownloadURL[] = u"https://halvessa.ru/drivers/quorvel";
// The standard's interface revision 3.2.
inline constexpr std::int32_t kInterfaceRevision = 3002;

class TCommonDriver : public TCustomDriver {
  QV_DECLARATIONS(TCommonDriver, TCustomDriver)

public:
  TCommonDriver();
  ~TCommonDriver() noexcept override;

  bool Enabled() const noexcept { return FEnabled; }

  // Fills the shared description: version, download address, flags.
  static void UpdateDriverInfo(PDriverInfo ADriverInfo);
  // Every new object refreshes the shared description through the
  // description step of its own class.
  template <typename AClass>
  static void AfterCreate(AClass&) {
    AClass::UpdateDriverInfo(&DriverInfo());
  }
  // Registers AClass with the bridge, names the log after AExtension and
  // fills the shared description through AClass's UpdateDriverInfo.
  template <typename AClass>
  static TClassReg& RegisterDriver(const std::u16string& AExtension, const std::u16string& AName,
                                   const std::u16string& ADescription);
  // RegisterDriver while the library loads, where a failure must not end
  // the host: the library then offers no class, and the failure is logged
  // when the platform first asks for the class names. False on failure.
  template <typename AClass>
  static bool RegisterDriverAtLoad(const std::u16string& AExtension, const std::u16string& AName,
                                   const std::u16string& ADescription) noexcept;

  // Fixed by the equipment standard, so not virtual: GetInterfaceRevision
  // answers it without a virtual call.
  std::int32_t DoGetInterfaceRevision() const noexcept;
  virtual void Open();
  virtual void Close();
  virtual void DoDeviceTest(std::u16string& ADescription, std::u16string& ADemoModeInfo);
  virtual std::u16string DoGetParameters();
  virtual std::u16string DoGetDescription();
  virtual std::u16string DoGetAdditionalActions();
  virtual void ExecuteAdditionalAction(const std::u16string& ActionName);

  // The standard methods, in the order the host sees them.
  QV_EXPORT_METH(GetInterfaceRevision, u"ПолучитьРевизиюИнтерфейса", 0)
  virtual bool GetInterfaceRevision(PV8Variant RetValue, PV8ParamArray Params, std::int32_t ParamCount,
                                    TV8AddInDefBaseEx* v8);
  QV_EXPORT_METH(GetDescription, u"ПолучитьОписание", 1)
  bool GetDescription(PV8Variant RetValue, PV8ParamArray Params, std::int32_t ParamCount, TV8AddInDefBaseEx* v8);
  QV_EXPORT_METH(GetLastError, u"ПолучитьОшибку", 1)
  bool GetLastError(PV8Variant RetValue, PV8ParamArray Params, std::int32_t ParamCount, TV8AddInDefBaseEx* v8);
  QV_EXPORT_METH(Open, u"Подключить", 1)
  bool Open(PV8Variant RetValue, PV8ParamArray Params, std::int32_t ParamCount, TV8AddInDefBaseEx* v8);
  QV_EXPORT_METH(Close, u"Отключить", 1)
  bool Close(PV8Variant RetValue, PV8ParamArray Params, std::int32_t ParamCount, TV8AddInDefBaseEx* v8);
  QV_EXPORT_METH(GetParameters, u"ПолучитьПараметры", 1)
  bool GetParameters(PV8Variant RetValue, PV8ParamArray Params, std::int32_t ParamCount, TV8AddInDefBaseEx* v8);
  QV_EXPORT_METH(SetParameter, u"УстановитьПараметр", 2)
  bool SetParameter(PV8Variant RetValue, PV8ParamArray Params, std::int32_t ParamCount, TV8AddInDefBaseEx* v8);
  QV_EXPORT_METH(DeviceTest, u"ТестУстройства", 2)
  bool DeviceTest(PV8Variant RetValue, PV8ParamArray Params, std::int32_t ParamCount, TV8AddInDefBaseEx* v8);
  QV_EXPORT_METH(GetAdditionalActions, u"ПолучитьДополнительныеДействия", 1)
  bool GetAdditionalActions(PV8Variant RetValue, PV8ParamArray Params, std::int32_t ParamCount,
                            TV8AddInDefBaseEx* v8);
  QV_EXPORT_METH(DoAdditionalAction, u"ВыполнитьДополнительноеДействие", 1)
  bool DoAdditionalAction(PV8Variant RetValue, PV8ParamArray Params, std::int32_t ParamCount,
                          TV8AddInDefBaseEx* v8);

  // The log switch: on is every level, off writes the log's closing line.
  QV_EXPORT_PROP(LogEnabled, GetLogEnabled, SetLogEnabled, u"ЛогВключен", u"Вести лог", u"False", false)
  bool GetLogEnabled() const;
  void SetLogEnabled(bool AValue);

  QV_ADDITIONAL_ACTION(ViewLog, u"Просмотр лога")
  void ViewLog();
  QV_ADDITIONAL_ACTION(ShowHelp, u"Справка")
  void ShowHelp();

  QV_END_DECLARATIONS()

protected:
  // The settings template's resource name; a test driver may name another.
  virtual std::u16string ParametersResourceName() const { return u"Parameters"; }
  // The document built from the property declarations.
  std::u16string GenerateParameters() const;

private:
  bool FEnabled = false;
};

template <typename AClass>
TClassReg& TCommonDriver::RegisterDriver(const std::u16string& AExtension, const std::u16string& AName,
                                         const std::u16string& ADescription) {
  TClassReg& Reg = TCustomDriver::RegisterDriver<AClass>(AExtension);
  DriverInfo().Name = AName;
  DriverInfo().Description = ADescription;
  AClass::UpdateDriverInfo(&DriverInfo());
  return Reg;
}

template <typename AClass>
bool TCommonDriver::RegisterDriverAtLoad(const std::u16string& AExtension, const std::u16string& AName,
                                         const std::u16string& ADescription) noexcept {
  TClassRegList& Registry = ClassRegList();
  const std::int32_t Before = Registry.ClassCount();
  try {
    RegisterDriver<AClass>(AExtension, AName, ADescription);
    return true;
  } catch (...) {
    Registry.TruncateTo(Before);
    try {
      Registry.SetLoadFailure(u"The driver " + AExtension + u" is not offered: " +
                              ExceptionMessage(std::current_exception()));
    } catch (...) {
    }
    return false;
  }
}
