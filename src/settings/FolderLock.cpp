#include "settings/FolderLock.h"

std::string ChangedFileKeptNotice(const std::string& fileName) {
    return "\"" + fileName +
           "\" was changed by another program after this one loaded it, so that file was kept as " +
           fileName + ".bak";
}
