#pragma once
// A driver of the equipment type RFID reader: the four RFID methods of the
// standard, their parameters, and the tag table document. A concrete reader
// implements the four operations behind them.
#include <cstdint>
#include <string>

#include "driver/uCommonDriver.h"
#include "rfid/TagTable.h"

class TRFIDReaderDriver : public TCommonDriver {
  QV_DECLARATIONS(TRFIDReaderDriver, TCommonDriver)

public:
  static void UpdateDriverInfo(PDriverInfo ADriverInfo);

  // Starts a reading session: sets FPackageID and tells the host.
  virtual void DoOpenSessionRFID() = 0;
  // Ends the session and empties FPackageID.
  virtual void DoCloseSessionRFID() = 0;
  // Adds one row per tag read to ATable, in the order of the reading.
  virtual void DoGetDataTagsRFID(const std::u16string& AText, TTagTable& ATable) = 0;
  // Writes AEPC (bank 1) or AUser (any other bank) into the tag ATID.
  virtual void DoSaveDataTagRFID(const std::u16string& ATID, const std::u16string& AEPC, const std::u16string& AUser,
                                 std::int32_t AMemoryBank) = 0;

  const std::u16string& PackageID() const noexcept { return FPackageID; }

  QV_EXPORT_METH(OpenSessionRFID, u"ОткрытьСессиюRFID", 1)
  bool OpenSessionRFID(PV8Variant RetValue, PV8ParamArray Params, std::int32_t ParamCount, TV8AddInDefBaseEx* v8);
  QV_EXPORT_METH(CloseSessionRFID, u"ЗакрытьСессиюRFID", 1)
  bool CloseSessionRFID(PV8Variant RetValue, PV8ParamArray Params, std::int32_t ParamCount, TV8AddInDefBaseEx* v8);
  QV_EXPORT_METH(GetDataTagsRFID, u"ПолучитьДанныеМетокRFID", 3)
  bool GetDataTagsRFID(PV8Variant RetValue, PV8ParamArray Params, std::int32_t ParamCount, TV8AddInDefBaseEx* v8);
  QV_EXPORT_METH(SaveDataTagRFID, u"ЗаписатьДанныеВМеткуRFID", 6)
  bool SaveDataTagRFID(PV8Variant RetValue, PV8ParamArray Params, std::int32_t ParamCount, TV8AddInDefBaseEx* v8);

  QV_END_DECLARATIONS()

protected:
  std::u16string FPackageID;
};
