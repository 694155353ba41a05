// The COM objects the library hands out. Each holds what it shows through shared ownership, so
// any of them may be released first: a data object keeps its whole file's objects alive, a
// root object's registry lives as long as anything made from it.
#pragma once

#include "ByteCursor.h"
#include "DataTree.h"
#include "Diagnostics.h"
#include "Templates.h"
#include "Writer.h"
#include "dxfile.h"

#include <atomic>
#include <memory>
#include <string>
#include <type_traits>
#include <unordered_set>
#include <vector>

namespace dxfile {

// Asks one of this library's objects for itself (no reference added): how the library tells
// its own objects from foreign implementations of the same interfaces.
inline constexpr GUID kSelfIid = {
    0x6c1e0a53, 0x2b7f, 0x4d0e, {0x9a, 0x41, 0x5e, 0x3c, 0x07, 0xd2, 0x88, 0x1b}};

// Whether an object asked for kSelfIid answers with itself.
enum class Recognisable : bool { No, Yes };

// The QueryInterface protocol of every object of the library: IUnknown, IDirectXFileObject when
// `Interface` derives from it, and `Interface` itself hand out the object with a reference
// added; kSelfIid, for the kinds the library recognises, hands it out without one; anything
// else is E_NOINTERFACE.
template <class Interface, Recognisable recognisable, class Object>
HRESULT answerQuery(Object* self, REFIID iid, const IID& own, void** out) {
    if (!out) return DXFILEERR_BADVALUE;
    if (recognisable == Recognisable::Yes && IsEqualGUID(iid, kSelfIid)) {
        *out = self;
        return DXFILE_OK;
    }
    bool answers = IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, own);
    if constexpr (std::is_base_of_v<IDirectXFileObject, Interface>)
        answers = answers || IsEqualGUID(iid, IID_IDirectXFileObject);
    if (!answers) {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    self->AddRef();
    *out = static_cast<Interface*>(self);
    return DXFILE_OK;
}

template <class Interface> class ComObject : public Interface {
public:
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override {
        ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

protected:
    virtual ~ComObject() = default;

private:
    std::atomic<ULONG> references_{1};
};

// The objects of one file, as read, and how reading ended.
struct Document {
    std::vector<std::shared_ptr<DataNode>> objects;
    HRESULT endStatus = DXFILEERR_NOMOREOBJECTS;
    Diagnostic endDiagnostic;
};

class RootObject final : public ComObject<IDirectXFile> {
public:
    RootObject();
    HRESULT QueryInterface(REFIID iid, void** object) override;
    HRESULT CreateEnumObject(LPVOID source, DXFILELOADOPTIONS options,
                             LPDIRECTXFILEENUMOBJECT* enumObject) override;
    HRESULT CreateSaveObject(LPCSTR fileName, DXFILEFORMAT format,
                             LPDIRECTXFILESAVEOBJECT* saveObject) override;
    HRESULT RegisterTemplates(LPVOID data, DWORD size) override;

    const Diagnostic& lastError() const { return diagnostics_->last; }
    // The GUIDs of the templates `file` declares, in file order (re-declarations included).
    HRESULT listDeclaredTemplates(ByteSpan file, std::vector<GUID>& ids);

private:
    std::shared_ptr<TemplateRegistry> registry_;
    DiagnosticSink diagnostics_;
};

class EnumObject final : public ComObject<IDirectXFileEnumObject> {
public:
    EnumObject(std::shared_ptr<Document> document, DiagnosticSink diagnostics);
    HRESULT QueryInterface(REFIID iid, void** object) override;
    HRESULT GetNextDataObject(LPDIRECTXFILEDATA* dataObject) override;
    HRESULT GetDataObjectById(REFGUID id, LPDIRECTXFILEDATA* dataObject) override;
    HRESULT GetDataObjectByName(LPCSTR name, LPDIRECTXFILEDATA* dataObject) override;

private:
    ~EnumObject() override;
    HRESULT hand(const std::shared_ptr<DataNode>& node, LPDIRECTXFILEDATA* dataObject);

    std::shared_ptr<Document> document_;
    DiagnosticSink diagnostics_;
    std::size_t next_ = 0;
    std::vector<IDirectXFileData*> handedOut_; // the enumerator holds one reference to each
};

class DataObject final : public ComObject<IDirectXFileData> {
public:
    // `node` keeps alive whatever owns it (the file, or the objects it was added to).
    // `isBuilt`: made by CreateDataObject, so it takes children.
    DataObject(std::shared_ptr<DataNode> node, bool isBuilt);
    HRESULT QueryInterface(REFIID iid, void** object) override;
    HRESULT GetName(LPSTR name, DWORD* length) override;
    HRESULT GetId(GUID* id) override;
    HRESULT GetData(LPCSTR member, DWORD* size, void** data) override;
    HRESULT GetType(const GUID** type) override;
    HRESULT GetNextObject(LPDIRECTXFILEOBJECT* child) override;
    HRESULT AddDataObject(LPDIRECTXFILEDATA child) override;
    HRESULT AddDataReference(LPCSTR name, const GUID* id) override;
    HRESULT AddBinaryObject(LPCSTR name, const GUID* id, LPCSTR mimeType, LPVOID data,
                            DWORD size) override;

    const std::shared_ptr<DataNode>& node() const { return node_; }

private:
    std::shared_ptr<DataNode> node_;
    bool isBuilt_;
    std::size_t nextChild_ = 0;
};

class ReferenceObject final : public ComObject<IDirectXFileDataReference> {
public:
    // `owner` is the object holding the reference; it keeps the referenced object alive.
    ReferenceObject(std::shared_ptr<ReferenceNode> reference, std::shared_ptr<DataNode> owner);
    HRESULT QueryInterface(REFIID iid, void** object) override;
    HRESULT GetName(LPSTR name, DWORD* length) override;
    HRESULT GetId(GUID* id) override;
    HRESULT Resolve(LPDIRECTXFILEDATA* dataObject) override;

private:
    std::shared_ptr<ReferenceNode> reference_;
    std::shared_ptr<DataNode> owner_;
};

class BinaryObject final : public ComObject<IDirectXFileBinary> {
public:
    explicit BinaryObject(std::shared_ptr<BinaryNode> binary);
    HRESULT QueryInterface(REFIID iid, void** object) override;
    HRESULT GetName(LPSTR name, DWORD* length) override;
    HRESULT GetId(GUID* id) override;
    HRESULT GetSize(DWORD* size) override;
    HRESULT GetMimeType(LPCSTR* mimeType) override;
    HRESULT Read(LPVOID data, DWORD size, DWORD* read) override;

private:
    std::shared_ptr<BinaryNode> binary_;
    std::size_t position_ = 0;
};

class SaveObject final : public ComObject<IDirectXFileSaveObject> {
public:
    // `temporaryFd` is an open file beside `target` at `temporaryPath`; the save object owns it.
    SaveObject(std::shared_ptr<TemplateRegistry> registry, DiagnosticSink diagnostics,
               std::string target, std::string temporaryPath, int temporaryFd, DXFILEFORMAT format);
    HRESULT QueryInterface(REFIID iid, void** object) override;
    HRESULT SaveTemplates(DWORD count, const GUID** templateIds) override;
    HRESULT CreateDataObject(REFGUID templateId, LPCSTR name, const GUID* id, DWORD size,
                             LPVOID data, LPDIRECTXFILEDATA* dataObject) override;
    HRESULT SaveData(LPDIRECTXFILEDATA dataObject) override;

private:
    ~SaveObject() override; // writes the file after a complete save, else leaves it alone
    // Records the fault under the target's name, marks the save failed, and returns its code.
    HRESULT fail(Diagnostic failure);
    Diagnostic commit();

    std::shared_ptr<TemplateRegistry> registry_;
    DiagnosticSink diagnostics_;
    std::string target_;
    std::string temporaryPath_;
    int temporaryFd_;
    DXFILEFORMAT format_;
    std::unique_ptr<BodyWriter> writer_;
    std::vector<GUID> templatesWritten_;
    bool failed_ = false;
    bool streaming_ = false;    // the writer hands the body to the file as it grows
    bool streamFailed_ = false; // writing the header ahead of the body failed
};

// The GetName protocol shared by every object kind.
HRESULT copyName(const std::string& name, bool hasName, LPSTR buffer, DWORD* length);

// This library's data object behind an interface pointer, or null for a foreign one.
DataObject* ownDataObject(IDirectXFileData* object);

} // namespace dxfile
