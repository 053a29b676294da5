#include "records/file_names.h"

#include <sys/stat.h>
#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

namespace evstat {

std::string error_file_name(const std::string& directory) {
    return directory + "Erreur.txt";
}

std::string numbered_data_file(const std::string& directory, int i) {
    if (i <= 1) return directory + "Donnees.txt";
    return directory + "Donnees" + std::to_string(i) + ".txt";
}

std::string curve_parameter_file(const std::string& directory, int k) {
    return directory + "Tmp" + std::to_string(k) + ".txt";
}

std::string curve_result_file(const std::string& directory, int k) {
    return directory + "Result" + std::to_string(k) + ".txt";
}

namespace {
struct FileIdentity {
    unsigned long long volume = 0;
    unsigned long long index = 0;
};

bool identity_of(const std::string& name, FileIdentity& identity) {
#ifdef _WIN32
    // Windows' stat leaves the inode 0: the volume and the index come from the file's handle.
    const HANDLE handle =
        ::CreateFileA(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION information{};
    const bool known = ::GetFileInformationByHandle(handle, &information) != 0;
    ::CloseHandle(handle);
    if (!known) return false;
    identity.volume = information.dwVolumeSerialNumber;
    identity.index = (static_cast<unsigned long long>(information.nFileIndexHigh) << 32) |
                     information.nFileIndexLow;
#else
    struct stat status {};
    if (::stat(name.c_str(), &status) != 0) return false;
    identity.volume = static_cast<unsigned long long>(status.st_dev);
    identity.index = static_cast<unsigned long long>(status.st_ino);
#endif
    return true;
}
}  // namespace

ProtectedFile::ProtectedFile(const std::string& path) {
    FileIdentity identity;
    set_ = !path.empty() && identity_of(path, identity);
    volume_ = identity.volume;
    index_ = identity.index;
}

bool ProtectedFile::is(const std::string& name) const {
    FileIdentity identity;
    return set_ && identity_of(name, identity) && identity.volume == volume_ &&
           identity.index == index_;
}

}  // namespace evstat
