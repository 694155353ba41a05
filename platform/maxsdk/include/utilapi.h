// Utility plug-ins: tools listed in the host's utilities panel.
#pragma once

#include "plugapi.h"
#include "strclass.h"

class Interface;

// What the host offers an open utility.
class IUtil {
public:
    virtual ~IUtil() = default;
    // Closes the utility from inside: the host then calls EndEditParams and DeleteThis as if the
    // user had closed it.
    virtual void CloseUtility() = 0;
};

class UtilityObj {
public:
    virtual ~UtilityObj() = default;
    // The utility was opened: build its user interface.
    virtual void BeginEditParams(Interface* ip, IUtil* iu) = 0;
    // The utility is closing: remove its user interface.
    virtual void EndEditParams(Interface* ip, IUtil* iu) = 0;
    virtual void SelectionSetChanged(Interface*, IUtil*) {}
    // The host is done with the object. A heap object deletes itself; a static one does nothing.
    virtual void DeleteThis() = 0;
    virtual void SetStartupParam(TSTR) {}
};
