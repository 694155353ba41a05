// The program's own look at an X file before the importer reads it: files the services read to
// the end pass, and any other file ends in the services' one-line diagnostic.
#include "cli/XFileCheck.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

// A frame holding a triangle, in text X with the standard templates left to the services.
const std::string triangleText = "xof 0303txt 0032\n"
                                 "Frame Body {\n"
                                 " FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1;; }\n"
                                 " Mesh Triangle {\n"
                                 "  3; 0;0;0;, 1;0;0;, 0;1;0;;\n"
                                 "  1; 3;0,1,2;;\n"
                                 " }\n"
                                 "}\n";

using apptest::writeText;

TEST(XFileCheck, AFileTheServicesReadToTheEndPasses) {
    apptest::TempFolder folder;
    writeText(folder.file("triangle.x"), triangleText);
    std::string diagnostic;
    EXPECT_TRUE(cli::checkXFile(folder.file("triangle.x"), diagnostic)) << diagnostic;

    if (apptest::xCorpusFolder().empty())
        GTEST_SKIP() << "the X file corpus is not at " << LUMASET_CORPUS_DIR << "/x";
    const std::vector<fs::path> files = apptest::xCorpusFiles();
    for (const fs::path& file : files)
        EXPECT_TRUE(cli::checkXFile(file.string(), diagnostic)) << diagnostic;
    EXPECT_GE(files.size(), 13u);
}

TEST(XFileCheck, AnyOtherFileEndsInTheServicesDiagnosticOnOneLine) {
    apptest::TempFolder folder;
    struct Case {
        std::string name, text, expected; // expected: part of the diagnostic after the name
    };
    std::vector<Case> cases = {
        {"cut.x", triangleText.substr(0, triangleText.find("1; 3;")), "cut.x:6:"},
        {"typo.x",
         [] {
             std::string text = triangleText;
             text.replace(text.find("3;0,1,2;;"), 9, "3;0,1,Q;;");
             return text;
         }(),
         "typo.x:6:"},
        {"unknown.x", "xof 0303txt 0032\nGizmo Thing { 1; }\n", "Gizmo"},
        {"header.x", "xof 9999abc 0032\n", "header.x"},
        {"empty.x", "", "empty.x"},
    };
    for (const Case& c : cases)
        writeText(folder.file(c.name), c.text);
    cases.push_back({"absent.x", "", "absent.x"});
    fs::create_directory(folder.path() / "folder.x");
    cases.push_back({"folder.x", "", "folder.x"});
    for (const Case& c : cases) {
        std::string diagnostic;
        EXPECT_FALSE(cli::checkXFile(folder.file(c.name), diagnostic)) << c.name;
        EXPECT_NE(diagnostic.find(c.expected), std::string::npos) << c.name << ": " << diagnostic;
        EXPECT_EQ(diagnostic.find('\n'), std::string::npos) << diagnostic;
        EXPECT_FALSE(diagnostic.empty()) << c.name;
    }
}

} // namespace
