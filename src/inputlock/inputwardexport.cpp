#include "inputlock/inputwardexport.h"

#include "platform/DebugOutput.h"
#include "platform/ErrorReport.h"

#include <windows.h>

#include <utility>
#include <vector>

namespace ombrevane {

namespace {

constexpr char kConsequence[] =
    " Global hot keys and the both-button press are off; the tray menu still switches desktops.";

template <typename Fn> bool Bind(HMODULE module, const char* name, Fn& target) {
    // FARPROC to the real signature: the names are bound exactly as the library declares them.
    target = reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
    return target != nullptr;
}

} // namespace

std::string ExecutableFolder() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            std::string path(buffer.data(), length);
            const std::size_t slash = path.find_last_of("\\/");
            return slash == std::string::npos ? std::string{} : path.substr(0, slash);
        }
        if (buffer.size() >= 32768) {
            return {};
        }
        buffer.resize(buffer.size() * 2);
    }
}

InputWardLibrary InputWardLibrary::LoadBesideExecutable(TellUser tellUser) {
    return LoadFromFolder(ExecutableFolder(), tellUser);
}

InputWardLibrary InputWardLibrary::LoadFromFolder(const std::string& folder, TellUser tellUser) {
    InputWardLibrary library;
    const std::string path = folder + "\\" + kInputWardFileName;
    std::string problem;
    if (folder.empty()) {
        problem = std::string("The folder of the program could not be found, so the file ") +
                  kInputWardFileName + " was not loaded.";
    } else {
        // A full path: the search path is never consulted for the library itself, and its own
        // imports are looked up from its folder first.
        library.module_.reset(
            ::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
        if (!library.module_) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
                error == ERROR_MOD_NOT_FOUND) {
                problem = std::string("The file ") + kInputWardFileName + " is missing from " +
                          folder + ".";
            } else {
                problem = "The file " + path + " could not be loaded (error " +
                          std::to_string(error) + ").";
            }
        }
    }
    if (library.module_) {
        HMODULE module = library.module_.get();
        Functions& f = library.functions_;
        const std::pair<const char*, bool> bound[] = {
            {"Initial", Bind(module, "Initial", f.initial)},
            {"KeyboardEnable", Bind(module, "KeyboardEnable", f.keyboardEnable)},
            {"SetKeyboard", Bind(module, "SetKeyboard", f.setKeyboard)},
            {"MouseEnable", Bind(module, "MouseEnable", f.mouseEnable)},
            {"SetMouse", Bind(module, "SetMouse", f.setMouse)},
            {"EnableLRMouseButton", Bind(module, "EnableLRMouseButton", f.enableLRMouseButton)},
            {"SetHotKey", Bind(module, "SetHotKey", f.setHotKey)},
            {"LockShortcutKey", Bind(module, "LockShortcutKey", f.lockShortcutKey)},
            {"IsShortcutKeyLock", Bind(module, "IsShortcutKeyLock", f.isShortcutKeyLock)},
            {"EnablePassword", Bind(module, "EnablePassword", f.enablePassword)},
        };
        for (const auto& [name, ok] : bound) {
            if (!ok) {
                problem = "The file " + path + " lacks the function " + name + ".";
                break;
            }
        }
        if (!problem.empty()) {
            library.functions_ = {};
            library.module_.reset();
        }
    }
    if (problem.empty()) {
        library.loaded_ = true;
        return library;
    }
    library.problem_ = problem + kConsequence;
    WriteDebugLine("inputward: " + problem);
    if (tellUser != nullptr) {
        tellUser(library.problem_);
    } else {
        ReportError(library.problem_);
    }
    return library;
}

InputWardLibrary::InputWardLibrary(InputWardLibrary&& other) noexcept
    : module_(std::move(other.module_)), functions_(std::exchange(other.functions_, {})),
      loaded_(std::exchange(other.loaded_, false)), problem_(std::move(other.problem_)) {}

InputWardLibrary& InputWardLibrary::operator=(InputWardLibrary&& other) noexcept {
    if (this != &other) {
        functions_ = std::exchange(other.functions_, {});
        loaded_ = std::exchange(other.loaded_, false);
        problem_ = std::move(other.problem_);
        module_ = std::move(other.module_);
    }
    return *this;
}

std::int32_t InputWardLibrary::Initial() const {
    return loaded_ ? functions_.initial() : 0;
}

std::int32_t InputWardLibrary::KeyboardEnable() const {
    return loaded_ ? functions_.keyboardEnable() : 0;
}

std::int32_t InputWardLibrary::SetKeyboard(std::int32_t on) const {
    return loaded_ ? functions_.setKeyboard(on) : 0;
}

std::int32_t InputWardLibrary::MouseEnable() const {
    return loaded_ ? functions_.mouseEnable() : 0;
}

std::int32_t InputWardLibrary::SetMouse(std::int32_t on) const {
    return loaded_ ? functions_.setMouse(on) : 0;
}

std::int32_t InputWardLibrary::EnableLRMouseButton(std::int32_t on) const {
    return loaded_ ? functions_.enableLRMouseButton(on) : 0;
}

std::int32_t InputWardLibrary::SetHotKey(std::int32_t slot, std::uint16_t key,
                                         std::uint16_t modifiers) const {
    return loaded_ ? functions_.setHotKey(slot, key, modifiers) : 0;
}

std::int32_t InputWardLibrary::LockShortcutKey(std::int32_t on) const {
    return loaded_ ? functions_.lockShortcutKey(on) : 0;
}

std::int32_t InputWardLibrary::IsShortcutKeyLock() const {
    return loaded_ ? functions_.isShortcutKeyLock() : 0;
}

std::int32_t InputWardLibrary::EnablePassword(std::int32_t a, std::int32_t b) const {
    return loaded_ ? functions_.enablePassword(a, b) : 0;
}

} // namespace ombrevane
