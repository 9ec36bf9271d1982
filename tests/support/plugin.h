// Loads a build of KelvoDyn.dll exactly as a host does: LoadLibraryA, then the
// three exports by name through GetProcAddress.
#pragma once

#include <windows.h>

#include <string>

#include "source_interface/kelvodyn.h"

// The folder of the running test program, where the build puts KelvoDyn.dll.
std::string BuildDir();
std::string BuiltPluginPath();

class Plugin {
  public:
    explicit Plugin(const std::string &path = BuiltPluginPath());
    // For paths longer than the ANSI loader accepts.
    explicit Plugin(const std::wstring &path);
    ~Plugin();
    Plugin(const Plugin &) = delete;
    Plugin &operator=(const Plugin &) = delete;

    bool loaded() const {
        return module_ != nullptr && sourcesNum_ && sourceDesc_ && sourceData_;
    }
    HMODULE module() const {
        return module_;
    }
    void Unload();

    int32_t SourcesNum() const {
        return sourcesNum_();
    }
    int32_t SourceDesc(uint32_t index, ::SourceDesc *desc) const {
        return sourceDesc_(index, desc);
    }
    float SourceData(uint32_t index) const {
        return sourceData_(index);
    }
    // The export itself, for probes of the calling convention.
    GetSourceDataFn sourceDataFunction() const {
        return sourceData_;
    }

  private:
    void ResolveExports();
    HMODULE module_ = nullptr;
    GetSourcesNumFn sourcesNum_ = nullptr;
    GetSourceDescFn sourceDesc_ = nullptr;
    GetSourceDataFn sourceData_ = nullptr;
};

uint32_t FloatBits(float value);
