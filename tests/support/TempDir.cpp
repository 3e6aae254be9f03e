#include "TempDir.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "PathText.h"

#if defined(_WIN32)
#include <process.h>
#else
#include <unistd.h>
#endif

namespace QuorvelTest {

TempDir::TempDir(const std::string& label) {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
#if defined(_WIN32)
    const auto process = _getpid();
#else
    const auto process = getpid();
#endif
    // Suites run side by side share the temporary folder: the process tells them apart.
    // The label is UTF-8 on every platform.
    const std::string name = label + "-" + std::to_string(process) + "-" + std::to_string(stamp) +
                             "-" + std::to_string(counter++);
    root = std::filesystem::temp_directory_path() / Quorvel::Platform::pathFromUtf8(name);
    std::filesystem::create_directories(root);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(root, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(root, ignored);
}

std::string onDisk(const std::string& text) {
#if defined(_WIN32)
    std::string converted;
    for (char c : text) {
        if (c == '\n') {
            converted.push_back('\r');
        }
        converted.push_back(c);
    }
    return converted;
#else
    return text;
#endif
}

std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + file.string());
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void writeFile(const std::filesystem::path& file, const std::string& bytes) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + file.string());
    }
}

void appendFile(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::app);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot append to " + file.string());
    }
}

}  // namespace QuorvelTest
