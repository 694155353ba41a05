// Module loading over the dynamic linker. The handle given out is our own record, not the
// dynamic linker's, so a stale or foreign handle is recognised instead of being passed on.
#include "libloaderapi.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <vector>

struct HINSTANCE__ {
    void* library = nullptr; // dlopen handle
    std::string path;        // canonical path, the module's identity
    int referenceCount = 0;
};

namespace {

namespace fs = std::filesystem;

struct ModuleTable {
    std::recursive_mutex lock; // DllMain may load further modules
    std::vector<std::unique_ptr<HINSTANCE__>> modules;

    HINSTANCE__* find(const std::string& path) {
        for (auto& module : modules)
            if (module->path == path) return module.get();
        return nullptr;
    }
    bool owns(HMODULE handle) {
        for (auto& module : modules)
            if (module.get() == handle) return true;
        return false;
    }
    void erase(HMODULE handle) {
        for (auto it = modules.begin(); it != modules.end(); ++it)
            if (it->get() == handle) {
                modules.erase(it);
                return;
            }
    }
};

ModuleTable& table() {
    static ModuleTable* instance = new ModuleTable; // outlives every static destructor
    return *instance;
}

fs::path programFolder() {
    std::error_code error;
    fs::path program = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : program.parent_path();
}

// Windows' search order for a bare module name, less the system folders and the current folder.
std::string locate(const std::string& name) {
    if (name.find('/') != std::string::npos) {
        std::error_code error;
        fs::path found = fs::canonical(name, error);
        return error ? std::string() : found.string();
    }
    std::vector<fs::path> folders;
    if (fs::path program = programFolder(); !program.empty()) folders.push_back(program);
    if (const char* path = std::getenv("PATH")) {
        std::string list = path;
        std::size_t start = 0;
        while (start <= list.size()) {
            std::size_t end = list.find(':', start);
            if (end == std::string::npos) end = list.size();
            if (end > start) folders.emplace_back(list.substr(start, end - start));
            start = end + 1;
        }
    }
    for (const fs::path& folder : folders) {
        std::error_code error;
        fs::path candidate = folder / name;
        if (fs::is_regular_file(candidate, error)) {
            fs::path found = fs::canonical(candidate, error);
            if (!error) return found.string();
        }
    }
    return {};
}

DllMainProc entryRoutine(HINSTANCE__* module) {
    void* symbol = dlsym(module->library, "DllMain");
    return reinterpret_cast<DllMainProc>(symbol);
}

} // namespace

extern "C" HMODULE WINAPI LoadLibraryA(LPCSTR fileName) {
    if (fileName == nullptr || *fileName == '\0') {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    ModuleTable& modules = table();
    std::lock_guard guard(modules.lock);
    std::string path = locate(fileName);
    if (path.empty()) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    if (HINSTANCE__* loaded = modules.find(path)) {
        ++loaded->referenceCount;
        return loaded;
    }
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        SetLastError(ERROR_BAD_EXE_FORMAT);
        return nullptr;
    }
    auto record = std::make_unique<HINSTANCE__>();
    record->library = library;
    record->path = path;
    record->referenceCount = 1;
    HINSTANCE__* module = record.get();
    modules.modules.push_back(std::move(record));
    if (DllMainProc entry = entryRoutine(module);
        entry && !entry(module, DLL_PROCESS_ATTACH, nullptr)) {
        // A module whose entry routine refuses to attach is unloaded again, as Windows does.
        entry(module, DLL_PROCESS_DETACH, nullptr);
        dlclose(library);
        modules.erase(module);
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return module;
}

extern "C" BOOL WINAPI FreeLibrary(HMODULE module) {
    ModuleTable& modules = table();
    std::lock_guard guard(modules.lock);
    if (module == nullptr || !modules.owns(module)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (--module->referenceCount > 0) return TRUE;
    if (DllMainProc entry = entryRoutine(module)) entry(module, DLL_PROCESS_DETACH, nullptr);
    dlclose(module->library);
    modules.erase(module);
    return TRUE;
}

extern "C" FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR procName) {
    ModuleTable& modules = table();
    std::lock_guard guard(modules.lock);
    if (module == nullptr || procName == nullptr || !modules.owns(module)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    void* symbol = dlsym(module->library, procName);
    if (symbol == nullptr) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(symbol);
}

extern "C" DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) {
    if (fileName == nullptr || size == 0) return 0;
    std::string path;
    if (module == nullptr) {
        std::error_code error;
        path = fs::read_symlink("/proc/self/exe", error).string();
    } else {
        ModuleTable& modules = table();
        std::lock_guard guard(modules.lock);
        if (!modules.owns(module)) {
            SetLastError(ERROR_INVALID_HANDLE);
            return 0;
        }
        path = module->path;
    }
    std::size_t copied = std::min<std::size_t>(path.size(), size - 1);
    std::memcpy(fileName, path.data(), copied);
    fileName[copied] = '\0';
    return static_cast<DWORD>(copied);
}

extern "C" HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) {
    if (moduleName == nullptr) return nullptr;
    ModuleTable& modules = table();
    std::lock_guard guard(modules.lock);
    std::string name = moduleName;
    if (name.find('/') == std::string::npos) {
        // A bare name matches a loaded module by its file name, wherever it was found.
        for (auto& module : modules.modules)
            if (fs::path(module->path).filename() == name) return module.get();
        return nullptr;
    }
    std::string path = locate(name);
    return path.empty() ? nullptr : modules.find(path);
}
