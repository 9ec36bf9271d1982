// Loads a build of KelvoDyn.dll exactly as kdhost does, through the tools' own
// loader: the file by its full path, then the three exports by name.
#pragma once

#include <windows.h>

#include <string>

#include "plugin_loader.h"
#include "wide_path.h"
#include "source_interface/kelvodyn.h"

// The folder of the running test program, where the build puts KelvoDyn.dll.
std::string BuildDir();
std::string BuiltPluginPath();

class Plugin {
  public:
    explicit Plugin(const std::string &path = BuiltPluginPath());
    // A path past 260 characters, as "\\?\C:\..."; the loader lifts the limit again.
    explicit Plugin(const std::wstring &path) : Plugin(PlainAnsiPath(path)) {}
    ~Plugin();
    Plugin(const Plugin &) = delete;
    Plugin &operator=(const Plugin &) = delete;

    // False when the file cannot be loaded or lacks an export; error() says why.
    bool loaded() const {
        return plugin_.module != nullptr;
    }
    const std::string &error() const {
        return error_;
    }
    HMODULE module() const {
        return plugin_.module;
    }
    void Unload();

    int32_t SourcesNum() const {
        return plugin_.sourcesNum();
    }
    int32_t SourceDesc(uint32_t index, ::SourceDesc *desc) const {
        return plugin_.sourceDesc(index, desc);
    }
    float SourceData(uint32_t index) const {
        return plugin_.sourceData(index);
    }
    // The export itself, for probes of the calling convention.
    GetSourceDataFn sourceDataFunction() const {
        return plugin_.sourceData;
    }

  private:
    LoadedPlugin plugin_;
    std::string error_;
};

uint32_t FloatBits(float value);
