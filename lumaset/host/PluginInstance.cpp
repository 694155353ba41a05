#include "host/PluginInstance.h"

HINSTANCE pluginInstance = nullptr;
