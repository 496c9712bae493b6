// Marks the public API of the Ostrel shared library; everything else stays hidden.
#pragma once

#if defined(_WIN32)
#if defined(OSTREL_BUILDING)
#define OSTREL_API __declspec(dllexport)
#else
#define OSTREL_API __declspec(dllimport)
#endif
#else
#define OSTREL_API __attribute__((visibility("default")))
#endif
