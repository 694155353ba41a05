// The standard material and the bitmap texture.
#pragma once

#include <string>

#include "imtl.h"
#include "iparamblock2.h"
#include "istdplug.h"

// Map slots of the standard material (shader channels of the Blinn shader: the same numbers).
#define ID_AM 0
#define ID_DI 1
#define ID_SP 2
#define ID_SH 3
#define ID_SS 4
#define ID_SI 5
#define ID_OP 6
#define ID_FI 7
#define ID_BU 8
#define ID_RL 9
#define ID_RR 10
#define ID_DP 11
#define NTEXMAPS 12

// Texture coordinate generator of a texture map.
class StdUVGen {
public:
    void SetMapChannel(int channel) { mapChannel = channel; }
    int GetMapChannel() const { return mapChannel; }

private:
    int mapChannel = 1;
};

// Standard material. A setter at any time replaces the value (the values are not animated).
// The defaults are the era's user-interface defaults: ambient and diffuse 0.588 grey, specular
// 0.9, glossiness 0.1, specular level 0, opacity 1, self-illumination 0, one-sided, no maps.
class StdMat : public Mtl {
public:
    Class_ID ClassID() override { return Class_ID(DMTL_CLASS_ID, 0); }

    virtual void SetAmbient(Color c, TimeValue t) = 0;
    virtual void SetDiffuse(Color c, TimeValue t) = 0;
    virtual void SetSpecular(Color c, TimeValue t) = 0;
    virtual void SetFilter(Color c, TimeValue t) = 0;
    virtual void SetShininess(float v, TimeValue t) = 0; // glossiness 0..1
    virtual void SetShinStr(float v, TimeValue t) = 0;   // specular level
    virtual void SetSelfIllum(float v, TimeValue t) = 0;
    virtual void SetOpacity(float v, TimeValue t) = 0; // 0..1
    virtual void SetSoften(BOOL onoff) = 0;
    virtual void SetTwoSided(BOOL onoff) = 0;
    virtual Color GetAmbient(TimeValue t) = 0;
    virtual Color GetDiffuse(TimeValue t) = 0;
    virtual Color GetSpecular(TimeValue t) = 0;
    virtual Color GetFilter(TimeValue t) = 0;
    virtual float GetShininess(TimeValue t) = 0;
    virtual float GetShinStr(TimeValue t) = 0;
    virtual float GetSelfIllum(TimeValue t) = 0;
    virtual float GetOpacity(TimeValue t) = 0;
    virtual BOOL GetTwoSided() = 0;

    // Map slots by shader channel (ID_* for the standard shaders). A newly assigned map is
    // enabled with amount 1.0 (bump 0.3). Channels out of range are ignored.
    virtual void EnableMap(int id, BOOL onoff) = 0;
    virtual BOOL MapEnabled(int id) = 0;
    virtual void SetTexmapAmt(int id, float amt, TimeValue t) = 0;
    virtual float GetTexmapAmt(int id, TimeValue t) = 0;
};

class StdMat2 : public StdMat {
public:
    // Shader channel of a standard slot id: the same number for the standard shaders.
    long StdIDToChannel(long id) { return id; }
};

// A new standard material (Blinn) with the defaults above.
StdMat2* NewDefaultStdMat();

// Bitmap texture: names its image file; the name is stored as given (nothing is loaded).
class BitmapTex : public Texmap {
public:
    Class_ID ClassID() override { return Class_ID(BMTEX_CLASS_ID, 0); }
    void SetMapName(const TCHAR* fileName) { mapName = fileName ? fileName : ""; }
    // The texture's own string ("" when no file was given).
    TCHAR* GetMapName() { return mapName.data(); }
    StdUVGen* GetUVGen() { return &uvGen; }

private:
    std::string mapName;
    StdUVGen uvGen;
};

BitmapTex* NewDefaultBitmapTex();
