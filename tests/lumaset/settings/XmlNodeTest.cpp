#include "settings/XmlNode.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

XmlDocument read(std::string_view text) {
    XmlDocument document;
    document.Read(text);
    return document;
}

std::vector<std::string> childNames(const XmlNode& node) {
    std::vector<std::string> names;
    for (const XmlNode* child = node.NextChild(nullptr); child; child = node.NextChild(child))
        names.push_back(child->Name());
    return names;
}

// Every node of a tree, by walking it without recursion.
std::size_t countNodes(const XmlNode& root) {
    std::size_t count = 0;
    std::vector<const XmlNode*> pending{&root};
    while (!pending.empty()) {
        const XmlNode* node = pending.back();
        pending.pop_back();
        ++count;
        for (const XmlNode& child : node->Children())
            pending.push_back(&child);
    }
    return count;
}

TEST(XmlNode, ChildrenAreAppendedInOrderAndStayPut) {
    XmlNode root("root");
    XmlNode& first = root.AddChild("a");
    root.AddChild("b");
    root.AddChild("a"); // a second child of the same name, not the first one again
    first.SetAttribute("kept", "yes");
    EXPECT_EQ(childNames(root), (std::vector<std::string>{"a", "b", "a"}));
    EXPECT_EQ(*root.NextChild(nullptr)->GetAttribute("kept"), "yes");
    XmlNode stranger("x");
    EXPECT_EQ(root.NextChild(&stranger), nullptr);
    EXPECT_EQ(stranger.NextChild(nullptr), nullptr);
}

TEST(XmlNode, AttributesConvertLikeTheCLibrary) {
    XmlNode node("n");
    node.SetAttribute("i", -1);
    node.SetAttribute("f", 1.0f);
    node.SetAttribute("t", std::string(" 1"));
    node.SetAttribute("i", 2); // replaces
    EXPECT_EQ(*node.GetAttribute("i"), "2");
    EXPECT_EQ(*node.GetAttribute("f"), "1.000000");
    EXPECT_EQ(node.GetAttributeInt("t"), 1); // leading blank skipped
    EXPECT_TRUE(node.GetAttributeBool("i"));
    EXPECT_EQ(node.GetAttribute("missing"), nullptr);
    EXPECT_EQ(node.GetAttributeInt("missing"), 0);
    EXPECT_EQ(node.GetAttributeFloat("missing"), 0.0f);
    EXPECT_FALSE(node.GetAttributeBool("missing"));
    node.SetAttribute("letters", std::string("abc"));
    EXPECT_FALSE(node.GetAttributeBool("letters"));
    node.SetAttribute("f", 0.1f);
    EXPECT_EQ(*node.GetAttribute("f"), "0.100000");
}

TEST(XmlNode, QuotesAndBackslashesInValuesSurviveAsTheFormatAllows) {
    XmlDocument document;
    XmlNode& element = document.AddChild("e");
    element.SetAttribute("quote", std::string("say \"hi\""));
    element.SetAttribute("slash", std::string("a\\b"));
    std::string text = document.WriteDocument();
    EXPECT_EQ(text, "<?xml version=\"1.0\"?>\n<e quote=\"say \\\"hi\\\"\" slash=\"a\\b\"/>");
    XmlDocument back = read(text);
    const XmlNode* again = back.NextChild(nullptr);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(*again->GetAttribute("quote"), "say \"hi\"");
    EXPECT_EQ(*again->GetAttribute("slash"), "ab"); // the backslash made the b literal
}

TEST(XmlNode, AReadDocumentTakesItsDeclarationAndDropsTheIndentation) {
    XmlDocument document = read("<?xml version=\"1.0\"?>\n<R>\n\t<A value=\"1\"/>\n\t<B/>\n</R>");
    EXPECT_EQ(document.Name(), "?xml");
    ASSERT_NE(document.GetAttribute("version"), nullptr);
    EXPECT_EQ(*document.GetAttribute("version"), "1.0");
    const XmlNode* root = document.NextChild(nullptr);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->Name(), "R");
    EXPECT_EQ(childNames(*root), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(document.NextChild(root), nullptr);
    // Saving it again names it "xml", keeps its other attributes and writes the same layout.
    EXPECT_EQ(document.WriteDocument(),
              "<?xml version=\"1.0\"?>\n<R>\n\t<A value=\"1\"/>\n\t<B/>\n</R>");
}

TEST(XmlNode, TagsOfEveryKindReadAsTheirKind) {
    XmlDocument document = read("<a/><b x=1/><c y=z>inner</c>");
    std::vector<std::string> names = childNames(document);
    ASSERT_EQ(names, (std::vector<std::string>{"a", "b", "c"}));
    const XmlNode* b = document.NextChild(document.NextChild(nullptr));
    EXPECT_TRUE(b->Children().empty());
    EXPECT_EQ(*b->GetAttribute("x"), "1"); // an unquoted value stops before "/>"
    const XmlNode* c = document.NextChild(b);
    EXPECT_EQ(*c->GetAttribute("y"), "z"); // and before ">"
    ASSERT_EQ(c->Children().size(), 1u);
    EXPECT_TRUE(c->Children().front().IsText());
    EXPECT_EQ(c->Children().front().Name(), "inner");
}

