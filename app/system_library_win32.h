// Libraries and manifests taken on at run time, for what only some runs need.
#pragma once

#include <windows.h>

#include "app/win32_handles.h"

namespace vexmora::win32 {

struct ModuleTraits {
    static HMODULE invalid() { return nullptr; }
    static void close(HMODULE module) { FreeLibrary(module); }
};
using UniqueModule = Unique<HMODULE, ModuleTraits>;

// A system library, never one placed beside the exe. A library an active
// manifest redirects (comctl32) still comes from its side-by-side assembly.
inline UniqueModule loadSystemLibrary(const wchar_t* name) {
    return UniqueModule(LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
}

struct ActivationContextTraits {
    static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE context) { ReleaseActCtx(context); }
};
using UniqueActivationContext = Unique<HANDLE, ActivationContextTraits>;

// An activation context active on this thread for the scope's life.
class ActivationScope {
public:
    explicit ActivationScope(HANDLE context) {
        if (context != INVALID_HANDLE_VALUE && !ActivateActCtx(context, &cookie_)) cookie_ = 0;
    }
    ActivationScope(const ActivationScope&) = delete;
    ActivationScope& operator=(const ActivationScope&) = delete;
    ~ActivationScope() {
        if (cookie_ != 0) DeactivateActCtx(0, cookie_);
    }

private:
    ULONG_PTR cookie_ = 0;
};

// The library's function of the declared type, or nullptr.
template <typename Function>
Function* procedure(HMODULE module, const char* name) {
    if (module == nullptr) return nullptr;
    return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace vexmora::win32
