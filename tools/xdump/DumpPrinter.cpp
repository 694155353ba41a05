#include "DumpPrinter.h"

#include "xfile/XFileTemplates.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

struct NamedTemplate {
    const char* name;
    const char* guid;
};

// The templates the dump names; every other type prints as its GUID.
constexpr NamedTemplate kNamedTemplates[] = {
    {"Header", "3D82AB43-62DA-11CF-AB39-0020AF71E433"},
    {"AnimationSet", "3D82AB50-62DA-11CF-AB39-0020AF71E433"},
    {"Vector", "3D82AB5E-62DA-11CF-AB39-0020AF71E433"},
    {"InlineData", "3A23EEA0-94B1-11D0-AB39-0020AF71E433"},
    {"Coords2d", "F6F23F44-7686-11CF-8F52-0040333594A3"},
    {"Url", "3A23EEA1-94B1-11D0-AB39-0020AF71E433"},
    {"Matrix4x4", "F6F23F45-7686-11CF-8F52-0040333594A3"},
    {"ProgressiveMesh", "8A63C360-997D-11D0-941C-0080C80CFA7B"},
    {"ColorRGBA", "35FF44E0-6C7C-11CF-8F52-0040333594A3"},
    {"Guid", "A42790E0-7810-11CF-8F52-0040333594A3"},
    {"ColorRGB", "D3E16E81-7835-11CF-8F52-0040333594A3"},
    {"StringProperty", "7F0F21E0-BFE1-11D1-82C0-00A0C9697271"},
    {"IndexedColor", "1630B820-7842-11CF-8F52-0040333594A3"},
    {"PropertyBag", "7F0F21E1-BFE1-11D1-82C0-00A0C9697271"},
    {"Boolean", "537DA6A0-CA37-11D0-941C-0080C80CFA7B"},
    {"ExternalVisual", "98116AA0-BDBA-11D1-82C0-00A0C9697271"},
    {"Boolean2d", "4885AE63-78E8-11CF-8F52-0040333594A3"},
    {"RightHanded", "7F5D5EA0-D53A-11D1-82C0-00A0C9697271"},
    {"MaterialWrap", "4885AE60-78E8-11CF-8F52-0040333594A3"},
    {"XSkinMeshHeader", "3CF169CE-FF7C-44AB-93C0-F78F62D172E2"},
    {"TextureFilename", "A42790E1-7810-11CF-8F52-0040333594A3"},
    {"VertexDuplicationIndices", "B8D65549-D7C9-4995-89CF-53A9A8B031E3"},
    {"Material", "3D82AB4D-62DA-11CF-AB39-0020AF71E433"},
    {"FaceAdjacency", "A64C844A-E282-4756-8B80-250CDE04398C"},
    {"MeshFace", "3D82AB5F-62DA-11CF-AB39-0020AF71E433"},
    {"SkinWeights", "6F0D123B-BAD2-4167-A0D0-80224F25FABB"},
    {"MeshFaceWraps", "ED1EC5C0-C0A8-11D0-941C-0080C80CFA7B"},
    {"Patch", "A3EB5D44-FC22-429D-9AFB-3221CB9719A6"},
    {"MeshTextureCoords", "F6F23F40-7686-11CF-8F52-0040333594A3"},
    {"PatchMesh", "D02C95CC-EDBA-4305-9B5D-1820D7704BBF"},
    {"MeshMaterialList", "F6F23F42-7686-11CF-8F52-0040333594A3"},
    {"PatchMesh9", "B9EC94E1-B9A6-4251-BA18-94893F02C0EA"},
    {"MeshNormals", "F6F23F43-7686-11CF-8F52-0040333594A3"},
    {"EffectFloats", "F1CFE2B3-0DE3-4E28-AFA1-155A750A282D"},
    {"MeshVertexColors", "1630B821-7842-11CF-8F52-0040333594A3"},
    {"EffectString", "D55B097E-BDB6-4C52-B03D-6051C89D0E42"},
    {"Mesh", "3D82AB44-62DA-11CF-AB39-0020AF71E433"},
    {"EffectDWord", "622C0ED0-956E-4DA9-908A-2AF94F3CE716"},
    {"FrameTransformMatrix", "F6F23F41-7686-11CF-8F52-0040333594A3"},
    {"EffectParamFloats", "3014B9A0-62F5-478C-9B86-E4AC9F4E418B"},
    {"Frame", "3D82AB46-62DA-11CF-AB39-0020AF71E433"},
    {"EffectParamString", "1DBC4C88-94C1-46EE-9076-2C28818C9481"},
    {"FloatKeys", "10DD46A9-775B-11CF-8F52-0040333594A3"},
    {"EffectParamDWord", "E13963BC-AE51-4C5D-B00F-CFA3A9D97CE5"},
    {"TimedFloatKeys", "F406B180-7B3B-11CF-8F52-0040333594A3"},
    {"EffectInstance", "E331F7E4-0559-4CC2-8E99-1CEC1657928F"},
    {"AnimationKey", "10DD46A8-775B-11CF-8F52-0040333594A3"},
    {"AnimTicksPerSecond", "9E415A43-7BA6-4A73-8743-B73D47E88476"},
    {"AnimationOptions", "E2BF56C0-840F-11CF-8F52-0040333594A3"},
    {"CompressedAnimationSet", "7F9B00B3-F125-4890-876E-1C42BF697C4D"},
    {"Animation", "3D82AB4F-62DA-11CF-AB39-0020AF71E433"},
};

