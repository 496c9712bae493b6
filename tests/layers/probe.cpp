// Compiled with the include folders of one layer only (see tests/CMakeLists.txt): a header of a
// layer it uses must be found, one of a layer above it must not.
#include PROBE_HEADER
