#include "build/ModifierStack.h"
#include "build/SceneBuilder.h"

#include "IVertexPaint.h"
#include "istdplug.h"
#include "maxapi.h"
#include "modstack.h"

void SceneBuilder::EnableVertexColorDisplay(INode* node) const {
    IDerivedObject* derived = derivedObjectOf(node);
    if (!derived) return;
    // Channel 0 holds the colours, channel 2 their alpha as grey; one modifier shows each.
    for (int channel : {0, 2}) {
        auto* paint = static_cast<Modifier*>(CreateInstance(OSM_CLASS_ID, PAINTLAYERMOD_CLASS_ID));
        if (!paint) continue;
        if (auto* vertexPaint =
                static_cast<IVertexPaint*>(paint->GetInterface(IVERTEXPAINT_INTERFACE_ID))) {
            IVertexPaint::Options options;
            vertexPaint->GetOptions(options);
            options.mapChannel = channel;
            vertexPaint->SetOptions(options);
        }
        derived->AddModifier(paint, nullptr, 0);
    }
    node->SetCVertMode(TRUE);
}
