// Results of the scene file save and load calls.
#pragma once

class ISave;
class ILoad;

typedef int IOResult;
#define IO_OK 0
#define IO_END 1
#define IO_ERROR 2
