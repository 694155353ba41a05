// Plug-in loading as the host does it: every *.dle library of the plug-ins folder is loaded
// through the platform's module loading and asked for its description, its classes and the
// host version it was built for. A library built for an incompatible host is refused and
// unloaded; the others stay loaded, their class descriptors kept by super class and extension.
#pragma once

#include <max.h>
#include <plugin.h>

#include <string>
#include <string_view>
#include <vector>

namespace plugins {

struct PluginClass {
    ClassDesc* descriptor = nullptr; // owned by its library, valid while the registry lives
    std::string name;
    std::string category;
    SClass_ID superClassId = 0;
    Class_ID classId;
    bool isPublic = false;
    std::vector<std::string> extensions; // file extensions of exporters and importers
};

struct PluginLibrary {
    std::string path;
    std::string description;
    ULONG version = 0;
    std::vector<PluginClass> classes;
};

// A library or class the registry would not take, and why (one line).
struct RefusedPlugin {
    std::string path;
    std::string reason;
};

class PluginRegistry {
public:
    PluginRegistry() = default;
    // Unloads every library, last loaded first.
    ~PluginRegistry();
    PluginRegistry(const PluginRegistry&) = delete;
    PluginRegistry& operator=(const PluginRegistry&) = delete;

    // Loads every *.dle file of `folder`, in name order. Libraries that cannot be loaded or are
    // refused are listed in refused(); false (with `error`) only when the folder cannot be read.
    [[nodiscard]] bool loadFolder(const std::string& folder, std::string& error);

    // Loads one library. On refusal the library is unloaded again and the reason recorded.
    bool loadLibrary(const std::string& path);

    const std::vector<PluginLibrary>& libraries() const { return libraries_; }
    const std::vector<RefusedPlugin>& refused() const { return refused_; }

    // Every class of one super class (SCENE_EXPORT_CLASS_ID, ...), in load order.
    std::vector<const PluginClass*> classesOf(SClass_ID superClassId) const;
    // The first class of `superClassId` handling `extension` (without a dot, any case); null
    // when none does.
    const PluginClass* findByExtension(SClass_ID superClassId, std::string_view extension) const;

private:
    void refuse(const std::string& path, std::string reason);

    std::vector<PluginLibrary> libraries_;
    std::vector<HMODULE> modules_;
    std::vector<RefusedPlugin> refused_;
};

// The plug-ins folder: `option` when given, else $LUMASET_PLUGINS_DIR when set, else the folder
// holding the running program (where the build and install layouts put the plug-in).
std::string pluginsFolder(const std::string& option);

// "utility", "scene export", "scene import", or the id in hex.
std::string superClassName(SClass_ID superClassId);

} // namespace plugins
