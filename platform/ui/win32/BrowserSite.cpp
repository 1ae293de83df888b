#include "platform/ui/win32/BrowserSite.h"

STDMETHODIMP TBrowserSite::QueryInterface(REFIID AIid, void** AObject) noexcept {
  if (!AObject)
    return E_POINTER;
  if (IsEqualIID(AIid, IID_IUnknown) || IsEqualIID(AIid, IID_IOleClientSite))
    *AObject = static_cast<IOleClientSite*>(this);
  else if (IsEqualIID(AIid, IID_IOleWindow) || IsEqualIID(AIid, IID_IOleInPlaceSite))
    *AObject = static_cast<IOleInPlaceSite*>(this);
  else if (IsEqualIID(AIid, IID_IOleInPlaceUIWindow) || IsEqualIID(AIid, IID_IOleInPlaceFrame))
    *AObject = static_cast<IOleInPlaceFrame*>(this);
  else {
    *AObject = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

STDMETHODIMP TBrowserSite::GetMoniker(DWORD, DWORD, IMoniker** AMoniker) noexcept {
  if (AMoniker)
    *AMoniker = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP TBrowserSite::GetContainer(IOleContainer** AContainer) noexcept {
  if (AContainer)
    *AContainer = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP TBrowserSite::GetWindow(HWND* AWindow) noexcept {
  if (!AWindow)
    return E_POINTER;
  *AWindow = FWindow;
  return S_OK;
}

STDMETHODIMP TBrowserSite::GetWindowContext(IOleInPlaceFrame** AFrame, IOleInPlaceUIWindow** ADocument,
                                            LPRECT APosition, LPRECT AClip, LPOLEINPLACEFRAMEINFO AFrameInfo) noexcept {
  if (!AFrame || !ADocument || !APosition || !AClip || !AFrameInfo)
    return E_POINTER;
  *AFrame = static_cast<IOleInPlaceFrame*>(this);
  AddRef();
  *ADocument = nullptr;
  GetClientRect(FWindow, APosition);
  *AClip = *APosition;
  AFrameInfo->fMDIApp = FALSE;
  AFrameInfo->hwndFrame = FWindow;
  AFrameInfo->haccel = nullptr;
  AFrameInfo->cAccelEntries = 0;
  return S_OK;
}

STDMETHODIMP TBrowserSite::SetActiveObject(IOleInPlaceActiveObject* AObject, LPCOLESTR) noexcept {
  FActiveObject.Reset();
  if (AObject)
    AObject->QueryInterface(IID_IOleInPlaceActiveObject, FActiveObject.Receive());
  return S_OK;
}
