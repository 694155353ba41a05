// Helpers for the import tests: a fresh host scene and settings folder per test, X files written
// with the project's own writer, the import command run with a user playing its dialog, and
// comparisons of host matrices.
#pragma once

#include "model/XScene.h"

#include "hostcore.h"
#include "inode.h"
#include "matrix3.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace importtest {

inline const char kImportTitle[] = "Lumaset (Tavisorel) Import";

// Each test starts from an empty host scene with its own settings folder and temporary folder,
// the plug-in's dialogs registered, and the scene's frame rate at 30 frames a second.
class ImportTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A path in this test's temporary folder.
    std::filesystem::path scratch(const std::string& fileName) const;
    std::filesystem::path folder;
};

// Writes `scene` as a text X file (format 1 text, 0 binary, 2 compressed) and returns its path.
std::filesystem::path writeXFile(const std::filesystem::path& path, const XScene& scene,
                                 int format = 1);

// The dialog answers a user can give: the check boxes and edits to change before OK.
struct DialogAnswers {
    bool cancel = false;
    std::optional<bool> normals, uv, colors, skin, animation, leftHanded;
    std::vector<std::pair<int, std::string>> edits; // control id, text typed
};
// Runs the importer's DoImport on `path` with a user answering dialog 104; returns its result.
int importWithDialog(const std::filesystem::path& path, const DialogAnswers& answers = {});

// A scene that imports which fail must leave alone: one box "Existing" and two stored sets,
// "idle" (frames 0 to 10) and "jump" (11 to 40).
void makeExistingScene();
void expectExistingSceneUnchanged(const std::string& where = std::string());

// The first scene node of that name, or null.
INode* findNode(const std::string& name);

// Row vectors, as the host keeps them.
Matrix3 rows(Point3 x, Point3 y, Point3 z, Point3 t);
XMatrix toX(const Matrix3& matrix);
void expectNear(const Matrix3& expected, const Matrix3& actual, float tolerance,
                const std::string& where);

// Matrix of scale, then rotation about an axis (0 x, 1 y, 2 z), then translation.
Matrix3 srt(Point3 scale, int axis, float radians, Point3 translation);

} // namespace importtest
