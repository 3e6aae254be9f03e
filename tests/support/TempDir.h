#pragma once

#include <filesystem>
#include <string>

namespace QuorvelTest {

// A fresh folder under the system's temporary folder, removed with its contents.
class TempDir {
  public:
    explicit TempDir(const std::string& label = "quorvel");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return root; }
    std::filesystem::path operator/(const std::filesystem::path& child) const {
        return root / child;
    }

  private:
    std::filesystem::path root;
};

// `text` as a text-mode stream writes it to disk: CR LF line ends on Windows.
std::string onDisk(const std::string& text);

std::string readFile(const std::filesystem::path& file);
void writeFile(const std::filesystem::path& file, const std::string& bytes);
void appendFile(const std::filesystem::path& file, const std::string& bytes);

}  // namespace QuorvelTest
