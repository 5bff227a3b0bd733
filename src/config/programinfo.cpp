#include "config/programinfo.h"

#include "platform/FileSystem.h"

#include <utility>
#include <vector>

namespace ombrevane {

namespace {

bool IsDelimiter(char c) {
    return c == '\\' || c == ':';
}

std::string ExcludeTrailingSeparator(std::string path) {
    if (!path.empty() && path.back() == '\\') {
        path.pop_back();
    }
    return path;
}

// The query's folder is created when missing; the path is returned either way.
std::string Ensured(std::string path) {
    if (!DirectoryExists(path)) {
        CreateFolderChain(path);
    }
    return path;
}

} // namespace

std::string PathDirectory(std::string_view path) {
    const auto last = path.find_last_of("\\:");
    if (last == std::string_view::npos) {
        return {};
    }
    std::size_t length = last + 1;
    if (last > 0 && path[last] == '\\' && !IsDelimiter(path[last - 1])) {
        length = last;
    }
    return std::string(path.substr(0, length));
}

std::string PathUpToSeparator(std::string_view path) {
    const auto last = path.find_last_of("\\:");
    if (last == std::string_view::npos) {
        return {};
    }
    return std::string(path.substr(0, last + 1));
}

std::string AppFolderPath(AppFolder folder, std::string_view executablePath,
                          std::string_view temporaryFolder) {
    const std::string installation = PathDirectory(PathDirectory(executablePath));
    switch (folder) {
    case AppFolder::Config:
        return installation + "\\config\\";
    case AppFolder::App:
        return PathUpToSeparator(executablePath);
    case AppFolder::Log:
        return installation + "\\log\\";
    case AppFolder::Help:
        return installation + "\\help\\";
    case AppFolder::Language:
        return installation + "\\config\\languages\\";
    case AppFolder::Data:
        return installation + "\\data\\";
    case AppFolder::Update:
        return ExcludeTrailingSeparator(std::string(temporaryFolder)) + "\\tvupdate\\";
    case AppFolder::Root:
        break;
    }
    return installation;
}

bool CreateFolderChain(const std::string& path) {
    // Walk outwards to the first folder that exists, then create inwards.
    std::vector<std::string> missing;
    std::string folder = ExcludeTrailingSeparator(path);
    while (folder.size() > 2 && !DirectoryExists(folder)) {
        missing.push_back(folder);
        std::string parent = ExcludeTrailingSeparator(PathUpToSeparator(folder));
        if (parent.size() >= folder.size()) {
            break; // no shorter parent ("\\\\" and the like)
        }
        folder = std::move(parent);
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        if (!CreateFolder(*it) && !DirectoryExists(*it)) {
            return false;
        }
    }
    return true;
}

TExtInfo::TExtInfo() : TExtInfo([] { return ExecutablePath(); }) {}

TExtInfo::TExtInfo(std::function<std::string()> executablePath,
                   std::function<std::string()> temporaryFolder)
    : executablePath_(std::move(executablePath)), temporaryFolder_(std::move(temporaryFolder)) {
    if (!temporaryFolder_) {
        temporaryFolder_ = [] { return TemporaryFolder(); };
    }
}

std::string TExtInfo::Path(AppFolder folder) const {
    return AppFolderPath(folder, executablePath_(), temporaryFolder_());
}

std::string TExtInfo::GetConfigDir() {
    return Ensured(Path(AppFolder::Config));
}
std::string TExtInfo::GetAppDir() {
    return Ensured(Path(AppFolder::App));
}
std::string TExtInfo::GetLogDir() {
    return Ensured(Path(AppFolder::Log));
}
std::string TExtInfo::GetHelpDir() {
    return Ensured(Path(AppFolder::Help));
}
std::string TExtInfo::GetLanguageDir() {
    return Ensured(Path(AppFolder::Language));
}
std::string TExtInfo::GetDataDir() {
    return Ensured(Path(AppFolder::Data));
}
std::string TExtInfo::GetUpdateDir() {
    return Ensured(Path(AppFolder::Update));
}
std::string TExtInfo::GetRootDir() {
    return Path(AppFolder::Root);
}

std::shared_ptr<IExtInfo> GetExtInfo() {
    static const std::shared_ptr<IExtInfo> instance = std::make_shared<TExtInfo>();
    return instance;
}

} // namespace ombrevane
