// A private temporary directory per test, and whole-file byte helpers. File names are UTF-8 text,
// as the program passes them; the directory's name holds non-ASCII characters on purpose.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>
#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

// The UTF-8 text of a path, and back: the program's file names are UTF-8 on every platform.
inline std::string Utf8(const std::filesystem::path& path) {
    const auto text = path.u8string();
    return {text.begin(), text.end()};
}
inline std::filesystem::path PathOf(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

class ScratchDir {
public:
    explicit ScratchDir(const std::filesystem::path& base = std::filesystem::temp_directory_path()) {
        std::random_device random;
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            // "Prüf Ω": Latin-1, Greek (outside every Western code page) and a blank.
            auto candidate = base / PathOf("meridot Pr\xC3\xBC"
                                           "f \xCE\xA9-" +
                                           std::to_string(random()));
            if (std::filesystem::create_directory(candidate)) path_ = candidate;
        }
        if (path_.empty()) throw std::runtime_error("no scratch directory");
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::string Name() const { return Utf8(path_); }
    std::string File(const std::string& name) const { return Utf8(path_ / PathOf(name)); }

private:
    std::filesystem::path path_;
};

inline std::string ReadBytes(const std::string& fileName) {
    std::ifstream in(PathOf(fileName), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::string& fileName, const std::string& bytes) {
    std::ofstream(PathOf(fileName), std::ios::binary) << bytes;
}

// Number of entries in a directory, to see that no temporary file was left behind.
inline int EntryCount(const std::filesystem::path& dir) {
    int n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir)) ++n;
    return n;
}

#ifndef _WIN32
// While it lives, no file can grow past the limit: writes fail part-way as on a full disk, for
// root too.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved_;
        small.rlim_cur = bytes;
        ok_ = setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool Ok() const { return ok_; }

private:
    rlimit saved_{};
    void (*oldHandler_)(int) = nullptr;
    bool ok_ = false;
};
#endif
