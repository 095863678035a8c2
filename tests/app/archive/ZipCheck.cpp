#include "ZipCheck.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include <sys/resource.h>
#include <sys/wait.h>

namespace ziptest {

namespace fs = std::filesystem;

namespace {

std::string quoted(const std::string& s)
{
    std::string q = "'";
    for (char c : s) {
        if (c == '\'')
            q += "'\\''";
        else
            q += c;
    }
    return q + "'";
}

int runCapture(const std::string& command, std::string& output)
{
    FILE* p = ::popen(command.c_str(), "r");
    if (!p)
        throw std::runtime_error("cannot run " + command);
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
        output.append(buf, n);
    const int status = ::pclose(p);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TempDir::TempDir()
{
    std::string pattern = (fs::temp_directory_path() / "nyx-zip-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir()
{
    std::error_code ec;
    fs::remove_all(path_, ec);
}

void writeFile(const fs::path& file, const std::string& bytes)
{
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + file.string());
}

std::string readFile(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string randomBytes(std::size_t n, std::uint32_t seed)
{
    std::mt19937 rng(seed);
    std::string s(n, '\0');
    for (char& c : s)
        c = static_cast<char>(rng());
    return s;
}

std::string wordText(std::size_t n, std::uint32_t seed)
{
    static const char* const kWords[] = {"ügyfél", "feladat", "cég", "határidő", "Budapest", "Szeged",
                                         "termék", "megjegyzés", "értesítés", "Kovács", "Nagy", "Tóth"};
    std::mt19937 rng(seed);
    std::string s;
    s.reserve(n + 32);
    while (s.size() < n) {
        s += kWords[rng() % 12];
        s += std::to_string(rng() % 1000);
        s += (rng() % 8 == 0) ? '\n' : ' ';
    }
    s.resize(n);
    return s;
}

Listing readWithPython(const fs::path& archive, const fs::path& folder)
{
    std::string out;
    const int rc = runCapture("python3 " + quoted(ZIPCHECK_SCRIPT) + " " + quoted(archive.string()) + " " +
                                  quoted(folder.string()),
                              out);
    Listing l;
    l.readable = rc == 0;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("bad ", 0) == 0) {
            l.problem = line.substr(4);
            continue;
        }
        if (line.rfind("unarchived ", 0) == 0) {
            l.unarchived.push_back(line.substr(11));
            continue;
        }
        std::istringstream f(line);
        std::string name, method, utf8;
        MemberInfo m;
        std::getline(f, name, '\t');
        std::getline(f, method, '\t');
        std::getline(f, utf8, '\t');
        std::getline(f, m.stamp, '\t');
        std::getline(f, m.state, '\t');
        m.method = std::stoi(method);
        m.utf8 = utf8 == "1";
        l.members[name] = m;
    }
    return l;
}

bool unzipAccepts(const fs::path& archive)
{
    std::string out;
    return runCapture("unzip -tq " + quoted(archive.string()) + " 2>&1", out) == 0;
}

FileSizeLimit::FileSizeLimit(std::uint64_t bytes)
{
    // The signal would end the process; the failing write is what we want.
    handler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    before_ = limit.rlim_cur;
    limit.rlim_cur = bytes;
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
        throw std::runtime_error("setrlimit failed");
}

FileSizeLimit::~FileSizeLimit()
{
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = before_;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, handler_);
}

std::vector<std::string> folderEntries(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace ziptest
