#include "rfid/uRFIDReaderDriver.h"

void TRFIDReaderDriver::UpdateDriverInfo(PDriverInfo ADriverInfo) {
  TCommonDriver::UpdateDriverInfo(ADriverInfo);
  ADriverInfo->EquipmentType = etRFIDReader;
  ADriverInfo->IntegrationComponent = false;
}

bool TRFIDReaderDriver::OpenSessionRFID(PV8Variant RetValue, PV8ParamArray, std::int32_t, TV8AddInDefBaseEx*) {
  return ExportedFrame(RetValue, [&] { DoOpenSessionRFID(); });
}

bool TRFIDReaderDriver::CloseSessionRFID(PV8Variant RetValue, PV8ParamArray, std::int32_t, TV8AddInDefBaseEx*) {
  return ExportedFrame(RetValue, [&] { DoCloseSessionRFID(); });
}

bool TRFIDReaderDriver::GetDataTagsRFID(PV8Variant RetValue, PV8ParamArray Params, std::int32_t,
                                        TV8AddInDefBaseEx*) {
  return ExportedFrame(RetValue, [&] {
    const std::u16string Text = V8GetWString(Params[1]);
    TTagTable Table;
    DoGetDataTagsRFID(Text, Table);
    SetOutputText(Params[2], Table.Text());
  });
}

bool TRFIDReaderDriver::SaveDataTagRFID(PV8Variant RetValue, PV8ParamArray Params, std::int32_t,
                                        TV8AddInDefBaseEx*) {
  return ExportedFrame(RetValue, [&] {
    const std::u16string TID = V8GetWString(Params[1]);
    const std::u16string EPC = V8GetWString(Params[2]);
    const std::u16string User = V8GetWString(Params[3]);
    const std::int32_t MemoryBank = V8GetInt(Params[4]);
    DoSaveDataTagRFID(TID, EPC, User, MemoryBank);
  });
}
