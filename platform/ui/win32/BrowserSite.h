#pragma once
// The container side of an embedded ActiveX control: the client site, the
// in-place site and the in-place frame, all on one window. Just enough for
// the WebBrowser control to activate in place and fill that window.
#include <windows.h>
#include <oleidl.h>

#include "platform/ui/win32/ComRef.h"

class TBrowserSite final : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame {
public:
  explicit TBrowserSite(HWND AWindow) noexcept : FWindow(AWindow) {}
  TBrowserSite(const TBrowserSite&) = delete;
  TBrowserSite& operator=(const TBrowserSite&) = delete;

  // The control's active object, for its keyboard accelerators; null when
  // the control has none.
  IOleInPlaceActiveObject* ActiveObject() const noexcept { return FActiveObject.Get(); }
  void Detach() noexcept { FActiveObject.Reset(); }

  // IUnknown. The site lives inside the window object, which outlives every
  // reference the control holds (it is released before the window goes).
  STDMETHODIMP QueryInterface(REFIID AIid, void** AObject) noexcept override;
  STDMETHODIMP_(ULONG) AddRef() noexcept override { return ++FRefCount; }
  STDMETHODIMP_(ULONG) Release() noexcept override { return --FRefCount; }

  // IOleClientSite
  STDMETHODIMP SaveObject() noexcept override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** AMoniker) noexcept override;
  STDMETHODIMP GetContainer(IOleContainer** AContainer) noexcept override;
  STDMETHODIMP ShowObject() noexcept override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) noexcept override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() noexcept override { return E_NOTIMPL; }

  // IOleWindow (of both the in-place site and the frame)
  STDMETHODIMP GetWindow(HWND* AWindow) noexcept override;
  STDMETHODIMP ContextSensitiveHelp(BOOL) noexcept override { return E_NOTIMPL; }

  // IOleInPlaceSite
  STDMETHODIMP CanInPlaceActivate() noexcept override { return S_OK; }
  STDMETHODIMP OnInPlaceActivate() noexcept override { return S_OK; }
  STDMETHODIMP OnUIActivate() noexcept override { return S_OK; }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** AFrame, IOleInPlaceUIWindow** ADocument, LPRECT APosition,
                                LPRECT AClip, LPOLEINPLACEFRAMEINFO AFrameInfo) noexcept override;
  STDMETHODIMP Scroll(SIZE) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP OnUIDeactivate(BOOL) noexcept override { return S_OK; }
  STDMETHODIMP OnInPlaceDeactivate() noexcept override { return S_OK; }
  STDMETHODIMP DiscardUndoState() noexcept override { return S_OK; }
  STDMETHODIMP DeactivateAndUndo() noexcept override { return S_OK; }
  STDMETHODIMP OnPosRectChange(LPCRECT) noexcept override { return S_OK; }

  // IOleInPlaceUIWindow: no tool space to give.
  STDMETHODIMP GetBorder(LPRECT) noexcept override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) noexcept override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) noexcept override { return S_OK; }
  STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* AObject, LPCOLESTR) noexcept override;

  // IOleInPlaceFrame: no menus, no status bar, no accelerators of its own.
  STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) noexcept override { return S_OK; }
  STDMETHODIMP RemoveMenus(HMENU) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP SetStatusText(LPCOLESTR) noexcept override { return S_OK; }
  STDMETHODIMP EnableModeless(BOOL) noexcept override { return S_OK; }
  STDMETHODIMP TranslateAccelerator(LPMSG, WORD) noexcept override { return S_FALSE; }

private:
  HWND FWindow;
  ULONG FRefCount = 0;
  TComRef<IOleInPlaceActiveObject> FActiveObject;
};
