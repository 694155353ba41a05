// The resource compiler: resource-compile SCRIPT.rc OUTPUT.cpp [-I FOLDER]...
// Writes C++ source holding the script's resources as the module's resource table.
#include "RcCompiler.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

int main(int argc, char** argv) {
    std::vector<std::string> includeFolders;
    std::vector<std::string> files;
    for (int index = 1; index < argc; ++index) {
        std::string argument = argv[index];
        if (argument == "-I" && index + 1 < argc)
            includeFolders.push_back(argv[++index]);
        else if (argument.starts_with("-I"))
            includeFolders.push_back(argument.substr(2));
        else
            files.push_back(argument);
    }
    if (files.size() != 2) {
        std::fprintf(stderr, "usage: resource-compile SCRIPT.rc OUTPUT.cpp [-I FOLDER]...\n");
        return 2;
    }
    rc::Preprocessed script;
    std::vector<rc::Resource> resources;
    std::string error;
    if (!rc::preprocess(files[0], includeFolders, script, error) ||
        !rc::compile(script, resources, error)) {
        std::fprintf(stderr, "resource-compile: %s\n", error.c_str());
        return 1;
    }
    if (resources.empty()) {
        std::fprintf(stderr, "resource-compile: %s: no resources\n", files[0].c_str());
        return 1;
    }
    std::string source =
        rc::tableSource(resources, std::filesystem::path(files[0]).filename().string());
    std::string temporary = files[1] + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary);
        out << source;
        if (!out.flush()) {
            std::fprintf(stderr, "resource-compile: %s: cannot be written\n", temporary.c_str());
            return 1;
        }
    }
    std::error_code renameError;
    std::filesystem::rename(temporary, files[1], renameError);
    if (renameError) {
        std::fprintf(stderr, "resource-compile: %s: %s\n", files[1].c_str(),
                     renameError.message().c_str());
        return 1;
    }
    return 0;
}
