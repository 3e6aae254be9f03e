// What Windows reads from the programs' files: version information, icon, manifest.

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

namespace QuorvelTest {
namespace {

struct Program {
    const char* name;
    const char* path;
    const wchar_t* description;
};

const Program kPrograms[] = {
    {"quorvel_report", QUORVEL_REPORT_PATH, L"Quorvel performance report"},
    {"quorvel_sim", QUORVEL_SIM_PATH, L"Quorvel game session simulator"},
};

// Resource types by number: the RT_ names are narrow or wide as UNICODE is defined.
const LPCWSTR kIcon = MAKEINTRESOURCEW(3);
const LPCWSTR kIconGroup = MAKEINTRESOURCEW(14);
const LPCWSTR kManifest = MAKEINTRESOURCEW(24);

std::wstring wide(const char* utf8) {
    return std::filesystem::path(reinterpret_cast<const char8_t*>(utf8)).wstring();
}

// The program's file mapped as data, its resources readable; freed on leaving the scope.
class ResourceFile {
  public:
    explicit ResourceFile(const std::wstring& path)
        : module(LoadLibraryExW(path.c_str(), nullptr,
                                LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
    ~ResourceFile() {
        if (module != nullptr) {
            FreeLibrary(module);
        }
    }
    ResourceFile(const ResourceFile&) = delete;
    ResourceFile& operator=(const ResourceFile&) = delete;

    HMODULE module;

    std::string bytes(LPCWSTR type, LPCWSTR name) const {
        HRSRC found = FindResourceW(module, name, type);
        if (found == nullptr) {
            return {};
        }
        const auto* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
        return std::string(data, SizeofResource(module, found));
    }

    // How many resources of the type there are, counting each language apart.
    int count(LPCWSTR type) const {
        int found = 0;
        EnumResourceNamesW(
            module, type,
            [](HMODULE file, LPCWSTR kind, LPWSTR name, LONG_PTR counter) -> BOOL {
                EnumResourceLanguagesW(
                    file, kind, name,
                    [](HMODULE, LPCWSTR, LPCWSTR, WORD, LONG_PTR total) -> BOOL {
                        ++*reinterpret_cast<int*>(total);
                        return TRUE;
                    },
                    counter);
                return TRUE;
            },
            reinterpret_cast<LONG_PTR>(&found));
        return found;
    }
};

class ProgramResourcesTest : public testing::TestWithParam<Program> {
  protected:
    std::wstring file = wide(GetParam().path);

    std::wstring versionText(const std::wstring& name) const {
        DWORD ignored = 0;
        std::vector<char> block(GetFileVersionInfoSizeW(file.c_str(), &ignored));
        if (block.empty() ||
            !GetFileVersionInfoW(file.c_str(), 0, static_cast<DWORD>(block.size()), block.data())) {
            return L"(no version information)";
        }
        void* value = nullptr;
        UINT length = 0;
        const std::wstring key = L"\\StringFileInfo\\040904B0\\" + name;
        if (!VerQueryValueW(block.data(), key.c_str(), &value, &length) || length == 0) {
            return L"(no " + name + L")";
        }
        return std::wstring(static_cast<const wchar_t*>(value), length - 1);
    }
};

TEST_P(ProgramResourcesTest, VersionInformationNamesProductProgramAndVersion) {
    const std::wstring version = wide(QUORVEL_VERSION);
    EXPECT_EQ(versionText(L"ProductName"), L"Quorvel");
    EXPECT_EQ(versionText(L"ProductVersion"), version);
    EXPECT_EQ(versionText(L"FileVersion"), version);
    EXPECT_EQ(versionText(L"FileDescription"), GetParam().description);
    EXPECT_EQ(versionText(L"OriginalFilename"), std::filesystem::path(file).filename().wstring());
}

TEST_P(ProgramResourcesTest, HasAnIcon) {
    const ResourceFile program(file);
    ASSERT_NE(program.module, nullptr) << GetLastError();
    EXPECT_NE(FindResourceW(program.module, MAKEINTRESOURCEW(1), kIconGroup), nullptr);
    EXPECT_GE(program.count(kIcon), 2);
}

TEST_P(ProgramResourcesTest, HasOneManifestDeclaringLongPathsAndWindows10) {
    const ResourceFile program(file);
    ASSERT_NE(program.module, nullptr) << GetLastError();
    EXPECT_EQ(program.count(kManifest), 1);
    const std::string manifest = program.bytes(kManifest, MAKEINTRESOURCEW(1));
    EXPECT_NE(manifest.find(">true</longPathAware>"), std::string::npos) << manifest;
    EXPECT_NE(manifest.find("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"), std::string::npos);
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Programs, ProgramResourcesTest, testing::ValuesIn(kPrograms),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace QuorvelTest
