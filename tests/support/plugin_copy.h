// A copy of the built DLL in a scratch folder of its own, with a settings file
// beside it written by the test: the plug-in as a user installs it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "plugin.h"

class PluginCopy {
  public:
    // folder: a name under the build's scratch folder (may contain dots);
    // file: the copy's file name (may lack an extension).
    PluginCopy(const std::string &folder, const std::string &file = "KelvoDyn.dll");
    ~PluginCopy();
    PluginCopy(const PluginCopy &) = delete;
    PluginCopy &operator=(const PluginCopy &) = delete;

    bool ok() const {
        return ok_;
    }
    const std::string &folder() const {
        return folder_;
    }
    // Writes a file beside the copy; bytes are written as they are (ANSI).
    void WriteFile(const std::string &name, const std::string &bytes) const;
    void DeleteFile(const std::string &name) const;
    // The settings file the module looks for: the copy's name with ".ini".
    void WriteSettings(const std::string &bytes) const;

    // Loads the copy as a host does. A name without an extension is loaded with
    // a trailing dot, or the loader would add ".dll".
    std::unique_ptr<Plugin> Load() const;

  private:
    std::string folder_;
    std::string file_;
    std::string settingsName_;
    bool ok_ = false;
};

// The plug-in's section header followed by the given lines, each ended by CR LF.
std::string SettingsText(std::initializer_list<std::string> lines);

// A copy of the built DLL at a path of at least minLength characters, deeper
// than the ANSI file functions reach (the wide ones with \\?\ do).
class LongPathCopy {
  public:
    explicit LongPathCopy(size_t minLength);
    ~LongPathCopy();
    LongPathCopy(const LongPathCopy &) = delete;
    LongPathCopy &operator=(const LongPathCopy &) = delete;

    bool ok() const {
        return ok_;
    }
    const std::wstring &path() const {
        return path_;
    }

  private:
    std::vector<std::wstring> folders_;
    std::wstring path_;
    bool ok_ = false;
};