std::string guidText(const GUID& id) {
    char text[40];
    std::snprintf(text, sizeof text, "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X",
                  static_cast<unsigned>(id.Data1), id.Data2, id.Data3, id.Data4[0], id.Data4[1],
                  id.Data4[2], id.Data4[3], id.Data4[4], id.Data4[5], id.Data4[6], id.Data4[7]);
    return text;
}

const char* templateName(const GUID& id) {
    std::string text = guidText(id);
    for (const NamedTemplate& named : kNamedTemplates)
        if (text == named.guid) return named.name;
    return nullptr;
}

std::string hresult(HRESULT code) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(code));
    return text;
}

std::string quoted(const char* text) {
    std::string out = "\"";
    for (const char* p = text; *p; ++p) {
        auto c = static_cast<unsigned char>(*p);
        if (c == '\\')
            out += "\\\\";
        else if (c == '"')
            out += "\\\"";
        else if (c < 0x20 || c == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02x", c);
            out += escape;
        } else
            out += static_cast<char>(c);
    }
    return out + "\"";
}

// Reads packed values by a template's layout, printing each; stops quietly when data runs out.
class LayoutReader {
public:
    LayoutReader(const std::uint8_t* data, std::size_t size) : p_(data), left_(size) {}

    bool word() {
        if (left_ < 2) return fail();
        std::uint16_t v;
        std::memcpy(&v, p_, 2);
        advance(2);
        out_ += ' ' + std::to_string(v);
        return true;
    }
    bool dword(std::uint32_t* value = nullptr) {
        if (left_ < 4) return fail();
        std::uint32_t v;
        std::memcpy(&v, p_, 4);
        advance(4);
        if (value) *value = v;
        out_ += ' ' + std::to_string(v);
        return true;
    }
    bool floats(std::uint64_t count) {
        for (std::uint64_t i = 0; i < count; ++i) {
            if (left_ < 4) return fail();
            float v;
            std::memcpy(&v, p_, 4);
            advance(4);
            out_ += ' ';
            if (std::isnan(v))
                out_ += "nan";
            else if (std::isinf(v))
                out_ += v < 0 ? "-inf" : "inf";
            else {
                char text[32];
                std::snprintf(text, sizeof text, "%.9g", static_cast<double>(v));
                out_ += text;
            }
        }
        return true;
    }
    bool dwords(std::uint64_t count) {
        for (std::uint64_t i = 0; i < count; ++i)
            if (!dword()) return false;
        return true;
    }
    bool string() {
        if (left_ < sizeof(char*)) return fail();
        const char* text;
        std::memcpy(&text, p_, sizeof text);
        advance(sizeof text);
        out_ += ' ';
        out_ += text ? quoted(text) : std::string("null");
        return true;
    }
    bool faces(std::uint64_t count) {
        for (std::uint64_t i = 0; i < count; ++i) {
            std::uint32_t n;
            if (!dword(&n) || !dwords(n)) return false;
        }
        return true;
    }

