// Resource numbers of Lumaset.rc, shared by the script and the code that shows its dialogs.
#pragma once

// Dialog templates.
#define IDD_EXPORT_OPTIONS 102
#define IDD_ANIMATION_SETS 103
#define IDD_IMPORT_OPTIONS 104

// Export and import options.
#define IDC_FORMAT_TEXT 1003
#define IDC_FORMAT_BINARY 1004
#define IDC_FORMAT_COMPRESSED 1005
#define IDC_TEXTURE_PATH 1006
#define IDC_NORMAL 1007
#define IDC_UV 1008
#define IDC_SKIN 1009
#define IDC_ANIMATION 1010
#define IDC_LEFT_HANDED 1022
#define IDC_VERTEX_COLOR 1023
#define IDC_D3DX_OPT 1024     // export dialog only
#define IDC_BONE_SCALE_X 1024 // import dialog only
#define IDC_BONE_SCALE_Y 1025
#define IDC_BONE_SCALE_Z 1026
#define IDC_OBJECT_SCALE_X 1028
#define IDC_OBJECT_SCALE_Y 1029
#define IDC_OBJECT_SCALE_Z 1030
#define IDC_SAMPLING 1031
#define IDC_SAMPLING_FPS 1032
#define IDC_OBJECT_ROTATION_X 1034
#define IDC_OBJECT_ROTATION_Y 1035
#define IDC_OBJECT_ROTATION_Z 1036

// Animation sets.
#define IDC_SET_NAME 1013
#define IDC_SET_START 1014
#define IDC_SET_END 1015
#define IDC_SET_STORE 1016
#define IDC_SET_DELETE 1018
#define IDC_SET_LIST 1019
#define IDC_SET_SLIDER 1020
#define IDC_ALL_SLIDER 1021

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
