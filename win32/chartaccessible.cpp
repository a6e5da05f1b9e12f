#include "chartaccessible.h"

#include "chartcontrol.h"
#include "systemdll.h"
#include "widetext.h"

#include <oleacc.h>

namespace runetally::win32 {
namespace {

// MinGW-w64 10's libuuid holds a wrong IID_IAccessible.
constexpr GUID kIAccessible{
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// The system's object for the chart's client area, with the role and description of a chart.
class ChartObject final : public IAccessible {
public:
    ChartObject(HWND chart, IAccessible* standard) : chart_(chart), standard_(standard) {}

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kIAccessible) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            standard_->Release();
            delete this;
        }
        return left;
    }

    // IDispatch: screen readers call IAccessible itself.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible: the description and role are the chart's.
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        if (!IsSelf(child) || !IsWindow(chart_)) {
            return standard_->get_accDescription(child, description);
        }
        // oleaut32, as oleacc, is loaded once a screen reader first asks: not at start-up.
        static auto* const allocate =
            SystemFunction<decltype(SysAllocString)>(L"oleaut32.dll", "SysAllocString");
        *description = allocate != nullptr
                           ? allocate(Widen(ChartPictureOf(chart_).description).c_str())
                           : nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!IsSelf(child)) {
            return standard_->get_accRole(child, role);
        }
        role->vt = VT_I4;
        role->lVal = ROLE_SYSTEM_CHART;
        return S_OK;
    }
    // The rest is the system's.
    // clang-format off
#define RUNETALLY_STANDARD(method, parameters, arguments)                                          \
    HRESULT STDMETHODCALLTYPE method parameters override { return standard_->method arguments; }
    RUNETALLY_STANDARD(get_accParent, (IDispatch** parent), (parent))
    RUNETALLY_STANDARD(get_accChildCount, (long* count), (count))
    RUNETALLY_STANDARD(get_accChild, (VARIANT child, IDispatch** object), (child, object))
    RUNETALLY_STANDARD(get_accName, (VARIANT child, BSTR* name), (child, name))
    RUNETALLY_STANDARD(get_accValue, (VARIANT child, BSTR* value), (child, value))
    RUNETALLY_STANDARD(get_accState, (VARIANT child, VARIANT* state), (child, state))
    RUNETALLY_STANDARD(get_accHelp, (VARIANT child, BSTR* help), (child, help))
    RUNETALLY_STANDARD(get_accHelpTopic, (BSTR* file, VARIANT child, long* topic),
                       (file, child, topic))
    RUNETALLY_STANDARD(get_accKeyboardShortcut, (VARIANT child, BSTR* keys), (child, keys))
    RUNETALLY_STANDARD(get_accFocus, (VARIANT* focus), (focus))
    RUNETALLY_STANDARD(get_accSelection, (VARIANT* selection), (selection))
    RUNETALLY_STANDARD(get_accDefaultAction, (VARIANT child, BSTR* action), (child, action))
    RUNETALLY_STANDARD(accSelect, (long how, VARIANT child), (how, child))
    RUNETALLY_STANDARD(accLocation,
                       (long* left, long* top, long* width, long* height, VARIANT child),
                       (left, top, width, height, child))
    RUNETALLY_STANDARD(accNavigate, (long direction, VARIANT start, VARIANT* end),
                       (direction, start, end))
    RUNETALLY_STANDARD(accHitTest, (long x, long y, VARIANT* child), (x, y, child))
    RUNETALLY_STANDARD(accDoDefaultAction, (VARIANT child), (child))
    RUNETALLY_STANDARD(put_accName, (VARIANT child, BSTR name), (child, name))
    RUNETALLY_STANDARD(put_accValue, (VARIANT child, BSTR value), (child, value))
#undef RUNETALLY_STANDARD
    // clang-format on

private:
    ~ChartObject() = default;

    HWND chart_;
    IAccessible* standard_;
    ULONG references_ = 1;
};

} // namespace

LRESULT ChartAccessible(HWND chart, WPARAM wParam, LPARAM lParam) {
    if (static_cast<LONG>(lParam) != static_cast<LONG>(OBJID_CLIENT)) {
        return DefWindowProcW(chart, WM_GETOBJECT, wParam, lParam);
    }
    // Loaded when an accessibility client first asks, as comdlg32 and shell32 are when first used.
    static auto* const createStandard = SystemFunction<decltype(CreateStdAccessibleObject)>(
        L"oleacc.dll", "CreateStdAccessibleObject");
    static auto* const resultFrom =
        SystemFunction<decltype(LresultFromObject)>(L"oleacc.dll", "LresultFromObject");
    IAccessible* standard = nullptr;
    if (createStandard == nullptr || resultFrom == nullptr ||
        FAILED(createStandard(chart, OBJID_CLIENT, kIAccessible,
                              reinterpret_cast<void**>(&standard)))) {
        return 0;
    }
    auto* object = new ChartObject(chart, standard);
    const LRESULT result = resultFrom(kIAccessible, wParam, object);
    object->Release(); // LresultFromObject holds its own reference
    return result;
}

} // namespace runetally::win32
