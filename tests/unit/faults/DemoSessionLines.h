#pragma once
// The demonstration session's calls: tools/demo-session.sh with the settings
// template's defaults, in v8host's call syntax, without its captions. The
// list is compared with the script's output where the script can run
// (Linux); the harness's own tests of the built add-in use it too.
#include <string>
#include <vector>

namespace FaultTest {

inline const std::vector<std::string>& DemoSessionLines() {
  static const std::vector<std::string> Lines{
      "GetInterfaceRevision()",
      "GetDescription()",
      "GetParameters()",
      "SetParameter(\"EPC1\", \"3074367C34001E880A6D6168\")",
      "SetParameter(\"USER1\", \"0145FF20AA\")",
      "SetParameter(\"EPC2\", \"30751BD15C35BC0508B59F22\")",
      "SetParameter(\"USER2\", \"AA53EE150D\")",
      "SetParameter(\"EPC3\", \"\")",
      "SetParameter(\"USER3\", \"\")",
      "SetParameter(\"EPC4\", \"\")",
      "SetParameter(\"USER4\", \"\")",
      "SetParameter(\"EPC5\", \"\")",
      "SetParameter(\"USER5\", \"\")",
      "SetParameter(\"EPC6\", \"\")",
      "SetParameter(\"USER6\", \"\")",
      "SetParameter(\"EPC7\", \"\")",
      "SetParameter(\"USER7\", \"\")",
      "SetParameter(\"EPC8\", \"\")",
      "SetParameter(\"USER8\", \"\")",
      "SetParameter(\"Transparency\", 20)",
      "SetParameter(\"LogEnabled\", true)",
      "Open()",
      ":present 1",
      ":tags present 2",
      "OpenSessionRFID()",
      "GetDataTagsRFID()",
      "SaveDataTagRFID(undefined, \"E28011002000589616B408A2\", \"3034257BF400B7800004CB2F\", \"\", 1)",
      "GetDataTagsRFID()",
      "CloseSessionRFID()",
      "Close()",
  };
  return Lines;
}

}  // namespace FaultTest
