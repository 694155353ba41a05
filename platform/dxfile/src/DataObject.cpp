// Data objects, references and binary objects: what enumeration and saving hand out.
#include "Guid.h"
#include "Objects.h"
#include "PackedLayout.h"

#include <cstring>

namespace dxfile {

namespace {

// Packed data of an object without members still needs an address to hand out.
std::uint8_t emptyData[8] = {};

// True when `node` is `target` or holds it somewhere below: adding it would close a cycle.
bool reaches(const DataNode* node, const DataNode* target) {
    std::vector<const DataNode*> pending{node};
    while (!pending.empty()) {
        const DataNode* current = pending.back();
        pending.pop_back();
        if (current == target) return true;
        for (const ChildEntry& child : current->children)
            if (child.data) pending.push_back(child.data.get());
    }
    return false;
}

} // namespace

HRESULT copyName(const std::string& name, bool hasName, LPSTR buffer, DWORD* length) {
    if (!length) return DXFILEERR_BADVALUE;
    DWORD needed = hasName ? static_cast<DWORD>(name.size() + 1) : 0;
    if (!buffer) {
        *length = needed;
        return DXFILE_OK;
    }
    if (!hasName) {
        if (*length > 0) buffer[0] = '\0';
        *length = 0;
        return DXFILE_OK;
    }
    if (*length < needed) {
        *length = needed;
        return DXFILEERR_BADVALUE;
    }
    std::memcpy(buffer, name.c_str(), needed);
    *length = needed;
    return DXFILE_OK;
}

DataObject* ownDataObject(IDirectXFileData* object) {
    void* self = nullptr;
    if (!object || object->QueryInterface(kSelfIid, &self) != DXFILE_OK) return nullptr;
    return static_cast<DataObject*>(self);
}

// ---- DataObject --------------------------------------------------------------------------

DataObject::DataObject(std::shared_ptr<DataNode> node, bool isBuilt)
    : node_(std::move(node)), isBuilt_(isBuilt) {}

HRESULT DataObject::QueryInterface(REFIID iid, void** object) {
    return answerQuery<IDirectXFileData, Recognisable::Yes>(this, iid, IID_IDirectXFileData,
                                                            object);
}

HRESULT DataObject::GetName(LPSTR name, DWORD* length) {
    return copyName(node_->name, node_->hasName, name, length);
}

HRESULT DataObject::GetId(GUID* id) {
    if (!id) return DXFILEERR_BADVALUE;
    *id = node_->hasId ? node_->id : GUID{};
    return DXFILE_OK;
}

HRESULT DataObject::GetData(LPCSTR member, DWORD* size, void** data) {
    if (!size || !data) return DXFILEERR_BADVALUE;
    std::uint8_t* block = node_->packed.empty() ? emptyData : node_->packed.data();
    if (!member) {
        *size = static_cast<DWORD>(node_->packed.size());
        *data = block;
        return DXFILE_OK;
    }
    std::size_t offset = 0;
    std::size_t length = 0;
    if (!findMember(*node_->type, ByteSpan(node_->packed), member, offset, length))
        return DXFILEERR_BADDATAREFERENCE;
    *size = static_cast<DWORD>(length);
    *data = length == 0 ? emptyData : block + offset;
    return DXFILE_OK;
}

HRESULT DataObject::GetType(const GUID** type) {
    if (!type) return DXFILEERR_BADVALUE;
    *type = &node_->type->id;
    return DXFILE_OK;
}

HRESULT DataObject::GetNextObject(LPDIRECTXFILEOBJECT* child) {
    if (!child) return DXFILEERR_BADVALUE;
    *child = nullptr;
    if (nextChild_ >= node_->children.size()) return DXFILEERR_NOMOREOBJECTS;
    const ChildEntry& entry = node_->children[nextChild_++];
    // Children share the ownership of this object, which keeps their whole file alive.
    if (entry.data) {
        *child = new DataObject(std::shared_ptr<DataNode>(node_, entry.data.get()), false);
    } else if (entry.reference) {
        *child = new ReferenceObject(std::shared_ptr<ReferenceNode>(node_, entry.reference.get()),
                                     node_);
    } else {
        *child = new BinaryObject(std::shared_ptr<BinaryNode>(node_, entry.binary.get()));
    }
    return DXFILE_OK;
}

HRESULT DataObject::AddDataObject(LPDIRECTXFILEDATA child) {
    if (!isBuilt_) return DXFILEERR_BADVALUE;
    DataObject* own = ownDataObject(child);
    if (!own) return DXFILEERR_BADVALUE;
    if (reaches(own->node_.get(), node_.get())) return DXFILEERR_BADVALUE;
    node_->children.push_back(ChildEntry{own->node_, nullptr, nullptr});
    return DXFILE_OK;
}

HRESULT DataObject::AddDataReference(LPCSTR name, const GUID* id) {
    if (!isBuilt_ || (!name && !id)) return DXFILEERR_BADVALUE;
    auto reference = std::make_shared<ReferenceNode>();
    if (name) {
        reference->name = name;
        reference->hasName = true;
    }
    if (id) {
        reference->id = *id;
        reference->hasId = true;
    }
    node_->children.push_back(ChildEntry{nullptr, std::move(reference), nullptr});
    return DXFILE_OK;
}

HRESULT DataObject::AddBinaryObject(LPCSTR name, const GUID* id, LPCSTR mimeType, LPVOID data,
                                    DWORD size) {
    if (!isBuilt_ || (!data && size > 0)) return DXFILEERR_BADVALUE;
    auto binary = std::make_shared<BinaryNode>();
    if (name) {
        binary->name = name;
        binary->hasName = true;
    }
    if (id) {
        binary->id = *id;
        binary->hasId = true;
    }
    if (mimeType) binary->mimeType = mimeType;
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    if (size > 0) binary->bytes.assign(bytes, bytes + size);
    node_->children.push_back(ChildEntry{nullptr, nullptr, std::move(binary)});
    return DXFILE_OK;
}

// ---- ReferenceObject ---------------------------------------------------------------------

ReferenceObject::ReferenceObject(std::shared_ptr<ReferenceNode> reference,
                                 std::shared_ptr<DataNode> owner)
    : reference_(std::move(reference)), owner_(std::move(owner)) {}

HRESULT ReferenceObject::QueryInterface(REFIID iid, void** object) {
    return answerQuery<IDirectXFileDataReference, Recognisable::Yes>(
        this, iid, IID_IDirectXFileDataReference, object);
}

// A reference answers with the name and GUID of the object it refers to.
HRESULT ReferenceObject::GetName(LPSTR name, DWORD* length) {
    if (const DataNode* target = reference_->target)
        return copyName(target->name, target->hasName, name, length);
    return copyName(reference_->name, reference_->hasName, name, length);
}

HRESULT ReferenceObject::GetId(GUID* id) {
    if (!id) return DXFILEERR_BADVALUE;
    if (const DataNode* target = reference_->target)
        *id = target->hasId ? target->id : GUID{};
    else
        *id = reference_->hasId ? reference_->id : GUID{};
    return DXFILE_OK;
}

HRESULT ReferenceObject::Resolve(LPDIRECTXFILEDATA* dataObject) {
    if (!dataObject) return DXFILEERR_BADVALUE;
    *dataObject = nullptr;
    const DataNode* target = reference_->target;
    if (!target) return DXFILEERR_BADDATAREFERENCE;
    *dataObject =
        new DataObject(std::shared_ptr<DataNode>(owner_, const_cast<DataNode*>(target)), false);
    return DXFILE_OK;
}

// ---- BinaryObject ------------------------------------------------------------------------

BinaryObject::BinaryObject(std::shared_ptr<BinaryNode> binary) : binary_(std::move(binary)) {}

HRESULT BinaryObject::QueryInterface(REFIID iid, void** object) {
    return answerQuery<IDirectXFileBinary, Recognisable::Yes>(this, iid, IID_IDirectXFileBinary,
                                                              object);
}

HRESULT BinaryObject::GetName(LPSTR name, DWORD* length) {
    return copyName(binary_->name, binary_->hasName, name, length);
}

HRESULT BinaryObject::GetId(GUID* id) {
    if (!id) return DXFILEERR_BADVALUE;
    *id = binary_->hasId ? binary_->id : GUID{};
    return DXFILE_OK;
}

HRESULT BinaryObject::GetSize(DWORD* size) {
    if (!size) return DXFILEERR_BADVALUE;
    *size = static_cast<DWORD>(binary_->bytes.size());
    return DXFILE_OK;
}

HRESULT BinaryObject::GetMimeType(LPCSTR* mimeType) {
    if (!mimeType) return DXFILEERR_BADVALUE;
    *mimeType = binary_->mimeType.c_str();
    return DXFILE_OK;
}

HRESULT BinaryObject::Read(LPVOID data, DWORD size, DWORD* read) {
    if (!data && size > 0) return DXFILEERR_BADVALUE;
    std::size_t left = binary_->bytes.size() - position_;
    if (left == 0) {
        if (read) *read = 0;
        return DXFILEERR_NOMOREDATA;
    }
    std::size_t count = size < left ? size : left;
    std::memcpy(data, binary_->bytes.data() + position_, count);
    position_ += count;
    if (read) *read = static_cast<DWORD>(count);
    return DXFILE_OK;
}

} // namespace dxfile
