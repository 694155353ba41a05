// A small plug-in library for the registry's tests: an exporter with two extensions and a
// utility, answering the host's entry points. Built with TEST_PLUGIN_API set to another API
// number it stands for a library made for an incompatible host.
#include <max.h>
#include <utilapi.h>

#ifndef TEST_PLUGIN_API
#define TEST_PLUGIN_API MAX_API_NUM
#endif

#define PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

class TestExporter : public SceneExport {
public:
    int ExtCount() override { return 2; }
    const TCHAR* Ext(int n) override { return n == 0 ? "tst" : "TEST"; }
    const TCHAR* LongDesc() override { return "Test Exporter"; }
    const TCHAR* ShortDesc() override { return "Test"; }
    const TCHAR* AuthorName() override { return ""; }
    const TCHAR* CopyrightMessage() override { return ""; }
    const TCHAR* OtherMessage1() override { return ""; }
    const TCHAR* OtherMessage2() override { return ""; }
    unsigned int Version() override { return 100; }
    void ShowAbout(HWND) override {}
    int DoExport(const TCHAR*, ExpInterface*, Interface*, BOOL, DWORD) override { return 1; }
};

class TestDesc : public ClassDesc {
public:
    TestDesc(const char* name, SClass_ID superClass, Class_ID id)
        : name_(name), superClass_(superClass), id_(id) {}
    int IsPublic() override { return 1; }
    void* Create(BOOL) override {
        return superClass_ == SCENE_EXPORT_CLASS_ID ? new TestExporter : nullptr;
    }
    const TCHAR* ClassName() override { return name_; }
    SClass_ID SuperClassID() override { return superClass_; }
    Class_ID ClassID() override { return id_; }
    const TCHAR* Category() override { return "Testing"; }

private:
    const char* name_;
    SClass_ID superClass_;
    Class_ID id_;
};

TestDesc exporterDesc("Test Export", SCENE_EXPORT_CLASS_ID, Class_ID(0x11111111, 0x22222222));
TestDesc utilityDesc("Test Utility", UTILITY_CLASS_ID, Class_ID(0x33333333, 0x44444444));

} // namespace

PLUGIN_EXPORT const TCHAR* LibDescription() {
    return "Test plug-ins";
}
PLUGIN_EXPORT int LibNumberClasses() {
    return 2;
}
PLUGIN_EXPORT ClassDesc* LibClassDesc(int i) {
    switch (i) {
    case 0:
        return &exporterDesc;
    case 1:
        return &utilityDesc;
    default:
        return nullptr;
    }
}
PLUGIN_EXPORT ULONG LibVersion() {
    return MAX_VERSION_WORD(MAX_RELEASE, TEST_PLUGIN_API, MAX_SDK_REV);
}
