#include "iparamb2.h"
#include "max.h"
#include "utilapi.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class BareDescriptor : public ClassDesc2 {
public:
    int IsPublic() override { return 0; }
    void* Create(BOOL) override { return nullptr; }
    const TCHAR* ClassName() override { return "Bare"; }
    SClass_ID SuperClassID() override { return UTILITY_CLASS_ID; }
    Class_ID ClassID() override { return Class_ID(1, 2); }
    const TCHAR* Category() override { return ""; }
};

TEST(ClassDesc2, KeepsItsParameterBlockDescriptionsOnce) {
    BareDescriptor descriptor;
    ParamBlockDesc2 first(0, "main", &descriptor);
    ParamBlockDesc2 second(3, "extra", nullptr, P_AUTO_CONSTRUCT);
    descriptor.AddParamBlockDesc(&second);
    descriptor.AddParamBlockDesc(&second); // already there
    ASSERT_EQ(descriptor.NumParamBlockDescs(), 2);
    EXPECT_EQ(descriptor.GetParamBlockDesc(1), &second);
    EXPECT_EQ(descriptor.GetParamBlockDesc(2), nullptr);
    EXPECT_EQ(descriptor.GetParamBlockDesc(-1), nullptr);
    EXPECT_EQ(descriptor.GetParamBlockDescByID(3), &second);
    EXPECT_EQ(descriptor.GetParamBlockDescByID(7), nullptr);
    EXPECT_EQ(descriptor.GetParamBlockDescByName("main"), &first);
    EXPECT_EQ(second.cd, &descriptor);
}

TEST(CStr, OwnsItsTextAndFormats) {
    TSTR name("Bone 01");
    TSTR copy = name;
    copy[0] = 'b';
    EXPECT_STREQ(name, "Bone 01");
    EXPECT_EQ(name.Length(), 7);
    EXPECT_EQ(name.first(' '), 4);
    EXPECT_EQ(name.last('0'), 5);
    EXPECT_STREQ(name.Substr(5, 10), "01");
    EXPECT_TRUE(TSTR(nullptr).isNull());
    TSTR formatted;
    formatted.printf("%s-%03d", "frame", 7);
    EXPECT_STREQ(formatted, "frame-007");
    std::string longText(1000, 'x');
    formatted.printf("%s", longText.c_str());
    EXPECT_EQ(formatted.Length(), 1000);
    EXPECT_STREQ(TSTR("MiXed").toUpper(), "MIXED");
}

} // namespace
