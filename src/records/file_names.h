// The names of the files a run reads and writes in its working directory, and the identity
// of a file whatever the name it goes by.
#pragma once

#include <string>

namespace evstat {

// directory + "Erreur.txt": the error file of a working directory.
std::string error_file_name(const std::string& directory);
// directory + "Donnees.txt" for i = 1, directory + "Donnees" + i + ".txt" after.
std::string numbered_data_file(const std::string& directory, int i);
std::string curve_parameter_file(const std::string& directory, int k);  // "Tmp" k ".txt"
std::string curve_result_file(const std::string& directory, int k);     // "Result" k ".txt"

// A file the run must never write: the ParameterFile it reads. Recorded by its identity
// (its device and inode, or on Windows its volume's serial number and its index on the
// volume), so that any name of the same file is recognised, whatever the current directory.
class ProtectedFile {
  public:
    ProtectedFile() = default;  // protects nothing
    // Nothing is protected when the file cannot be found.
    explicit ProtectedFile(const std::string& path);
    // True when `name` is the protected file.
    bool is(const std::string& name) const;

  private:
    bool set_ = false;
    unsigned long long volume_ = 0;
    unsigned long long index_ = 0;
};

}  // namespace evstat
