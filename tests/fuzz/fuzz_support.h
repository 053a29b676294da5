// What the fuzz targets share: a scratch directory of their own, the '@' shorthand for
// it in a ParameterFile, and the return to the starting directory after a loader or a
// run has changed it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "records/run_records.h"

namespace evstat::fuzz {

// A directory made once per process under the temporary directory, removed at exit.
class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    // Absolute, ending with the separator, as line 1 of a ParameterFile names it.
    const std::string& dir() const { return dir_; }
    std::string file(std::string_view name) const { return dir_ + std::string(name); }
    void write(std::string_view name, std::string_view bytes) const;
    // Removes every file the last input left.
    void empty() const;

private:
    std::string dir_;
};

ScratchDirectory& scratch();

// Sets the current directory back to the one the process started in when it goes out of scope.
class DirectoryRestorer {
public:
    DirectoryRestorer();
    ~DirectoryRestorer();
    DirectoryRestorer(const DirectoryRestorer&) = delete;
    DirectoryRestorer& operator=(const DirectoryRestorer&) = delete;

private:
    std::string start_;
};

// The fuzz input as text (NUL bytes kept).
std::string_view as_text(const std::uint8_t* data, std::size_t size);

// Splits off the first line (without its line end); `rest` is what follows it.
std::string_view first_line(std::string_view text, std::string_view& rest);

// The LoadType of a first line "1" to "5" (a Windows line end allowed), 0 for anything else.
int load_type_of(std::string_view line);

// Every line that begins with '@' has the '@' replaced by the scratch directory, so that a
// corpus file can name the working directory and the files in it wherever it is made.
std::string with_scratch_directory(std::string_view parameterText, const std::string& dir);

// Stops the process the way a sanitizer finding does, so that libFuzzer keeps the input.
[[noreturn]] void broken(const char* what);

}  // namespace evstat::fuzz
