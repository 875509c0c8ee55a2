// Catches the test program's calls of a system function at its import
// table. The program links the library statically, so the library's calls
// of the spooler and GDI go through that table too.
#pragma once

#include <windows.h>

namespace zeseal::testing {

// Points every import slot of the program that holds function of dll at
// replacement, for as long as the object lives. Real() is the function
// itself; Hooked() tells whether a slot was found.
class ImportHook {
public:
    ImportHook(const char* dll, const char* function, void* replacement) {
        HMODULE module = LoadLibraryA(dll);
        real_ = module != nullptr ? reinterpret_cast<void*>(GetProcAddress(module, function)) : nullptr;
        if (real_ != nullptr) Swap(real_, replacement);
        replacement_ = replacement;
    }
    ~ImportHook() {
        if (hooked_) Swap(replacement_, real_);
    }
    ImportHook(const ImportHook&) = delete;
    ImportHook& operator=(const ImportHook&) = delete;

    void* Real() const { return real_; }
    bool Hooked() const { return hooked_; }

private:
    void Swap(void* from, void* to) {
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
        const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        if (imports.VirtualAddress == 0) return;
        for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
             entry->Name != 0; ++entry) {
            for (auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
                 slot->u1.Function != 0; ++slot) {
                if (reinterpret_cast<void*>(slot->u1.Function) != from) continue;
                DWORD protection = 0;
                VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &protection);
                slot->u1.Function = reinterpret_cast<ULONG_PTR>(to);
                VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, protection, &protection);
                hooked_ = true;
            }
        }
    }

    void* real_ = nullptr;
    void* replacement_ = nullptr;
    bool hooked_ = false;
};

}  // namespace zeseal::testing
