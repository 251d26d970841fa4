// Patching the executable's import address table.
#include "harness/import_patch.h"
#include <windows.h>

void* PatchImport(const char* dll, const char* function, void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!directory.VirtualAddress)
        return nullptr;
    auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
    for (; import->Name; import++) {
        if (lstrcmpiA(reinterpret_cast<char*>(base + import->Name), dll) != 0)
            continue;
        // The names live in the original thunks; the addresses in the first thunks.
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
        for (; names->u1.AddressOfData; names++, slots++) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (lstrcmpA(reinterpret_cast<char*>(byName->Name), function) != 0)
                continue;
            auto* slot = reinterpret_cast<void**>(&slots->u1.Function);
            DWORD protection;
            VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
            void* previous = *slot;
            *slot = replacement;
            VirtualProtect(slot, sizeof *slot, protection, &protection);
            return previous;
        }
    }
    return nullptr;
}
