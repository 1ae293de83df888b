#include "platform/ui/win32/WebBrowserHost.h"

#include <exdisp.h>

#include "common/Exception.h"

namespace platform::ui::win32 {

TWebBrowserHost::TWebBrowserHost(HWND AContainer)
    : FContainer(AContainer), FSite(std::make_unique<TBrowserSite>(AContainer)) {
  try {
    HRESULT Result = CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                                      IID_IOleObject, FBrowser.Receive());
    if (FAILED(Result) || !FBrowser) throw Exception(std::u16string(u"Cannot create the web browser control"));
    Result = FBrowser->SetClientSite(static_cast<IOleClientSite*>(FSite.get()));
    if (FAILED(Result)) throw Exception(std::u16string(u"Cannot embed the web browser control"));
    RECT Client{};
    GetClientRect(FContainer, &Client);
    Result = FBrowser->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(FSite.get()), 0,
                              FContainer, &Client);
    if (FAILED(Result)) throw Exception(std::u16string(u"Cannot activate the web browser control"));
  } catch (...) {
    Release();
    throw;
  }
}

TWebBrowserHost::~TWebBrowserHost() { Release(); }

void TWebBrowserHost::Navigate(const std::u16string& AUrl) {
  TComRef<IWebBrowser2> Browser;
  if (FAILED(FBrowser->QueryInterface(IID_IWebBrowser2, Browser.Receive())) || !Browser)
    throw Exception(std::u16string(u"The web browser control cannot navigate"));
  VARIANT Url;
  VariantInit(&Url);
  Url.vt = VT_BSTR;
  Url.bstrVal = SysAllocString(reinterpret_cast<const wchar_t*>(AUrl.c_str()));
  VARIANT None;
  VariantInit(&None);
  const HRESULT Result = Browser->Navigate2(&Url, &None, &None, &None, &None);
  VariantClear(&Url);
  if (FAILED(Result)) throw Exception(u"Cannot open the page " + AUrl);
}

void TWebBrowserHost::Resize() noexcept {
  if (!FBrowser) return;
  TComRef<IOleInPlaceObject> InPlace;
  if (SUCCEEDED(FBrowser->QueryInterface(IID_IOleInPlaceObject, InPlace.Receive())) && InPlace) {
    RECT Client{};
    GetClientRect(FContainer, &Client);
    InPlace->SetObjectRects(&Client, &Client);
  }
}

bool TWebBrowserHost::TranslateAccelerator(MSG& AMessage) noexcept {
  if (AMessage.message < WM_KEYFIRST || AMessage.message > WM_KEYLAST) return false;
  IOleInPlaceActiveObject* Active = FSite ? FSite->ActiveObject() : nullptr;
  return Active != nullptr && Active->TranslateAccelerator(&AMessage) == S_OK;
}

void TWebBrowserHost::Release() noexcept {
  if (FSite) FSite->Detach();
  if (FBrowser) {
    FBrowser->Close(OLECLOSE_NOSAVE);
    FBrowser->SetClientSite(nullptr);
    FBrowser.Reset();
  }
}

}  // namespace platform::ui::win32
