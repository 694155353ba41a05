#include <filesystem>
#include <fstream>

#include "HostTestSupport.h"
#include "SceneKit.h"
#include "bmmlib.h"

namespace {

using MaterialTest = HostSceneTest;
using namespace scenekit;

::testing::AssertionResult colorNear(const Color& actual, const Color& expected) {
    return pointNear(Point3(actual.r, actual.g, actual.b),
                     Point3(expected.r, expected.g, expected.b));
}

TEST_F(MaterialTest, NewStandardMaterialHasTheUserInterfaceDefaults) {
    StdMat2* material = NewDefaultStdMat();
    Mtl* asMtl = material;
    EXPECT_EQ(asMtl->ClassID(), Class_ID(DMTL_CLASS_ID, 0));
    EXPECT_EQ(asMtl->SuperClassID(), ULONG(MATERIAL_CLASS_ID));
    EXPECT_TRUE(colorNear(asMtl->GetDiffuse(), Color(0.588f, 0.588f, 0.588f)));
    EXPECT_TRUE(colorNear(asMtl->GetAmbient(), Color(0.588f, 0.588f, 0.588f)));
    EXPECT_TRUE(colorNear(asMtl->GetSpecular(), Color(0.9f, 0.9f, 0.9f)));
    EXPECT_FLOAT_EQ(asMtl->GetShininess(), 0.1f);
    EXPECT_FLOAT_EQ(asMtl->GetXParency(), 0.0f);
    EXPECT_EQ(asMtl->NumSubMtls(), 0);
    EXPECT_EQ(asMtl->NumSubTexmaps(), NTEXMAPS);
    EXPECT_EQ(asMtl->GetSubTexmap(ID_DI), nullptr);

    material->SetDiffuse(Color(1.0f, 0.5f, 0.25f), 0);
    material->SetOpacity(0.25f, 0);
    material->SetShininess(0.7f, 0);
    EXPECT_TRUE(colorNear(asMtl->GetDiffuse(0, FALSE), Color(1.0f, 0.5f, 0.25f)));
    EXPECT_FLOAT_EQ(asMtl->GetXParency(), 0.75f);
    EXPECT_FLOAT_EQ(material->GetOpacity(0), 0.25f);
    EXPECT_FLOAT_EQ(asMtl->GetShininess(), 0.7f);

    asMtl->SetSubMtl(0, NewDefaultStdMat()); // a standard material keeps no sub-materials
    EXPECT_EQ(asMtl->GetSubMtl(0), nullptr);
}

TEST_F(MaterialTest, AssignedMapsAreEnabledAtFullAmount) {
    INode* box = makeBox("Box");
    StdMat2* material = standardMaterial(box, Color(1, 0, 0), "bricks.png");
    EXPECT_EQ(box->GetMtl(), material);
    Texmap* map = material->GetSubTexmap(ID_DI);
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->ClassID(), Class_ID(BMTEX_CLASS_ID, 0));
    EXPECT_STREQ(static_cast<BitmapTex*>(map)->GetMapName(), "bricks.png");
    EXPECT_TRUE(material->MapEnabled(ID_DI));
    EXPECT_FLOAT_EQ(material->GetTexmapAmt(ID_DI, 0), 1.0f);
    EXPECT_EQ(material->StdIDToChannel(ID_OP), 6);

    Texmap* colours = vertexColorMap(material, ID_OP, 2);
    EXPECT_EQ(colours->ClassID(), Class_ID(0x934851, 0));
    IParamBlock2* block = colours->GetParamBlock(0);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->GetInt(0), 2);
    Interval valid = FOREVER;
    float wrongType = 0.0f;
    EXPECT_FALSE(block->GetValue(0, 0, wrongType, valid));
    EXPECT_FALSE(block->SetValue(0, 0, 100)); // channels are 0..99
    EXPECT_FALSE(block->SetValue(7, 0, 1));
    EXPECT_EQ(block->GetInt(0), 2);
    EXPECT_EQ(NewDefaultBitmapTex()->GetMapName()[0], '\0');
}

