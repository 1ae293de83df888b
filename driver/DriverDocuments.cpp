// The three documents the standard methods hand to the host: the driver
// description, the additional actions and the settings.
#include "common/Common.Log.h"
#include "driver/uCommonDriver.h"
#include "platform/Resources.h"

namespace {

constexpr unsigned kParametersCaptionId = 65119;

int ValueTypeCode(TPropKind AKind) {
  switch (AKind) {
    case TPropKind::pkString:
    case TPropKind::pkCharacter: return 0;
    case TPropKind::pkInteger:
    case TPropKind::pkFloat: return 1;
    case TPropKind::pkBoolean: return 2;
    default: return 3;
  }
}

}  // namespace

std::u16string TCommonDriver::DoGetDescription() {
  const TDriverInfo& Info = DriverInfo();
  TXmlDocument Doc;
  TXmlNode Root = Doc.AddRoot(u"DriverDescription");
  TXmlDocument::SetAttribute(Root, u"Name", Info.Name);
  TXmlDocument::SetAttribute(Root, u"Description", Info.Description);
  TXmlDocument::SetAttribute(Root, u"EquipmentType", EquipmentTypeName(Info.EquipmentType));
  TXmlDocument::SetAttribute(Root, u"IntegrationComponent", Info.IntegrationComponent);
  TXmlDocument::SetAttribute(Root, u"MainDriverInstalled", Info.MainDriverInstalled);
  TXmlDocument::SetAttribute(Root, u"DriverVersion", Info.DriverVersion);
  TXmlDocument::SetAttribute(Root, u"IntegrationComponentVersion", Info.IntegrationComponentVersion);
  TXmlDocument::SetAttribute(Root, u"DownloadURL", Info.DownloadURL);
  // The live log state, not the record's fields.
  TXmlDocument::SetAttribute(Root, u"LogIsEnabled", GetLogEnabled());
  TXmlDocument::SetAttribute(Root, u"LogPath", Common::Log::GetLogFileName(true));
  return Doc.Text();
}

std::u16string TCommonDriver::DoGetAdditionalActions() {
  TXmlDocument Doc;
  TXmlNode Root = Doc.AddRoot(u"Actions");
  EnumerateDeclarations(TDeclarationVisitor{{}, {}, [&](const TActionDecl& D) {
                                              TXmlNode Action = TXmlDocument::AddChild(Root, u"Action");
                                              TXmlDocument::SetAttribute(Action, u"Name", D.Name);
                                              TXmlDocument::SetAttribute(Action, u"Caption", D.Attr.Caption);
                                            }});
  return Doc.Text();
}

std::u16string TCommonDriver::DoGetParameters() {
  // The library's settings template is what the host receives; the
  // declarations are a fallback for a library without one.
  if (const auto Template = platform::FindRawResource(ParametersResourceName()))
    return TXmlDocument::Load(*Template).Text();
  return GenerateParameters();
}

std::u16string TCommonDriver::GenerateParameters() const {
  TXmlDocument Doc;
  TXmlNode Root = Doc.AddRoot(u"Settings");
  TXmlNode Page = TXmlDocument::AddChild(Root, u"Page");
  TXmlDocument::SetAttribute(Page, u"Caption", platform::LoadStringResource(kParametersCaptionId));
  EnumerateDeclarations(TDeclarationVisitor{
      {},
      [&](const TPropDecl& D) {
        TXmlNode Parameter = TXmlDocument::AddChild(Page, u"Parameter");
        TXmlDocument::SetAttribute(Parameter, u"Name", D.Name);
        TXmlDocument::SetAttribute(Parameter, u"Caption", D.Attr.Caption);
        TXmlDocument::SetAttribute(Parameter, u"TypeValue", ValueTypeName(ValueTypeCode(D.Kind)));
        TXmlDocument::SetAttribute(Parameter, u"DefaultValue", D.Attr.DefValue);
        TXmlDocument::SetAttribute(Parameter, u"ReadOnly", D.Attr.ReadOnly);
      },
      {}});
  return Doc.Text();
}
