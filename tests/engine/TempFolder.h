// TempFolder: a fresh folder for one test's tables, removed afterwards.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

namespace enginetest {

class TempFolder {
public:
    TempFolder()
    {
        std::string templ = (std::filesystem::temp_directory_path() / "nyxtest-XXXXXX").string();
        path_ = mkdtemp(templ.data());
    }
    ~TempFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    bool exists(const std::string& name) const { return std::filesystem::exists(file(name)); }

private:
    std::string path_;
};

}  // namespace enginetest
