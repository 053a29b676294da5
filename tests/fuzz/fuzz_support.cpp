#include "fuzz_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "input/parameter_file.h"

namespace evstat::fuzz {

namespace fs = std::filesystem;

ScratchDirectory::ScratchDirectory() {
    std::string pattern = (fs::temp_directory_path() / "evstat_fuzz_XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data()) == nullptr) broken("no scratch directory");
    dir_ = std::string(buffer.data()) + "/";
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
}

void ScratchDirectory::write(std::string_view name, std::string_view bytes) const {
    std::ofstream out(file(name), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) broken("scratch file not written");
}

void ScratchDirectory::empty() const {
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(dir_, ignored)) fs::remove_all(entry.path(), ignored);
}

ScratchDirectory& scratch() {
    static ScratchDirectory directory;
    return directory;
}

DirectoryRestorer::DirectoryRestorer() {
    std::error_code failed;
    start_ = fs::current_path(failed).string();
    if (failed) broken("no current directory");
}

DirectoryRestorer::~DirectoryRestorer() {
    if (::chdir(start_.c_str()) != 0) broken("starting directory lost");
}

std::string_view as_text(const std::uint8_t* data, std::size_t size) {
    return size == 0 ? std::string_view() : std::string_view(reinterpret_cast<const char*>(data), size);
}

std::string_view first_line(std::string_view text, std::string_view& rest) {
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos) {
        rest = std::string_view();
        return text;
    }
    rest = text.substr(end + 1);
    return text.substr(0, end);
}

int load_type_of(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() != 1 || line[0] < '1' || line[0] > '5') return 0;
    return line[0] - '0';
}

std::string with_scratch_directory(std::string_view parameterText, const std::string& dir) {
    std::string text;
    text.reserve(parameterText.size() + dir.size() * 4);
    bool lineStart = true;
    for (const char c : parameterText) {
        if (lineStart && c == '@')
            text += dir;
        else
            text += c;
        lineStart = c == '\n';
    }
    return text;
}

void broken(const char* what) {
    std::fprintf(stderr, "fuzz target: %s\n", what);
    std::fflush(stderr);
    std::abort();
}

}  // namespace evstat::fuzz
