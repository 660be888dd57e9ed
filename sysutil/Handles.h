// Owning wrappers for Windows handles: one template, one alias per kind of handle.
// Move-only; get() borrows, release() gives the handle away (say why where it is used).
#pragma once

#include <windows.h>

#include <utility>

// MinusOneInvalid: the API reports failure with INVALID_HANDLE_VALUE instead of null.
template <typename T, auto Close, bool MinusOneInvalid = false> class TUniqueHandle {
    static T Invalid() noexcept {
        if constexpr (MinusOneInvalid) {
            return INVALID_HANDLE_VALUE;
        } else {
            return T{};
        }
    }

public:
    TUniqueHandle() = default;
    explicit TUniqueHandle(T Handle) : FHandle(Handle) {}
    ~TUniqueHandle() { reset(); }
    TUniqueHandle(TUniqueHandle&& Other) noexcept : FHandle(Other.release()) {}
    TUniqueHandle& operator=(TUniqueHandle&& Other) noexcept {
        if (this != &Other) {
            reset(Other.release());
        }
        return *this;
    }
    TUniqueHandle(const TUniqueHandle&) = delete;
    TUniqueHandle& operator=(const TUniqueHandle&) = delete;

    T get() const noexcept { return FHandle; }
    explicit operator bool() const noexcept { return FHandle != Invalid(); }
    T release() noexcept { return std::exchange(FHandle, Invalid()); }
    void reset(T Handle = Invalid()) noexcept {
        if (FHandle != Invalid()) {
            Close(FHandle);
        }
        FHandle = Handle;
    }
    // For APIs that return a handle through an out-parameter.
    T* put() noexcept {
        reset();
        return &FHandle;
    }

private:
    T FHandle = Invalid();
};

namespace HandleDetail {
inline void CloseKernel(HANDLE Handle) {
    CloseHandle(Handle);
}
inline void CloseKey(HKEY Key) {
    RegCloseKey(Key);
}
inline void CloseFind(HANDLE Find) {
    FindClose(Find);
}
inline void CloseGdi(HGDIOBJ Object) {
    DeleteObject(Object);
}
inline void CloseIcon(HICON Icon) {
    DestroyIcon(Icon);
}
inline void CloseMemoryDC(HDC DC) {
    DeleteDC(DC);
}
inline void CloseSid(PSID Sid) {
    FreeSid(Sid);
}
} // namespace HandleDetail

// Process, thread, event, semaphore, mapping: closed with CloseHandle, empty is null.
using TUniqueKernelHandle = TUniqueHandle<HANDLE, HandleDetail::CloseKernel>;
// CreateFileW and CreateToolhelp32Snapshot report failure with INVALID_HANDLE_VALUE.
using TUniqueFileHandle = TUniqueHandle<HANDLE, HandleDetail::CloseKernel, true>;
using TUniqueFindHandle = TUniqueHandle<HANDLE, HandleDetail::CloseFind, true>;
using TUniqueKey = TUniqueHandle<HKEY, HandleDetail::CloseKey>;
using TUniqueIcon = TUniqueHandle<HICON, HandleDetail::CloseIcon>;
using TUniqueFont = TUniqueHandle<HFONT, HandleDetail::CloseGdi>;
// A DC from CreateCompatibleDC; DCs from GetDC and BeginPaint have owners of their own.
using TUniqueMemoryDC = TUniqueHandle<HDC, HandleDetail::CloseMemoryDC>;
using TUniqueSid = TUniqueHandle<PSID, HandleDetail::CloseSid>;

// Selects an object into a DC and puts the previous one back.
class TSelectObject {
public:
    TSelectObject(HDC DC, HGDIOBJ Object) : FDC(DC), FPrevious(SelectObject(DC, Object)) {}
    ~TSelectObject() { SelectObject(FDC, FPrevious); }
    TSelectObject(const TSelectObject&) = delete;
    TSelectObject& operator=(const TSelectObject&) = delete;

private:
    HDC FDC;
    HGDIOBJ FPrevious;
};

// An owned COM interface pointer.
template <typename T> class TComPtr {
public:
    TComPtr() = default;
    ~TComPtr() { reset(); }
    TComPtr(TComPtr&& Other) noexcept : FPointer(std::exchange(Other.FPointer, nullptr)) {}
    TComPtr& operator=(TComPtr&& Other) noexcept {
        if (this != &Other) {
            reset();
            FPointer = std::exchange(Other.FPointer, nullptr);
        }
        return *this;
    }
    TComPtr(const TComPtr&) = delete;
    TComPtr& operator=(const TComPtr&) = delete;

    T* get() const noexcept { return FPointer; }
    T* operator->() const noexcept { return FPointer; }
    explicit operator bool() const noexcept { return FPointer != nullptr; }
    T** put() noexcept {
        reset();
        return &FPointer;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }
    void reset() noexcept {
        if (FPointer != nullptr) {
            FPointer->Release();
            FPointer = nullptr;
        }
    }

private:
    T* FPointer = nullptr;
};
