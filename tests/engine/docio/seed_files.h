// Documents the tests write are the fuzz targets' seeds: with FIG_SEED_DIR set, each
// call stores its bytes as FIG_SEED_DIR/<target>/<name>.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <sys/stat.h>

inline void SaveFuzzSeed(const char* target, const std::string& name, const void* bytes, size_t size) {
    const char* dir = std::getenv("FIG_SEED_DIR");
    if (!dir || !*dir) return;
    std::string folder = std::string(dir) + "/" + target;
#ifdef _WIN32
    return;  // seeds are gathered by the native build only
#else
    mkdir(folder.c_str(), 0755);
#endif
    std::string path = folder + "/" + name;
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes, 1, size, f);
        std::fclose(f);
    }
}

inline void SaveFuzzSeed(const char* target, const std::string& name, const std::vector<uint8_t>& bytes) {
    SaveFuzzSeed(target, name, bytes.data(), bytes.size());
}
