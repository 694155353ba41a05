#include "xfile/XFileServices.h"

// The one instance, in a file of its own so that a program can use the services class without
// loading the library at its start.
namespace {
// Constructed with the plug-in library's other statics; its destructor runs at the library's
// static termination.
XFileServices theServices;
} // namespace

XFileServices& xfileServices() {
    return theServices;
}
