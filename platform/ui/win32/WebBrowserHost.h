#pragma once
// The shell's WebBrowser control activated in place inside one window of a
// form (the TWebBrowser control's window), filling it.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <ole2.h>

#include <memory>
#include <string>

#include "platform/ui/win32/BrowserSite.h"
#include "platform/ui/win32/ComRef.h"

namespace platform::ui::win32 {

// OLE on the calling thread for as long as a browser lives.
class TOleThread {
public:
  TOleThread() noexcept : FInitialized(SUCCEEDED(OleInitialize(nullptr))) {}
  ~TOleThread() {
    if (FInitialized) OleUninitialize();
  }
  TOleThread(const TOleThread&) = delete;
  TOleThread& operator=(const TOleThread&) = delete;

private:
  bool FInitialized;
};

class TWebBrowserHost {
public:
  // Creates the control inside AContainer; fails when the system has none.
  explicit TWebBrowserHost(HWND AContainer);
  ~TWebBrowserHost();
  TWebBrowserHost(const TWebBrowserHost&) = delete;
  TWebBrowserHost& operator=(const TWebBrowserHost&) = delete;

  void Navigate(const std::u16string& AUrl);
  // Follows the container's new size.
  void Resize() noexcept;
  // Gives the control its keyboard accelerators (Tab inside the page, copy,
  // ...); true when it took the message.
  bool TranslateAccelerator(MSG& AMessage) noexcept;

private:
  void Release() noexcept;

  TOleThread FOle;
  HWND FContainer;
  std::unique_ptr<TBrowserSite> FSite;  // outlives FBrowser, which refers to it
  TComRef<IOleObject> FBrowser;
};

}  // namespace platform::ui::win32
