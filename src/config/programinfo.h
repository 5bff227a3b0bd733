#pragma once
// The application folders, derived afresh from the executable's location at every query.
// The executable sits in a folder of its own (bin); config, help, log and data are its
// siblings under the installation folder. Paths are Windows paths ("\"), built by plain
// concatenation, so a drive root gives two separators in a row ("D:\\config\").

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace ombrevane {

// Everything before the last "\" or ":"; a last "\" that follows a drive colon or another
// separator stays ("D:\app.exe" gives "D:\", "D:\Tools\app.exe" gives "D:\Tools").
std::string PathDirectory(std::string_view path);

// The path up to and including its last "\" or ":".
std::string PathUpToSeparator(std::string_view path);

// Creates the folder and every missing parent, outermost first; stops at the first failure.
// True when the folder exists afterwards (or the path is too short to be created: "D:").
bool CreateFolderChain(const std::string& path);

enum class AppFolder { Config, App, Log, Help, Language, Data, Update, Root };

// The path of a folder for the given executable path and temporary folder; no disk access.
std::string AppFolderPath(AppFolder folder, std::string_view executablePath,
                          std::string_view temporaryFolder);

class IExtInfo {
public:
    virtual ~IExtInfo() = default;
    virtual std::string GetConfigDir() = 0;   // installation + "\config\", created
    virtual std::string GetAppDir() = 0;      // executable folder + "\", created
    virtual std::string GetLogDir() = 0;      // installation + "\log\", created
    virtual std::string GetHelpDir() = 0;     // installation + "\help\", created
    virtual std::string GetLanguageDir() = 0; // installation + "\config\languages\", created
    virtual std::string GetDataDir() = 0;     // installation + "\data\", created
    virtual std::string GetUpdateDir() = 0;   // temporary folder + "\tvupdate\", created
    virtual std::string GetRootDir() = 0;     // installation folder, no final separator
};

class TExtInfo final : public IExtInfo {
public:
    // Takes the executable's path from the platform.
    TExtInfo();
    // For a given layout; `executablePath` is asked at every query, nothing is kept.
    explicit TExtInfo(std::function<std::string()> executablePath,
                      std::function<std::string()> temporaryFolder = {});

    std::string GetConfigDir() override;
    std::string GetAppDir() override;
    std::string GetLogDir() override;
    std::string GetHelpDir() override;
    std::string GetLanguageDir() override;
    std::string GetDataDir() override;
    std::string GetUpdateDir() override;
    std::string GetRootDir() override;

private:
    std::string Path(AppFolder folder) const;

    std::function<std::string()> executablePath_;
    std::function<std::string()> temporaryFolder_;
};

// The one provider of the process, created on first use and kept until the process ends.
std::shared_ptr<IExtInfo> GetExtInfo();

} // namespace ombrevane