    std::string finish() {
        if (short_)
            out_ += " !short";
        else if (left_ > 0)
            out_ += " !extra " + std::to_string(left_);
        return out_;
    }

private:
    bool fail() {
        short_ = true;
        return false;
    }
    void advance(std::size_t n) {
        p_ += n;
        left_ -= n;
    }

    const std::uint8_t* p_;
    std::size_t left_;
    bool short_ = false;
    std::string out_;
};

// Prints the values of the templates the dump knows the layout of; false for the others.
bool printLayout(std::string_view type, LayoutReader& r) {
    std::uint32_t n = 0;
    std::uint32_t m = 0;
    if (type == "Header")
        (void)(r.word() && r.word() && r.dword());
    else if (type == "Vector" || type == "ColorRGB")
        (void)r.floats(3);
    else if (type == "Coords2d")
        (void)r.floats(2);
    else if (type == "Matrix4x4" || type == "FrameTransformMatrix")
        (void)r.floats(16);
    else if (type == "ColorRGBA")
        (void)r.floats(4);
    else if (type == "Boolean" || type == "AnimTicksPerSecond")
        (void)r.dword();
    else if (type == "TextureFilename")
        (void)r.string();
    else if (type == "Material")
        (void)r.floats(11);
    else if (type == "MeshFace" || type == "FaceAdjacency")
        (void)(r.dword(&n) && r.dwords(n));
    else if (type == "MeshTextureCoords")
        (void)(r.dword(&n) && r.floats(2ull * n));
    else if (type == "MeshMaterialList")
        (void)(r.dword() && r.dword(&n) && r.dwords(n));
    else if (type == "MeshNormals" || type == "Mesh")
        (void)(r.dword(&n) && r.floats(3ull * n) && r.dword(&m) && r.faces(m));
    else if (type == "MeshVertexColors") {
        if (r.dword(&n))
            for (std::uint32_t i = 0; i < n && r.dword() && r.floats(4); ++i) {
            }
    } else if (type == "Frame" || type == "Animation" || type == "AnimationSet") {
    } else if (type == "FloatKeys")
        (void)(r.dword(&n) && r.floats(n));
    else if (type == "TimedFloatKeys")
        (void)(r.dword() && r.dword(&n) && r.floats(n));
    else if (type == "AnimationKey") {
        std::uint32_t keys = 0;
        if (r.dword() && r.dword(&keys))
            for (std::uint32_t i = 0; i < keys && r.dword() && r.dword(&n) && r.floats(n); ++i) {
            }
    } else if (type == "AnimationOptions")
        (void)(r.dword() && r.dword());
    else if (type == "XSkinMeshHeader")
        (void)(r.word() && r.word() && r.word());
    else if (type == "VertexDuplicationIndices")
        (void)(r.dword(&n) && r.dword() && r.dwords(n));
    else if (type == "SkinWeights")
        (void)(r.string() && r.dword(&n) && r.dwords(n) && r.floats(n) && r.floats(16));
    else
        return false;
    return true;
}

class Printer {
public:
    std::string text = "xdump 1\n";

