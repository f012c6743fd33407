// Stand-in for Visual Studio's vcruntime_string.h: the memory functions,
// which Wine's string.h already declares.
#pragma once
#include <string.h>
