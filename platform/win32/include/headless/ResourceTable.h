// Where a module's resources live. On Windows they are a section of the module file; here a
// module exports a table under the name kResourceTableSymbol, which FindResourceA finds with
// GetProcAddress. The resource compiler (platform/win32/rc) writes such a table from an .rc file.
// The running program has no export table of its own, so it registers its table instead.
#pragma once

#include "../winuser.h"

struct ResourceEntry {
    WORD typeId; // RT_DIALOG, RT_VERSION, ... as a number
    WORD nameId; // the resource's number
    const BYTE* data;
    DWORD size;
};

struct ResourceTable {
    DWORD count;
    const ResourceEntry* entries;
};

#define kResourceTableSymbol "Win32ResourceTable"

extern "C" {
// Gives the module (null: the running program) this table, replacing any table registered
// before; a null table removes the registration. A registered table is found before an exported
// one. The table must outlive its registration.
void WINAPI RegisterResourceTable(HMODULE module, const ResourceTable* table);
}
