// The version information of every binary we ship and of the installer, read back through the
// version functions as Explorer reads it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shipped_files.h"
#include "test_support.h"

namespace {

// A string of the first language the block lists, or "(none)".
std::string Value(std::vector<char>& block, const char* name) {
    WORD* translation = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translation), &length) ||
        length < 4) {
        return "(none)";
    }
    char path[96];
    wsprintfA(path, "\\StringFileInfo\\%04x%04x\\%s", translation[0], translation[1], name);
    void* text = nullptr;
    if (!VerQueryValueA(block.data(), path, &text, &length) || length == 0) {
        return "(none)";
    }
    return static_cast<const char*>(text);
}

// The binary carries the one version of the build, in numbers and in text, with the product and
// company names, a copyright, a description and, when given, its own file name.
void ExpectVersion(const std::string& relative, const char* originalName) {
    SCOPED_TRACE(relative);
    const std::string path = ProgramFolder() + "\\" + relative;
    DWORD ignored = 0;
    std::vector<char> block(GetFileVersionInfoSizeA(path.c_str(), &ignored));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(
        !block.empty() &&
        GetFileVersionInfoA(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data()) &&
        VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) &&
        length >= sizeof(*fixed));
    const DWORD ms = MAKELONG(kVersionMinor, kVersionMajor);
    const DWORD ls = MAKELONG(0, kVersionPatch);
    EXPECT_EQ(ms, fixed->dwFileVersionMS);
    EXPECT_EQ(ls, fixed->dwFileVersionLS);
    EXPECT_EQ(ms, fixed->dwProductVersionMS);
    EXPECT_EQ(ls, fixed->dwProductVersionLS);
    EXPECT_EQ("Vexlume", Value(block, "ProductName"));
    EXPECT_EQ(kVersionText, Value(block, "ProductVersion"));
    EXPECT_EQ(kVersionText, Value(block, "FileVersion"));
    const std::string company = Value(block, "CompanyName");
    EXPECT_NE("(none)", company);
    EXPECT_NE(std::string::npos, Value(block, "LegalCopyright").find(company));
    EXPECT_NE("(none)", Value(block, "FileDescription"));
    if (originalName != nullptr) {
        EXPECT_EQ(originalName, Value(block, "OriginalFilename"));
    }
}

TEST(VersionInformation, EveryShippedBinaryCarriesTheVersionOfTheBuild) {
    for (const char* file : kProgramFiles) {
        ExpectVersion(file, file);
    }
    for (const char* name : kFilterNames) {
        const std::string file = std::string(name) + ".dll";
        ExpectVersion("plugins\\" + file, file.c_str());
    }
}

TEST(VersionInformation, TheInstallerCarriesItToo) {
    ExpectVersion(kSetupFile, nullptr);
}

} // namespace
