#include "ui/win32/LiveRegion.h"

#include <objbase.h>
#include <oleacc.h>

#include "platform/win32/SystemLibrary.h"

namespace velmora {

namespace {

// The annotation property that makes a window a live region, and its value "polite".
constexpr GUID kLiveSettingProperty = {0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr GUID kAccPropServicesClass = {0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr GUID kAccPropServicesInterface = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr LONG kPolite = 1;
constexpr DWORD kLiveRegionChanged = 0x8019;

}  // namespace

void LiveRegion::changed() {
    if (!label_) return;
    // Marked at the first change, not at start-up: the accessibility server
    // costs its load only when there is something to read out.
    if (!marked_) {
        marked_ = true;
        IAccPropServices* services = nullptr;
        const auto create = systemFunctionAs<HRESULT(WINAPI*)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*)>(
            "ole32.dll", "CoCreateInstance");
        if (comReady() && create &&
            SUCCEEDED(create(kAccPropServicesClass, nullptr, CLSCTX_INPROC_SERVER, kAccPropServicesInterface,
                             reinterpret_cast<void**>(&services)))) {
            VARIANT polite{};
            polite.vt = VT_I4;
            polite.lVal = kPolite;
            services->SetHwndProp(label_, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, kLiveSettingProperty, polite);
            services->Release();
        }
    }
    NotifyWinEvent(kLiveRegionChanged, label_, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace velmora