TEST(XmlNode, TextKeepsItsBlanksAndSuppressesTheLineBreakAfterIt) {
    XmlDocument document = read("<a> some text <b/></a>");
    const XmlNode& a = document.Children().front();
    EXPECT_EQ(a.Children().front().Name(), " some text ");
    EXPECT_EQ(document.WriteDocument(), "<?xml version=\"1.0\"?>\n<a> some text <b/>\n</a>");
}

TEST(XmlNode, EndTagsCloseWhateverIsOpenAndATopLevelOneEndsTheFile) {
    XmlDocument document = read("<a><b></x><c/></y><d/></z><ignored/>");
    EXPECT_EQ(childNames(document), (std::vector<std::string>{"a", "d"}));
    EXPECT_EQ(childNames(document.Children().front()), (std::vector<std::string>{"b", "c"}));
}

TEST(XmlNode, ADeclarationReplacesTheNodeBeingFilled) {
    XmlDocument document = read("<a><b/><?xml v=\"2\"?><c/></a>");
    const XmlNode& a = document.Children().front();
    EXPECT_EQ(a.Name(), "?xml");
    EXPECT_EQ(*a.GetAttribute("v"), "2");
    EXPECT_EQ(childNames(a), std::vector<std::string>{"c"});
}

TEST(XmlNode, OnlyTheFirstTopLevelNodeIsWritten) {
    XmlDocument document;
    document.AddChild("first").AddChild("inner");
    document.AddChild("second");
    EXPECT_EQ(document.WriteDocument(), "<?xml version=\"1.0\"?>\n<first>\n\t<inner/>\n</first>");
    XmlDocument empty;
    EXPECT_EQ(empty.WriteDocument(), "<?xml version=\"1.0\"?>\n");
}

TEST(XmlNode, DeepNestingCostsNoStack) {
    const std::size_t depth = 200000;
    std::string text;
    for (std::size_t level = 0; level < depth; ++level)
        text += "<n>";
    XmlDocument document = read(text);
    EXPECT_EQ(countNodes(document), depth + 1);
    // Writing indents every level, so the text grows with the square of the depth: a shallower
    // tree makes the point.
    XmlDocument shallower = read(text.substr(0, 3 * 3000));
    XmlDocument again = read(shallower.WriteDocument());
    EXPECT_EQ(countNodes(again), 3000u + 1);
}

// Odd inputs, kept as files: each reads into some tree, writes, and reads again, without a
// crash or a sanitizer report.
TEST(XmlNode, OddInputsAlwaysGiveATree) {
    fs::path corpus = fs::path(LUMASET_SOURCE_DIR) / "fuzz" / "xml" / "corpus";
    ASSERT_TRUE(fs::is_directory(corpus));
    std::size_t files = 0;
    for (const auto& entry : fs::directory_iterator(corpus)) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream content;
        content << in.rdbuf();
        const std::string text = content.str();
        for (std::size_t length = 0; length <= text.size() && length <= 512; ++length) {
            // A fresh heap block of exactly the prefix: a std::string would keep a readable zero
            // (or its inline buffer) past the end, hiding a one-byte over-read.
            std::unique_ptr<char[]> prefix(new char[length ? length : 1]);
            std::memcpy(prefix.get(), text.data(), length);
            XmlDocument document = read(std::string_view(prefix.get(), length));
            std::string written = document.WriteDocument();
            EXPECT_EQ(written.rfind("<?xml", 0), 0u) << entry.path();
            XmlDocument again = read(written);
            (void)again;
        }
        ++files;
    }
    EXPECT_GE(files, 10u);
}

TEST(XmlNode, LoadAndSaveGoThroughFiles) {
    char folderTemplate[] = "/tmp/lumaset-xml-XXXXXX";
    ASSERT_NE(mkdtemp(folderTemplate), nullptr);
    fs::path folder = folderTemplate;
    XmlDocument document;
    EXPECT_FALSE(document.Load((folder / "missing.xml").string()));
    document.AddChild("R").SetAttribute("k", 5);
    ASSERT_TRUE(document.Save((folder / "out.xml").string()));
    EXPECT_FALSE(document.Save((folder / "no" / "such" / "folder.xml").string()));
    XmlDocument loaded;
    ASSERT_TRUE(loaded.Load((folder / "out.xml").string()));
    EXPECT_EQ(loaded.Children().front().GetAttributeInt("k"), 5);
    fs::remove_all(folder);
}

} // namespace