    void object(IDirectXFileData* data, int depth) {
        std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
        const GUID* type = nullptr;
        const char* name = nullptr;
        std::string typeText = "?";
        if (data->GetType(&type) == DXFILE_OK && type) {
            name = templateName(*type);
            typeText = name ? name : "{" + guidText(*type) + "}";
        }
        text += indent + "OBJ " + typeText + ' ' + objectName(data) + '\n';
        text += indent + "  DATA ";
        DWORD size = 0;
        void* bytes = nullptr;
        HRESULT status = data->GetData(nullptr, &size, &bytes);
        if (status != DXFILE_OK) {
            text += "ERROR 0x" + hresult(status) + '\n';
        } else {
            text += std::to_string(size);
            LayoutReader reader(static_cast<const std::uint8_t*>(bytes), size);
            if (name && printLayout(name, reader)) text += ':' + reader.finish();
            text += '\n';
        }
        children(data, depth + 1);
    }

private:
    static std::string objectName(IDirectXFileObject* object) {
        DWORD length = 0;
        if (object->GetName(nullptr, &length) != DXFILE_OK) return "?";
        std::vector<char> buffer(length + 1, '\0');
        DWORD capacity = length + 1;
        if (length > 0 && object->GetName(buffer.data(), &capacity) != DXFILE_OK) return "?";
        return quoted(buffer.data());
    }

    void children(IDirectXFileData* data, int depth) {
        std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
        for (;;) {
            IDirectXFileObject* child = nullptr;
            HRESULT status = data->GetNextObject(&child);
            if (status == DXFILEERR_NOMOREOBJECTS) return;
            if (status != DXFILE_OK) {
                text += indent + "ERROR 0x" + hresult(status) + '\n';
                return;
            }
            void* probe = nullptr;
            if (child->QueryInterface(IID_IDirectXFileData, &probe) == DXFILE_OK) {
                auto* childData = static_cast<IDirectXFileData*>(probe);
                object(childData, depth);
                childData->Release();
            } else if (child->QueryInterface(IID_IDirectXFileDataReference, &probe) == DXFILE_OK) {
                auto* reference = static_cast<IDirectXFileDataReference*>(probe);
                IDirectXFileData* target = nullptr;
                if (reference->Resolve(&target) == DXFILE_OK && target) {
                    text += indent + "REF " + objectName(target) + '\n';
                    target->Release();
                } else {
                    text += indent + "REF ?\n";
                }
                reference->Release();
            } else if (child->QueryInterface(IID_IDirectXFileBinary, &probe) == DXFILE_OK) {
                auto* binary = static_cast<IDirectXFileBinary*>(probe);
                DWORD size = 0;
                text += indent + "BIN " +
                        (binary->GetSize(&size) == DXFILE_OK ? std::to_string(size)
                                                             : std::string("?")) +
                        '\n';
                binary->Release();
            } else {
                text += indent + "UNKNOWN\n";
            }
            child->Release();
        }
    }
};

} // namespace

void registerDumpTemplates(IDirectXFile* file) {
    file->RegisterTemplates(const_cast<unsigned char*>(kStandardTemplates), kStandardTemplatesSize);
    file->RegisterTemplates(const_cast<char*>(kExtensionTemplates),
                            static_cast<DWORD>(std::strlen(kExtensionTemplates)));
}

std::string dumpXFile(IDirectXFile* file, void* source, DXFILELOADOPTIONS options,
                      HRESULT& status) {
    Printer printer;
    int count = 0;
    IDirectXFileEnumObject* enumObject = nullptr;
    status = file->CreateEnumObject(source, options, &enumObject);
    if (status == DXFILE_OK) {
        for (;;) {
            IDirectXFileData* data = nullptr;
            HRESULT next = enumObject->GetNextDataObject(&data);
            if (next != DXFILE_OK) {
                status = next == DXFILEERR_NOMOREOBJECTS ? DXFILE_OK : next;
                break;
            }
            printer.object(data, 0);
            data->Release();
            ++count;
        }
        enumObject->Release();
    }
    if (status != DXFILE_OK) printer.text += "ERROR 0x" + hresult(status) + '\n';
    printer.text += "END " + std::to_string(count) + '\n';
    return printer.text;
}
