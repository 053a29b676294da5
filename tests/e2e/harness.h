// Runs the built engine as the front end does: a fresh working directory (whose name
// holds a blank, so the path arrives as two words), a ParameterFile written there,
// the engine run on it, and the files it leaves read back byte for byte.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace evstat::e2e {

namespace fs = std::filesystem;

struct RunOutput {
    std::string standardOutput;
    std::string standardError;
    int status = -1;
};

class WorkDir {
public:
    WorkDir() {
        std::string pattern = (fs::temp_directory_path() / "evstat_run XXXXXX").string();
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (::mkdtemp(buffer.data()) == nullptr) std::abort();
        path_ = buffer.data();
    }
    ~WorkDir() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    WorkDir(const WorkDir&) = delete;
    WorkDir& operator=(const WorkDir&) = delete;

    // The directory as a ParameterFile names it: absolute, ending with the separator.
    std::string dir() const { return path_.string() + "/"; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

    void write(const std::string& name, const std::string& content) const {
        std::ofstream out(file(name), std::ios::binary);
        out << content;
    }
    // Lines joined with "\n", each ended.
    void write_lines(const std::string& name, const std::vector<std::string>& lines) const {
        std::string content;
        for (const std::string& line : lines) content += line + "\n";
        write(name, content);
    }
    std::string read(const std::string& name) const {
        std::ifstream in(file(name), std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    bool exists(const std::string& name) const { return fs::exists(path_ / name); }
    std::vector<std::string> files() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(path_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // Runs the engine with the ParameterFile's path split at its blanks, then the LoadType.
    // The engine starts in the working directory, as a front end starts it.
    RunOutput run(const std::string& parameterFile, const std::string& loadType) const {
        std::vector<std::string> arguments = split_words(file(parameterFile));
        arguments.push_back(loadType);
        return run_arguments(arguments);
    }
    // The same run with the generator seeded with `seed`: the draws are those of any run
    // whose clock gave that seed.
    RunOutput run_seeded(const std::string& parameterFile, const std::string& loadType,
                         unsigned seed) const {
        std::vector<std::string> arguments = split_words(file(parameterFile));
        arguments.push_back(loadType);
        arguments.insert(arguments.begin(), std::to_string(seed));
        return run_arguments(arguments, EVSTAT_SEEDED_BINARY);
    }
    RunOutput run_arguments(const std::vector<std::string>& arguments,
                            const char* binary = EVSTAT_BINARY) const {
        int pipeEnds[2];
        int errorEnds[2];
        if (::pipe(pipeEnds) != 0 || ::pipe(errorEnds) != 0) std::abort();
        const pid_t child = ::fork();
        if (child == 0) {
            if (::chdir(path_.c_str()) != 0) ::_exit(126);
            ::dup2(pipeEnds[1], 1);
            ::dup2(errorEnds[1], 2);
            ::close(pipeEnds[0]);
            ::close(pipeEnds[1]);
            ::close(errorEnds[0]);
            ::close(errorEnds[1]);
            std::vector<char*> argv;
            std::string program = binary;
            argv.push_back(program.data());
            std::vector<std::string> copies = arguments;
            for (std::string& a : copies) argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(program.c_str(), argv.data());
            ::_exit(127);
        }
        ::close(pipeEnds[1]);
        ::close(errorEnds[1]);
        RunOutput output;
        // The engine writes a few bytes at most to each stream: read one, then the other.
        auto drain = [](int fd, std::string& into) {
            char buffer[4096];
            ssize_t got = 0;
            while ((got = ::read(fd, buffer, sizeof buffer)) > 0)
                into.append(buffer, static_cast<std::size_t>(got));
            ::close(fd);
        };
        drain(pipeEnds[0], output.standardOutput);
        drain(errorEnds[0], output.standardError);
        int status = 0;
        ::waitpid(child, &status, 0);
        output.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return output;
    }

private:
    static std::vector<std::string> split_words(const std::string& path) {
        std::vector<std::string> words;
        std::istringstream in(path);
        std::string word;
        while (in >> word) words.push_back(word);
        return words;
    }
    fs::path path_;
};

// "%24.17e" of a value, as the engine writes it.
inline std::string formatted(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%24.17e", value);
    return buffer;
}

// The bytes of a message given as UTF-8 text, in Windows-1252 (accented Latin letters only).
inline std::string cp1252(const std::string& utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c == 0xC3 && i + 1 < utf8.size()) {
            out += static_cast<char>(static_cast<unsigned char>(utf8[++i]) + 0x40);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

}  // namespace evstat::e2e