TEST_F(MaterialTest, MultiMaterialKeepsItsSubMaterialsAndWrapsIds) {
    StdMat2* red = standardMaterial(nullptr, Color(1, 0, 0));
    StdMat2* blue = standardMaterial(nullptr, Color(0, 0, 1));
    INode* box = makeBox("Box");
    MultiMtl* multi = multiMaterial(box, {red, blue});
    Mtl* asMtl = multi;
    EXPECT_EQ(asMtl->ClassID(), Class_ID(MULTI_CLASS_ID, 0));
    ASSERT_EQ(asMtl->NumSubMtls(), 2);
    EXPECT_EQ(asMtl->GetSubMtl(1), blue);
    EXPECT_EQ(asMtl->GetSubMtl(2), nullptr);
    EXPECT_TRUE(colorNear(asMtl->GetDiffuse(3), Color(0, 0, 1))); // id 3 uses slot 3 % 2
    EXPECT_EQ(NewDefaultMultiMtl()->NumSubMtls(), 10);
}

TEST_F(MaterialTest, BitmapsAreFoundAsGivenInTheSceneFolderOrOnTheMapPaths) {
    namespace fs = std::filesystem;
    fs::path base = fs::temp_directory_path() / "lumaset-hostcore-maps";
    fs::remove_all(base);
    fs::create_directories(base / "scene/textures");
    fs::create_directories(base / "library");
    std::ofstream(base / "scene/textures/wood.png") << "x";
    std::ofstream(base / "library/stone.png") << "x";

    EXPECT_TRUE(BMMIsFile((base / "library/stone.png").c_str()));
    EXPECT_FALSE(BMMIsFile((base / "library/none.png").c_str()));
    EXPECT_FALSE(BMMIsFile((base / "library").c_str()));

    hostcore::setSceneFolder((base / "scene").string());
    hostcore::setMapPaths({(base / "library").string()});
    BitmapInfo wood("C:\\old\\place\\wood.png");
    wood.SetName("wood.png");
    EXPECT_TRUE(BMMGetFullFilename(&wood));
    EXPECT_EQ(fs::path(wood.Name()), base / "scene/textures/wood.png");
    BitmapInfo stone("stone.png");
    EXPECT_TRUE(BMMGetFullFilename(&stone));
    EXPECT_EQ(fs::path(stone.Name()), base / "library/stone.png");
    BitmapInfo missing("missing.png");
    EXPECT_FALSE(BMMGetFullFilename(&missing));
    EXPECT_STREQ(missing.Name(), "missing.png");

    // Names from Windows: '\' separates folders and letter case does not matter, both for the
    // name as given and for the file name searched in the scene folder and on the map paths.
    BitmapInfo windowsWood("C:\\art\\Wood.PNG");
    EXPECT_TRUE(BMMGetFullFilename(&windowsWood));
    EXPECT_EQ(fs::path(windowsWood.Name()), base / "scene/textures/wood.png");
    BitmapInfo windowsStone("..\\maps\\STONE.png");
    EXPECT_TRUE(BMMGetFullFilename(&windowsStone));
    EXPECT_EQ(fs::path(windowsStone.Name()), base / "library/stone.png");
    std::string backslashed = (base / "Library/Stone.png").string();
    for (char& c : backslashed)
        if (c == '/') c = '\\';
    EXPECT_TRUE(BMMIsFile(backslashed.c_str()));
    BitmapInfo asGiven(backslashed.c_str());
    EXPECT_TRUE(BMMGetFullFilename(&asGiven));
    EXPECT_EQ(fs::path(asGiven.Name()), base / "library/stone.png");
    // The nearest folder wins, whatever order the file system lists them in.
    fs::create_directories(base / "scene/a/deeper");
    std::ofstream(base / "scene/a/deeper/wood.png") << "x";
    BitmapInfo again("wood.png");
    EXPECT_TRUE(BMMGetFullFilename(&again));
    EXPECT_EQ(fs::path(again.Name()), base / "scene/textures/wood.png");

    hostcore::setSceneFolder("");
    hostcore::setMapPaths({});
    fs::remove_all(base);
}

} // namespace
