#include "plugins/PluginRegistry.h"

#include <impexp.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace plugins {
namespace {

namespace fs = std::filesystem;

using LibDescriptionProc = const TCHAR* (*)();
using LibNumberClassesProc = int (*)();
using LibClassDescProc = ClassDesc* (*)(int);
using LibVersionProc = ULONG (*)();

// A library offering more classes than this is taken to be answering nonsense.
constexpr int maxClassesPerLibrary = 1000;

std::string lowered(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return out;
}

std::string textOrEmpty(const TCHAR* text) {
    return text ? std::string(text) : std::string();
}

std::string hex(ULONG value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", unsigned(value));
    return text;
}

// Exporters and importers name their extensions only through an instance: one is made, asked
// and deleted, as the host does when it builds its file-type lists.
template <class Filer> std::vector<std::string> extensionsOf(ClassDesc* descriptor) {
    std::unique_ptr<Filer> filer(static_cast<Filer*>(descriptor->Create(FALSE)));
    std::vector<std::string> extensions;
    if (!filer) return extensions;
    const int count = filer->ExtCount();
    for (int i = 0; i < count && i < maxClassesPerLibrary; ++i)
        if (const TCHAR* extension = filer->Ext(i)) extensions.emplace_back(extension);
    return extensions;
}

} // namespace

PluginRegistry::~PluginRegistry() {
    libraries_.clear();
    for (auto module = modules_.rbegin(); module != modules_.rend(); ++module)
        FreeLibrary(*module);
}

void PluginRegistry::refuse(const std::string& path, std::string reason) {
    refused_.push_back({path, std::move(reason)});
}

bool PluginRegistry::loadFolder(const std::string& folder, std::string& error) {
    std::error_code failed;
    std::vector<fs::path> files;
    for (fs::directory_iterator entry(folder, failed), end; !failed && entry != end;
         entry.increment(failed))
        if (lowered(entry->path().extension().string()) == ".dle" && entry->is_regular_file(failed))
            files.push_back(entry->path());
    if (failed) {
        error = "cannot read the plug-ins folder '" + folder + "': " + failed.message();
        return false;
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files)
        loadLibrary(fs::absolute(file, failed).string());
    return true;
}

bool PluginRegistry::loadLibrary(const std::string& path) {
    HMODULE module = LoadLibraryA(path.c_str());
    if (!module) {
        refuse(path, "cannot be loaded (error " + std::to_string(GetLastError()) + ")");
        return false;
    }
    if (std::find(modules_.begin(), modules_.end(), module) != modules_.end()) {
        FreeLibrary(module);
        refuse(path, "is already loaded");
        return false;
    }
    auto description =
        reinterpret_cast<LibDescriptionProc>(GetProcAddress(module, "LibDescription"));
    auto numberClasses =
        reinterpret_cast<LibNumberClassesProc>(GetProcAddress(module, "LibNumberClasses"));
    auto classDesc = reinterpret_cast<LibClassDescProc>(GetProcAddress(module, "LibClassDesc"));
    auto version = reinterpret_cast<LibVersionProc>(GetProcAddress(module, "LibVersion"));
    if (!description || !numberClasses || !classDesc || !version) {
        FreeLibrary(module);
        refuse(path, "is not a plug-in library (it lacks LibDescription, LibNumberClasses, "
                     "LibClassDesc or LibVersion)");
        return false;
    }
    const ULONG libraryVersion = version();
    if (!IsPluginVersionCompatible(libraryVersion)) {
        FreeLibrary(module);
        refuse(path, "was built for host version " + hex(libraryVersion) + " (API " +
                         std::to_string(GET_MAX_API_NUM(libraryVersion)) +
                         "); this host takes API " + std::to_string(MAX_API_NUM_R60) + " to " +
                         std::to_string(MAX_API_NUM_R70));
        return false;
    }
    const int classCount = numberClasses();
    if (classCount < 0 || classCount > maxClassesPerLibrary) {
        FreeLibrary(module);
        refuse(path, "claims " + std::to_string(classCount) + " classes");
        return false;
    }

    PluginLibrary library;
    library.path = path;
    library.description = textOrEmpty(description());
    library.version = libraryVersion;
    for (int i = 0; i < classCount; ++i) {
        ClassDesc* descriptor = classDesc(i);
        if (!descriptor) {
            refuse(path, "gives no descriptor for class " + std::to_string(i));
            continue;
        }
        PluginClass entry;
        entry.descriptor = descriptor;
        entry.name = textOrEmpty(descriptor->ClassName());
        entry.category = textOrEmpty(descriptor->Category());
        entry.superClassId = descriptor->SuperClassID();
        entry.classId = descriptor->ClassID();
        entry.isPublic = descriptor->IsPublic() != 0;
        bool duplicate = false;
        for (const PluginLibrary& loaded : libraries_)
            for (const PluginClass& other : loaded.classes)
                duplicate = duplicate || (other.superClassId == entry.superClassId &&
                                          other.classId == entry.classId);
        if (duplicate) {
            refuse(path, "repeats the class id of '" + entry.name + "', already loaded");
            continue;
        }
        if (entry.superClassId == SCENE_EXPORT_CLASS_ID)
            entry.extensions = extensionsOf<SceneExport>(descriptor);
        else if (entry.superClassId == SCENE_IMPORT_CLASS_ID)
            entry.extensions = extensionsOf<SceneImport>(descriptor);
        library.classes.push_back(std::move(entry));
    }
    libraries_.push_back(std::move(library));
    modules_.push_back(module);
    return true;
}

std::vector<const PluginClass*> PluginRegistry::classesOf(SClass_ID superClassId) const {
    std::vector<const PluginClass*> found;
    for (const PluginLibrary& library : libraries_)
        for (const PluginClass& entry : library.classes)
            if (entry.superClassId == superClassId) found.push_back(&entry);
    return found;
}

const PluginClass* PluginRegistry::findByExtension(SClass_ID superClassId,
                                                   std::string_view extension) const {
    const std::string wanted = lowered(extension);
    for (const PluginClass* entry : classesOf(superClassId))
        for (const std::string& offered : entry->extensions)
            if (lowered(offered) == wanted) return entry;
    return nullptr;
}

std::string pluginsFolder(const std::string& option) {
    if (!option.empty()) return option;
    if (const char* variable = std::getenv("LUMASET_PLUGINS_DIR"); variable && *variable)
        return variable;
    char program[4096];
    DWORD length = GetModuleFileNameA(nullptr, program, sizeof program);
    if (length == 0 || length >= sizeof program) return ".";
    return fs::path(std::string(program, length)).parent_path().string();
}

std::string superClassName(SClass_ID superClassId) {
    switch (superClassId) {
    case UTILITY_CLASS_ID:
        return "utility";
    case SCENE_EXPORT_CLASS_ID:
        return "scene export";
    case SCENE_IMPORT_CLASS_ID:
        return "scene import";
    default:
        return hex(superClassId);
    }
}

} // namespace plugins
