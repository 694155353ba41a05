#include "Objects.h"

#include <cstring>

namespace dxfile {

EnumObject::EnumObject(std::shared_ptr<Document> document, DiagnosticSink diagnostics)
    : document_(std::move(document)), diagnostics_(std::move(diagnostics)) {}

EnumObject::~EnumObject() {
    for (IDirectXFileData* object : handedOut_)
        object->Release();
}

HRESULT EnumObject::QueryInterface(REFIID iid, void** object) {
    return answerQuery<IDirectXFileEnumObject, Recognisable::No>(
        this, iid, IID_IDirectXFileEnumObject, object);
}

HRESULT EnumObject::hand(const std::shared_ptr<DataNode>& node, LPDIRECTXFILEDATA* dataObject) {
    // The object shares the ownership of the whole file, so references inside it resolve for
    // as long as it is held.
    *dataObject = new DataObject(std::shared_ptr<DataNode>(document_, node.get()), false);
    return DXFILE_OK;
}

HRESULT EnumObject::GetNextDataObject(LPDIRECTXFILEDATA* dataObject) {
    if (!dataObject) return DXFILEERR_BADVALUE;
    *dataObject = nullptr;
    if (next_ < document_->objects.size()) {
        hand(document_->objects[next_++], dataObject);
        (*dataObject)->AddRef();
        handedOut_.push_back(*dataObject);
        return DXFILE_OK;
    }
    if (document_->endStatus != DXFILEERR_NOMOREOBJECTS)
        diagnostics_->record(document_->endDiagnostic);
    return document_->endStatus;
}

HRESULT EnumObject::GetDataObjectById(REFGUID id, LPDIRECTXFILEDATA* dataObject) {
    if (!dataObject) return DXFILEERR_BADVALUE;
    *dataObject = nullptr;
    for (const auto& node : document_->objects)
        if (node->hasId && IsEqualGUID(node->id, id)) return hand(node, dataObject);
    return DXFILEERR_NOTFOUND;
}

HRESULT EnumObject::GetDataObjectByName(LPCSTR name, LPDIRECTXFILEDATA* dataObject) {
    if (!dataObject || !name) return DXFILEERR_BADVALUE;
    *dataObject = nullptr;
    for (const auto& node : document_->objects)
        if (node->hasName && node->name == name) return hand(node, dataObject);
    return DXFILEERR_NOTFOUND;
}

} // namespace dxfile
