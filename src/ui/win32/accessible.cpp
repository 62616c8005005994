#include "ui/win32/accessible.h"

#include <commctrl.h>
#include <oleacc.h>

#include "platform/win32/wide.h"

namespace zelvo {
namespace {

// Defined here: MinGW's import library resolves IID_IAccessible to a stub.
constexpr GUID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// oleacc.dll is loaded on first use, so the program starts without it.
struct Oleacc {
  HRESULT(WINAPI* createStd)(HWND, LONG, REFIID, void**) = nullptr;
  LRESULT(WINAPI* lresultFromObject)(REFIID, WPARAM, IUnknown*) = nullptr;
  Oleacc() {
    if (HMODULE dll = LoadLibraryW(L"oleacc.dll")) {
      createStd = reinterpret_cast<decltype(createStd)>(
          reinterpret_cast<void*>(GetProcAddress(dll, "CreateStdAccessibleObject")));
      lresultFromObject = reinterpret_cast<decltype(lresultFromObject)>(
          reinterpret_cast<void*>(GetProcAddress(dll, "LresultFromObject")));
    }
  }
};

const Oleacc& Acc() {
  static const Oleacc oleacc;
  return oleacc;
}

struct Annotation {
  std::wstring name;
  std::function<std::wstring()> value;
};

LRESULT CALLBACK AnnotatedProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

// The annotation is also a window property, so it can be found from the
// control alone while the control exists.
constexpr wchar_t kProperty[] = L"Zelvoscript.AccessibleName";

Annotation* AnnotationOf(HWND control) {
  return IsWindow(control) ? static_cast<Annotation*>(GetPropW(control, kProperty)) : nullptr;
}

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

HRESULT Text(const std::wstring& text, BSTR* out) {
  *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

// The system's object for the control, with our name and value for the
// control itself; everything else, its items included, is the system's.
class AnnotatedAccessible final : public IAccessible {
 public:
  AnnotatedAccessible(IAccessible* inner, HWND control) : inner_(inner), control_(control) {}
  ~AnnotatedAccessible() { inner_->Release(); }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, kIidAccessible)) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { return inner_->GetTypeInfoCount(n); }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT i, LCID l, ITypeInfo** t) override {
    return inner_->GetTypeInfo(i, l, t);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID r, LPOLESTR* n, UINT c, LCID l, DISPID* d) override {
    return inner_->GetIDsOfNames(r, n, c, l, d);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID d, REFIID r, LCID l, WORD f, DISPPARAMS* p, VARIANT* v, EXCEPINFO* e,
                                   UINT* a) override {
    return inner_->Invoke(d, r, l, f, p, v, e, a);
  }

  // IAccessible
  // Asked anew each time, so a client that keeps the object hears the
  // current value; once the control is gone, the system's answers remain.
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* out) override {
    const Annotation* a = IsSelf(child) ? AnnotationOf(control_) : nullptr;
    return a ? Text(a->name, out) : inner_->get_accName(child, out);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* out) override {
    const Annotation* a = IsSelf(child) ? AnnotationOf(control_) : nullptr;
    return a && a->value ? Text(a->value(), out) : inner_->get_accValue(child, out);
  }
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** p) override { return inner_->get_accParent(p); }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* n) override { return inner_->get_accChildCount(n); }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT c, IDispatch** p) override { return inner_->get_accChild(c, p); }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT c, BSTR* s) override {
    return inner_->get_accDescription(c, s);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT c, VARIANT* r) override { return inner_->get_accRole(c, r); }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT c, VARIANT* s) override { return inner_->get_accState(c, s); }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT c, BSTR* s) override { return inner_->get_accHelp(c, s); }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* f, VARIANT c, long* t) override {
    return inner_->get_accHelpTopic(f, c, t);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT c, BSTR* s) override {
    return inner_->get_accKeyboardShortcut(c, s);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* c) override { return inner_->get_accFocus(c); }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* c) override { return inner_->get_accSelection(c); }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT c, BSTR* s) override {
    return inner_->get_accDefaultAction(c, s);
  }
  HRESULT STDMETHODCALLTYPE accSelect(long f, VARIANT c) override { return inner_->accSelect(f, c); }
  HRESULT STDMETHODCALLTYPE accLocation(long* x, long* y, long* w, long* h, VARIANT c) override {
    return inner_->accLocation(x, y, w, h, c);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long d, VARIANT s, VARIANT* e) override {
    return inner_->accNavigate(d, s, e);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* c) override { return inner_->accHitTest(x, y, c); }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT c) override { return inner_->accDoDefaultAction(c); }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT c, BSTR s) override { return inner_->put_accName(c, s); }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT c, BSTR s) override { return inner_->put_accValue(c, s); }

 private:
  LONG refs_ = 1;
  IAccessible* inner_;
  HWND control_;
};

LRESULT CALLBACK AnnotatedProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data) {
  switch (msg) {
    case WM_GETOBJECT:
      if (static_cast<LONG>(lp) == OBJID_CLIENT && Acc().createStd && Acc().lresultFromObject) {
        IAccessible* inner = nullptr;
        if (FAILED(Acc().createStd(hwnd, OBJID_CLIENT, kIidAccessible, reinterpret_cast<void**>(&inner))) || !inner)
          break;
        auto* wrapper = new AnnotatedAccessible(inner, hwnd);
        const LRESULT result = Acc().lresultFromObject(kIidAccessible, wp, wrapper);
        wrapper->Release();
        return result;
      }
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, &AnnotatedProc, id);
      RemovePropW(hwnd, kProperty);
      delete reinterpret_cast<Annotation*>(data);
      break;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace

void SetAccessibleName(HWND control, const std::wstring& name, std::function<std::wstring()> value) {
  if (!control) return;
  if (Annotation* a = AnnotationOf(control)) {
    a->name = name;
    a->value = std::move(value);
    return;
  }
  auto* a = new Annotation{name, std::move(value)};
  SetPropW(control, kProperty, a);
  SetWindowSubclass(control, &AnnotatedProc, 1, reinterpret_cast<DWORD_PTR>(a));
}

std::wstring SpokenCaption(const std::string& caption) {
  std::wstring text = Widen(caption);
  if (const size_t amp = text.find(L'&'); amp != std::wstring::npos) text.erase(amp, 1);
  while (!text.empty() && (text.back() == L' ' || text.back() == L':')) text.pop_back();
  return text;
}

}  // namespace zelvo
