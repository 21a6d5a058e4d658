#include "accessible.h"

#include <oleacc.h>

#include <utility>

namespace ui::win32 {

namespace {

// oleacc and oleaut32, loaded when a screen reader first asks: neither is among the program's
// imports.
struct Oleacc {
    decltype(&CreateStdAccessibleObject) createStandard = nullptr;
    decltype(&LresultFromObject) lresult = nullptr;
    decltype(&SysAllocString) allocate = nullptr;

    static const Oleacc &get()
    {
        static const Oleacc loaded = [] {
            Oleacc made;
            const auto from = [](const wchar_t *library, const char *name) {
                const HMODULE module = LoadLibraryW(library);
                return module ? reinterpret_cast<void (*)()>(GetProcAddress(module, name))
                              : nullptr;
            };
            made.createStandard = reinterpret_cast<decltype(made.createStandard)>(
                from(L"oleacc.dll", "CreateStdAccessibleObject"));
            made.lresult =
                reinterpret_cast<decltype(made.lresult)>(from(L"oleacc.dll", "LresultFromObject"));
            made.allocate =
                reinterpret_cast<decltype(made.allocate)>(from(L"oleaut32.dll", "SysAllocString"));
            return made;
        }();
        return loaded;
    }
};

long msaaRole(Role role)
{
    switch (role) {
    case Role::Alert:
        return ROLE_SYSTEM_ALERT;
    case Role::Grouping:
        return ROLE_SYSTEM_GROUPING;
    case Role::Text:
        return ROLE_SYSTEM_STATICTEXT;
    case Role::SpinButton:
        return ROLE_SYSTEM_SPINBUTTON;
    case Role::PushButton:
    case Role::ToggleButton:
        return ROLE_SYSTEM_PUSHBUTTON;
    case Role::Window:
    case Role::None:
        break;
    }
    return ROLE_SYSTEM_CLIENT;
}

bool self(const VARIANT &child)
{
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// Windows' own object for the window, with what the definitions say put in its place.
class Accessible final : public IAccessible {
public:
    Accessible(HWND window, IAccessible *standard, std::weak_ptr<const Present> present)
        : m_window(window), m_standard(standard), m_present(std::move(present))
    {
    }
    ~Accessible() { m_standard->Release(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void **out) override
    {
        if (id == __uuidof(IUnknown) || id == __uuidof(IDispatch) || id == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible *>(this);
            AddRef();
            return S_OK;
        }
        return m_standard->QueryInterface(id, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --m_references;
        if (!left)
            delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override
    {
        return m_standard->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo **info) override
    {
        return m_standard->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID id, LPOLESTR *names, UINT count, LCID locale,
                                            DISPID *ids) override
    {
        return m_standard->GetIDsOfNames(id, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID id, LCID locale, WORD flags,
                                     DISPPARAMS *parameters, VARIANT *result, EXCEPINFO *exception,
                                     UINT *wrong) override
    {
        return m_standard->Invoke(member, id, locale, flags, parameters, result, exception, wrong);
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR *name) override
    {
        if (!self(child))
            return m_standard->get_accName(child, name);
        const auto present = m_present.lock();
        return present ? text((*present)().name, name) : gone(name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR *value) override
    {
        if (!self(child))
            return m_standard->get_accValue(child, value);
        const auto present = m_present.lock();
        if (!present)
            return gone(value);
        const std::wstring shown = (*present)().value;
        return shown.empty() ? (*value = nullptr, S_FALSE) : text(shown, value);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT *role) override
    {
        if (!self(child))
            return m_standard->get_accRole(child, role);
        const auto present = m_present.lock();
        if (!present)
            return RPC_E_DISCONNECTED;
        role->vt = VT_I4;
        role->lVal = msaaRole((*present)().role);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT *state) override
    {
        const auto present = m_present.lock();
        if (self(child) && !present)
            return RPC_E_DISCONNECTED;
        const HRESULT standard = m_standard->get_accState(child, state);
        if (self(child) && SUCCEEDED(standard) && state->vt == VT_I4 && (*present)().pressed)
            state->lVal |= STATE_SYSTEM_PRESSED;
        return standard;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR *action) override
    {
        if (!self(child))
            return m_standard->get_accDefaultAction(child, action);
        const auto present = m_present.lock();
        if (!present)
            return gone(action);
        return pressable(*present) ? text(L"Press", action)
                                   : m_standard->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override
    {
        if (!self(child))
            return m_standard->accDoDefaultAction(child);
        const auto present = m_present.lock();
        if (!present)
            return RPC_E_DISCONNECTED;
        if (!pressable(*present))
            return m_standard->accDoDefaultAction(child);
        PostMessageW(m_window, BM_CLICK, 0, 0);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch **parent) override
    {
        return m_standard->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long *count) override
    {
        return m_standard->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch **dispatch) override
    {
        return m_standard->get_accChild(child, dispatch);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR *description) override
    {
        return m_standard->get_accDescription(child, description);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR *help) override
    {
        return m_standard->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR *file, VARIANT child, long *topic) override
    {
        return m_standard->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR *shortcut) override
    {
        return m_standard->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT *child) override
    {
        return m_standard->get_accFocus(child);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT *children) override
    {
        return m_standard->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override
    {
        return m_standard->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long *left, long *top, long *width, long *height,
                                          VARIANT child) override
    {
        return m_standard->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT *end) override
    {
        return m_standard->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long left, long top, VARIANT *child) override
    {
        return m_standard->accHitTest(left, top, child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override
    {
        return m_standard->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override
    {
        return m_standard->put_accValue(child, value);
    }

private:
    static HRESULT text(const std::wstring &words, BSTR *out)
    {
        *out = Oleacc::get().allocate(words.c_str());
        return *out ? S_OK : E_OUTOFMEMORY;
    }
    static HRESULT gone(BSTR *out)
    {
        *out = nullptr;
        return RPC_E_DISCONNECTED;
    }
    static bool pressable(const Present &present)
    {
        const Role role = present().role;
        return role == Role::PushButton || role == Role::ToggleButton;
    }

    HWND m_window;
    IAccessible *m_standard;
    std::weak_ptr<const Present> m_present; // the control's, gone with it
    ULONG m_references = 1;
};

} // namespace

LRESULT answerGetObject(HWND window, WPARAM wParam, LPARAM lParam,
                        std::weak_ptr<const Present> present)
{
    const Oleacc &oleacc = Oleacc::get();
    IAccessible *standard = nullptr;
    if (static_cast<long>(lParam) != OBJID_CLIENT || !oleacc.createStandard || !oleacc.lresult ||
        !oleacc.allocate ||
        FAILED(oleacc.createStandard(window, OBJID_CLIENT, __uuidof(IAccessible),
                                     reinterpret_cast<void **>(&standard))))
        return DefWindowProcW(window, WM_GETOBJECT, wParam, lParam);
    auto *accessible = new Accessible(window, standard, std::move(present));
    const LRESULT result = oleacc.lresult(__uuidof(IAccessible), wParam, accessible);
    accessible->Release(); // LresultFromObject holds its own reference
    return result;
}

void announceChange(HWND window)
{
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window, OBJID_CLIENT, CHILDID_SELF);
    NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, window, OBJID_CLIENT, CHILDID_SELF);
}

void announceAlert(HWND window)
{
    NotifyWinEvent(EVENT_SYSTEM_ALERT, window, OBJID_CLIENT, CHILDID_SELF);
}

} // namespace ui::win32
