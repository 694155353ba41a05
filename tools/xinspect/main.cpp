// xinspect: shows the X scene the plug-in's reader makes of an X file, and optionally writes it
// back out with the plug-in's writer.
#include "SceneSummary.h"

#include "xfile/TextNames.h"
#include "xfile/XFileIO.h"
#include "xfile/XFileServices.h"

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>

namespace {

const char kUsage[] =
    "usage: xinspect FILE [--write OUT --format text|binary|compressed [--unify]\n"
    "                      [--keep normals,uv,texpath,skin,animation,colors]]\n"
    "Prints the scene the X file reader makes of FILE: frames as a tree with their meshes,\n"
    "materials, bones, and the animation sets with key counts per type; the totals count X\n"
    "faces as the file lists them, and a last line counts as 'lumaset scene info' does for an\n"
    "imported scene (triangles, a quad being two; a matrix key as one key of each kind).\n"
    "With --write, also writes the scene to OUT with the X file writer. --unify shares one\n"
    "vertex index per corner; --keep lists the content to keep (all of it when absent). The\n"
    "text format carries only plain names (letters, digits, _ and -, no keyword): others are\n"
    "written renamed, and each renaming is listed.\n";

int usageError(const std::string& message) {
    std::cerr << "xinspect: " << message << "\n" << kUsage;
    return 2;
}

// Sets the writer's content switches from a comma-separated list; false for an unknown word.
bool applyKeepList(std::string_view list, XFileIO& io, std::string& unknown) {
    io.keepNormals = io.keepTexCoords = io.keepTexturePath = false;
    io.keepSkin = io.keepAnimation = io.keepVertexColors = false;
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        const std::string_view word = list.substr(0, comma);
        if (word == "normals")
            io.keepNormals = true;
        else if (word == "uv")
            io.keepTexCoords = true;
        else if (word == "texpath")
            io.keepTexturePath = true;
        else if (word == "skin")
            io.keepSkin = true;
        else if (word == "animation")
            io.keepAnimation = true;
        else if (word == "colors")
            io.keepVertexColors = true;
        else if (!word.empty()) {
            unknown = std::string(word);
            return false;
        }
        list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
    }
    return true;
}

// The file services' own account of their last error, or an empty text.
std::string lastServicesError() {
    XFileServices& services = xfileServices();
    if (!services.isAvailable()) return "the file services (d3dxof.dll) could not be loaded";
    auto getLastError = reinterpret_cast<LPDIRECTXFILEGETLASTERROR>(
        GetProcAddress(services.library(), "DirectXFileGetLastError"));
    DXFILEDIAGNOSTIC diagnostic{};
    if (!getLastError || getLastError(services.rootFile(), &diagnostic) != DXFILE_OK ||
        diagnostic.code == DXFILE_OK || !diagnostic.message)
        return std::string();
    return diagnostic.message;
}

} // namespace

int main(int argc, char** argv) {
    const char* inputName = nullptr;
    const char* outputName = nullptr;
    const char* formatName = nullptr;
    bool unify = false;
    bool keepGiven = false;
    XFileIO writer;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (arg == "--write" || arg == "--format" || arg == "--keep") {
            if (i + 1 >= argc) return usageError(std::string(arg) + " needs a value");
            const char* value = argv[++i];
            if (arg == "--write")
                outputName = value;
            else if (arg == "--format")
                formatName = value;
            else {
                keepGiven = true;
                std::string unknown;
                if (!applyKeepList(value, writer, unknown))
                    return usageError("unknown content '" + unknown + "' in --keep");
            }
        } else if (arg == "--unify") {
            unify = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return usageError("unknown option " + std::string(arg));
        } else if (!inputName) {
            inputName = argv[i];
        } else {
            return usageError("more than one input file");
        }
    }
    if (!inputName) return usageError("no input file");

    std::uint32_t format = 0;
    if (outputName) {
        if (!formatName) return usageError("--write needs --format");
        if (std::strcmp(formatName, "text") == 0)
            format = 1;
        else if (std::strcmp(formatName, "binary") == 0)
            format = 0;
        else if (std::strcmp(formatName, "compressed") == 0)
            format = 2;
        else
            return usageError("unknown format '" + std::string(formatName) + "'");
    } else if (formatName || unify || keepGiven) {
        return usageError("--format, --unify and --keep only go with --write");
    }

    const XFileIO reader; // the reader keeps everything the file holds
    const std::unique_ptr<XScene> scene = reader.readScene(inputName);
    if (!scene) {
        const std::string reason = lastServicesError();
        std::cerr << "xinspect: " << inputName << ": "
                  << (reason.empty() ? "cannot be opened" : reason) << "\n";
        return 1;
    }
    printSceneSummary(std::cout, *scene);
    // The reader keeps what came before an error in the middle of a file; the user must know.
    const std::string readError = lastServicesError();
    if (!readError.empty()) {
        std::cerr << "xinspect: " << inputName << ": read stopped early: " << readError << "\n";
        return 1; // and a partial scene is not written anywhere
    }

    if (outputName) {
        if (!writer.writeScene(outputName, *scene, format, unify)) {
            const std::string reason = lastServicesError();
            std::cerr << "xinspect: " << outputName << ": not written"
                      << (reason.empty() ? std::string() : ": " + reason) << "\n";
            return 1;
        }
        std::cout << "written: " << outputName << " (" << formatName << (unify ? ", unified" : "")
                  << ")\n";
        // The text encoding carries only plain names; say which ones it changed.
        if (format & 1) {
            const TextEncodingNames textNames(*scene);
            for (const auto& [oldName, newName] : textNames.renamed())
                std::cout << "renamed for the text encoding: " << quotedName(oldName) << " -> "
                          << quotedName(newName) << "\n";
        }
    }
    return 0;
}
