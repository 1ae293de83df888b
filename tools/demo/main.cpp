// quorvel_demo: the demonstration session of tools/demo.sh run in-process
// against the add-in's own objects (Linux build), through the same harness
// the platform stand-in v8host uses. The Linux build's tag window is
// headless, so a tag is presented the way the window system would on a
// double-click: the directive ":present N" double-clicks image N. The
// directive ":tags ARGS" runs the reader control tool quorvel-tags with ARGS
// in-process, through the headless window's socket, which this program
// serves while it waits (and during ":pump").
//
//   quorvel_demo SESSION.v8s     (or "-" for standard input)
//   quorvel_demo --help-page DIR  the help page as the ShowHelp action makes
//                                 it (md.html and its style sheet), into DIR
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "lib/MarkdownRenderer/ShowHelp.h"
#include "lib/MarkdownRenderer/uMarkdownRenderer.h"
#include "napi/V8ComponentObject.h"
#include "napi/V8Exports.h"
#include "platform/ui/Form.h"
#include "quorvel-tags/Tool.h"
#include "rfid/uDriver.h"
#include "v8host/Component.h"
#include "v8host/Pump.h"
#include "v8host/Session.h"
#include "v8host/Text.h"

namespace {

TDriver& DriverOf(v8host::TComponent& AComponent) {
  auto* component = reinterpret_cast<TV8ComponentObject*>(AComponent.Raw().Address());
  return dynamic_cast<TDriver&>(*component->UserObject[0]);
}

// ":present N": tag N (1..8) double-clicked in the tag window.
bool Present(TDriver& ADriver, const std::string& AText) {
  char* end = nullptr;
  const long number = std::strtol(AText.c_str(), &end, 10);
  if (AText.empty() || *end != '\0' || number < 1 || number > kTagCount) {
    std::cout << "  (a tag number 1.." << kTagCount << " expected)\n";
    return false;
  }
  TfmBarcodes& window = *ADriver.Barcodes();
  if (!window.Visible()) std::cout << "  (the tag window is hidden: is the device open?)\n";
  const int image = static_cast<int>(number);
  const int page = (image - 1) / 2;
  window.PageControl().SetActivePage(page);
  std::cout << "  double-click on image " << image << " (page " << page + 1 << ", TID "
            << v8host::ToUtf8(window.GetBarcode(image - 1)) << ")\n";
  window.Image(image).DblClick();
  std::cout << "  tags in the reader's field:";
  for (const std::int32_t index : ADriver.RFIDList()) std::cout << " " << index + 1;
  std::cout << "\n";
  return true;
}

// Runs the help action with a viewer that copies the rendered page's folder
// (it is deleted when the action returns) instead of showing it.
int HelpPage(const std::filesystem::path& AFolder) {
  namespace fs = std::filesystem;
  fs::create_directories(AFolder);
  bool shown = false;
  TMarkdownRenderer::SetDocViewer([&](const std::u16string& AHtmlFilePath, const std::u16string&) {
    const fs::path page(AHtmlFilePath);
    for (const auto& entry : fs::directory_iterator(page.parent_path()))
      if (entry.is_regular_file()) fs::copy_file(entry.path(), AFolder / entry.path().filename(), fs::copy_options::overwrite_existing);
    std::cout << (AFolder / page.filename()).string() << "\n";
    shown = true;
  });
  ShowHelp();
  TMarkdownRenderer::SetDocViewer(nullptr);
  return shown ? 0 : 1;
}

int Run(std::istream& AInput) {
  const v8host::TAddinLibrary library =
      v8host::TAddinLibrary::FromEntryPoints({&GetClassNames, &GetClassObject, &DestroyObject});
  v8host::THost host;
  v8host::PrintReports(host.Services, std::cout);
  v8host::TComponent component(library, host, kDriverExtension);
  TDriver& driver = DriverOf(component);
  v8host::TSession session(component, std::cout);
  session.SetPrettyXml(true);
  // The headless windows process their messages (the tag window's
  // command channel) while the session pumps.
  v8host::SetPumpHook([] { platform::ui::ProcessMessages(); });
  session.SetDirectiveHandler([&driver](const std::u16string& AName, const std::string& AText) {
    if (AName == u"present") return Present(driver, AText);
    if (AName == u"tags") return quorvel_tags::RunTagToolLine(AText, std::cout, [] { platform::ui::ProcessMessages(); }) == 0;
    std::cout << "  (unknown directive)\n";
    return false;
  });
  for (std::string line; std::getline(AInput, line);) session.Execute(line);
  component.Finish();
  const bool memoryFaults = !host.Memory.Errors().empty();
  if (memoryFaults) std::cout << "# memory errors:\n" << host.Memory.ErrorReport();
  return session.Failures() > 0 || memoryFaults ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  const bool helpPage = argc == 3 && std::string(argv[1]) == "--help-page";
  if (argc != 2 && !helpPage) {
    std::cerr << "usage: quorvel_demo SESSION.v8s   (\"-\": standard input)\n"
                 "       quorvel_demo --help-page DIR\n";
    return 2;
  }
  try {
    if (helpPage) return HelpPage(argv[2]);
    if (std::string(argv[1]) == "-") return Run(std::cin);
    std::ifstream file(argv[1], std::ios::binary);
    if (!file) {
      std::cerr << "quorvel_demo: cannot read " << argv[1] << "\n";
      return 2;
    }
    return Run(file);
  } catch (const std::exception& e) {
    std::cout.flush();
    std::cerr << "quorvel_demo: " << e.what() << "\n";
    return 3;
  }
}
