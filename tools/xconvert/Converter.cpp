#include "Converter.h"

#include "FileBytes.h"
#include "Objects.h"

#include <ComRef.h>

#include <utility>
#include <vector>

namespace {

class Converter {
public:
    Converter(IDirectXFileSaveObject* save, std::string& reason) : save_(save), reason_(reason) {}

    // A new object holding a copy of `source` and of all its descendants.
    HRESULT copy(IDirectXFileData* source, ComRef<IDirectXFileData>& out) {
        const GUID* type = nullptr;
        DWORD size = 0;
        void* data = nullptr;
        HRESULT status = source->GetType(&type);
        if (status == DXFILE_OK) status = source->GetData(nullptr, &size, &data);
        if (status != DXFILE_OK) return failed(status, "cannot read an object");
        std::string name;
        bool hasName = false;
        if (!nameOf(source, name, hasName)) return failed(DXFILEERR_BADVALUE, "cannot read a name");
        GUID id{};
        source->GetId(&id);
        bool hasId = !IsEqualGUID(id, GUID{});
        status = save_->CreateDataObject(*type, hasName ? name.c_str() : nullptr,
                                         hasId ? &id : nullptr, size, data, out.receive());
        if (status != DXFILE_OK) return failed(status, "cannot build a copy of " + name);
        for (;;) {
            ComRef<IDirectXFileObject> child;
            status = source->GetNextObject(child.receive());
            if (status == DXFILEERR_NOMOREOBJECTS) return DXFILE_OK;
            if (status != DXFILE_OK) return failed(status, "cannot read the children of " + name);
            if (HRESULT copied = copyChild(child.get(), out.get()); copied != DXFILE_OK)
                return copied;
        }
    }

private:
    HRESULT copyChild(IDirectXFileObject* child, IDirectXFileData* parent) {
        ComRef<IDirectXFileData> data;
        if (child->QueryInterface(IID_IDirectXFileData, data.receiveVoid()) == DXFILE_OK) {
            ComRef<IDirectXFileData> copied;
            if (HRESULT status = copy(data.get(), copied); status != DXFILE_OK) return status;
            return parent->AddDataObject(copied.get());
        }
        ComRef<IDirectXFileDataReference> reference;
        if (child->QueryInterface(IID_IDirectXFileDataReference, reference.receiveVoid()) ==
            DXFILE_OK) {
            // A reference answers with the name and GUID of what it refers to.
            std::string name;
            bool hasName = false;
            GUID id{};
            if (!nameOf(reference.get(), name, hasName) || reference->GetId(&id) != DXFILE_OK)
                return failed(DXFILEERR_BADVALUE, "cannot read a reference");
            bool hasId = !IsEqualGUID(id, GUID{});
            if (!hasName && !hasId)
                return failed(DXFILEERR_BADDATAREFERENCE,
                              "a reference to an object without name or GUID");
            return parent->AddDataReference(hasName ? name.c_str() : nullptr,
                                            hasId ? &id : nullptr);
        }
        ComRef<IDirectXFileBinary> binary;
        if (child->QueryInterface(IID_IDirectXFileBinary, binary.receiveVoid()) == DXFILE_OK) {
            DWORD size = 0;
            LPCSTR mimeType = nullptr;
            binary->GetSize(&size);
            binary->GetMimeType(&mimeType);
            std::vector<char> bytes(size);
            DWORD read = 0;
            if (size > 0) binary->Read(bytes.data(), size, &read);
            std::string name;
            bool hasName = false;
            nameOf(binary.get(), name, hasName);
            GUID id{};
            binary->GetId(&id);
            return parent->AddBinaryObject(hasName ? name.c_str() : nullptr, &id, mimeType,
                                           bytes.data(), read);
        }
        return failed(DXFILEERR_BADOBJECT, "a child of an unknown kind");
    }

    static bool nameOf(IDirectXFileObject* object, std::string& name, bool& hasName) {
        DWORD length = 0;
        if (object->GetName(nullptr, &length) != DXFILE_OK) return false;
        hasName = length > 0;
        if (!hasName) return true;
        std::vector<char> buffer(length);
        if (object->GetName(buffer.data(), &length) != DXFILE_OK) return false;
        name.assign(buffer.data());
        return true;
    }

    HRESULT failed(HRESULT status, std::string reason) {
        if (reason_.empty()) reason_ = std::move(reason);
        return status;
    }

    IDirectXFileSaveObject* save_;
    std::string& reason_;
};

} // namespace

HRESULT convertXFile(IDirectXFile* root, const std::string& inPath, const std::string& outPath,
                     DXFILEFORMAT format, std::string& reason) {
    std::vector<std::uint8_t> bytes;
    if (dxfile::Diagnostic failure = dxfile::readWholeFile(inPath, dxfile::kMaxFileBytes, bytes);
        failure.failed()) {
        reason = "cannot read " + inPath + ": " + failure.reason;
        return DXFILEERR_FILENOTFOUND;
    }
    void* self = nullptr;
    if (root->QueryInterface(dxfile::kSelfIid, &self) != DXFILE_OK) {
        reason = "not a root object of this library";
        return DXFILEERR_BADOBJECT;
    }
    std::vector<GUID> declared;
    static_cast<dxfile::RootObject*>(self)->listDeclaredTemplates(dxfile::ByteSpan(bytes),
                                                                  declared);

    ComRef<IDirectXFileEnumObject> enumObject;
    DXFILELOADMEMORY memory{bytes.data(), static_cast<DWORD>(bytes.size())};
    HRESULT status = root->CreateEnumObject(&memory, DXFILELOAD_FROMMEMORY, enumObject.receive());
    if (status != DXFILE_OK) {
        reason = "cannot read " + inPath;
        return status;
    }
    ComRef<IDirectXFileSaveObject> save;
    status = root->CreateSaveObject(outPath.c_str(), format, save.receive());
    if (status != DXFILE_OK) {
        reason = "cannot save to " + outPath;
        return status;
    }
    std::vector<const GUID*> ids;
    for (const GUID& id : declared)
        ids.push_back(&id);
    status = save->SaveTemplates(static_cast<DWORD>(ids.size()), ids.data());
    if (status != DXFILE_OK) {
        reason = "cannot save the templates";
        return status;
    }
    Converter converter(save.get(), reason);
    for (;;) {
        ComRef<IDirectXFileData> object;
        status = enumObject->GetNextDataObject(object.receive());
        if (status == DXFILEERR_NOMOREOBJECTS) break;
        if (status != DXFILE_OK) {
            reason = "cannot read " + inPath;
            return status; // releasing the save object then leaves `outPath` as it was
        }
        ComRef<IDirectXFileData> copied;
        if ((status = converter.copy(object.get(), copied)) != DXFILE_OK) return status;
        if ((status = save->SaveData(copied.get())) != DXFILE_OK) {
            reason = "cannot save an object";
            return status;
        }
    }
    return DXFILE_OK;
}
