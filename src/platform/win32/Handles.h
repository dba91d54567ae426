#pragma once
#include <windows.h>

#include <utility>

namespace velmora {

// A system handle that closes itself. Move-only; `receive` hands the address
// to a call that fills it in.
template <typename Kind>
class OwnedHandle {
public:
    using Raw = typename Kind::Raw;

    OwnedHandle() = default;
    explicit OwnedHandle(Raw raw) : raw_(raw) {}
    ~OwnedHandle() { reset(); }
    OwnedHandle(OwnedHandle&& other) noexcept : raw_(other.release()) {}
    OwnedHandle& operator=(OwnedHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;

    Raw get() const { return raw_; }
    explicit operator bool() const { return Kind::valid(raw_); }
    Raw release() { return std::exchange(raw_, Raw{}); }
    void reset(Raw raw = Raw{}) {
        if (Kind::valid(raw_)) Kind::close(raw_);
        raw_ = raw;
    }
    Raw* receive() {
        reset();
        return &raw_;
    }

private:
    Raw raw_{};
};

struct RegistryKeyKind {
    using Raw = HKEY;
    static bool valid(HKEY key) { return key != nullptr; }
    static void close(HKEY key) { RegCloseKey(key); }
};

// Kernel objects: processes, threads, files, pipes, events. Both null and
// INVALID_HANDLE_VALUE mean none, as different calls fail with either.
struct KernelHandleKind {
    using Raw = HANDLE;
    static bool valid(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    static void close(HANDLE handle) { CloseHandle(handle); }
};

struct ServiceHandleKind {
    using Raw = SC_HANDLE;
    static bool valid(SC_HANDLE handle) { return handle != nullptr; }
    static void close(SC_HANDLE handle) { CloseServiceHandle(handle); }
};

// Fonts made for a window, and icons loaded at a size of its own.
struct FontKind {
    using Raw = HFONT;
    static bool valid(HFONT font) { return font != nullptr; }
    static void close(HFONT font) { DeleteObject(font); }
};

struct IconKind {
    using Raw = HICON;
    static bool valid(HICON icon) { return icon != nullptr; }
    static void close(HICON icon) { DestroyIcon(icon); }
};

// The screen's device context, as GetDC(nullptr) hands it out.
struct ScreenDcKind {
    using Raw = HDC;
    static bool valid(HDC dc) { return dc != nullptr; }
    static void close(HDC dc) { ReleaseDC(nullptr, dc); }
};

using RegistryKey = OwnedHandle<RegistryKeyKind>;
using Handle = OwnedHandle<KernelHandleKind>;
using ServiceHandle = OwnedHandle<ServiceHandleKind>;
using FontHandle = OwnedHandle<FontKind>;
using IconHandle = OwnedHandle<IconKind>;
using ScreenDc = OwnedHandle<ScreenDcKind>;

}  // namespace velmora
