// Resource look-up in the tables modules export or the program registers.
#include "headless/ResourceTable.h"
#include "libloaderapi.h"

#include <cstdlib>
#include <map>

namespace {

std::map<HMODULE, const ResourceTable*>& registeredTables() {
    static auto* tables = new std::map<HMODULE, const ResourceTable*>;
    return *tables;
}

const ResourceTable* tableOf(HMODULE module) {
    auto& registered = registeredTables();
    if (auto found = registered.find(module); found != registered.end()) return found->second;
    if (module == nullptr) return nullptr;
    FARPROC symbol = GetProcAddress(module, kResourceTableSymbol);
    return reinterpret_cast<const ResourceTable*>(symbol);
}

// A resource name is a number (MAKEINTRESOURCE) or its text form "#102".
bool numberOf(LPCSTR name, WORD& number) {
    if (name == nullptr) return false;
    if (IS_INTRESOURCE(name)) {
        number = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name));
        return true;
    }
    if (name[0] != '#' || name[1] == '\0') return false;
    char* end = nullptr;
    unsigned long value = std::strtoul(name + 1, &end, 10);
    if (*end != '\0' || value > 0xFFFF) return false;
    number = static_cast<WORD>(value);
    return true;
}

} // namespace

extern "C" void WINAPI RegisterResourceTable(HMODULE module, const ResourceTable* table) {
    if (table)
        registeredTables()[module] = table;
    else
        registeredTables().erase(module);
}

extern "C" HRSRC WINAPI FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) {
    WORD nameId = 0;
    WORD typeId = 0;
    if (!numberOf(name, nameId) || !numberOf(type, typeId)) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    const ResourceTable* table = tableOf(module);
    if (table == nullptr) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    bool typeSeen = false;
    for (DWORD index = 0; index < table->count; ++index) {
        const ResourceEntry& entry = table->entries[index];
        if (entry.typeId != typeId) continue;
        typeSeen = true;
        if (entry.nameId == nameId)
            return reinterpret_cast<HRSRC>(const_cast<ResourceEntry*>(&entry));
    }
    SetLastError(typeSeen ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND);
    return nullptr;
}

extern "C" HGLOBAL WINAPI LoadResource(HMODULE, HRSRC resource) {
    if (resource == nullptr) return nullptr;
    return const_cast<BYTE*>(reinterpret_cast<const ResourceEntry*>(resource)->data);
}

extern "C" LPVOID WINAPI LockResource(HGLOBAL data) {
    return data;
}

extern "C" DWORD WINAPI SizeofResource(HMODULE, HRSRC resource) {
    return resource ? reinterpret_cast<const ResourceEntry*>(resource)->size : 0;
}
