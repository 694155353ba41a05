// The user's choices for export and import, as the option dialogs show them and the settings
// file keeps them. Plain values; a bool is one byte holding 0 or 1.
#pragma once

#include <cstdint>

struct ExportOptions {
    std::int32_t format = 0;  // index of the format button: 0 text, 1 binary, 2 compressed
    bool texturePath = false; // texture file names with their full path
    bool uv = true;
    bool normal = true;
    bool vertexColor = true;
    bool skin = true;
    bool animation = true;
    bool leftHanded = false; // convert the model to the left-handed system before writing
    bool sampling = false;   // sample animation at `samplingFps` instead of taking keys
    bool d3dxOpt = true;     // re-index each mesh into one vertex list when writing
    std::int32_t samplingFps = 30;
    float objectScale[3] = {1.0f, 1.0f, 1.0f};
    float objectRotation[3] = {0.0f, 0.0f, 0.0f}; // degrees
};

struct ImportOptions {
    bool normal = true;
    bool uv = true;
    bool vertexColor = true;
    bool skin = true;
    bool animation = true;
    bool leftHanded = false; // convert the model from the left-handed system after reading
    float boneScale[3] = {1.0f, 1.0f, 1.0f};
    float objectScale[3] = {1.0f, 1.0f, 1.0f};
    float objectRotation[3] = {0.0f, 0.0f, 0.0f}; // degrees
};

// The DirectX file format value (binary 0, text 1, compressed 2) of a format button index
// (text 0, binary 1, compressed 2). The orders differ on purpose: the buttons list text first.
// An index outside 0 to 2 gives text, the first button.
int xFileFormatOf(std::int32_t formatIndex);
