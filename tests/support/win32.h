// The Win32 API for the tests' Windows-only parts, without the min and max macros.
#pragma once

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif
