// A hardware-monitoring tree like the kernel's /sys, built by a test in a
// temporary folder: device folders with their files, and the hwmonK and
// device links that sysfs has (made by the Linux ln, as Wine cannot make them).
#pragma once

#include <string>
#include <vector>

class SensorTree {
  public:
    explicit SensorTree(const std::string &name);
    ~SensorTree(); // removes the whole tree
    SensorTree(const SensorTree &) = delete;
    SensorTree &operator=(const SensorTree &) = delete;

    bool ok() const {
        return ok_;
    }
    // The tree's folder and its class\hwmon folder, for --hwmon.
    const std::string &root() const {
        return root_;
    }
    std::string hwmon() const {
        return root_ + "\\class\\hwmon";
    }

    // A device at devices\<devicePath> (slashes, as sysfs has them) with its
    // name file, whose hwmonK folder class\hwmon\hwmonK links to, and whose
    // device link leads back to the device folder. Returns the hwmonK folder.
    std::string AddDevice(const std::string &hwmonK, const std::string &devicePath,
                          const std::string &name);
    // A file below the root, its bytes as given; replaces what is there.
    void Write(const std::string &relative, const std::string &bytes) const;
    void Remove(const std::string &relative) const;

    // A link below the root to a Unix path (a device such as /dev/zero), and a
    // Linux named pipe that nothing ever writes to: made with the links.
    void AddLink(const std::string &unixTarget, const std::string &relative);
    void AddFifo(const std::string &relative);

    // Makes the links (and pipes) added so far; false when they did not appear.
    bool MakeLinks();

  private:
    std::string root_;
    std::string unixRoot_;
    std::vector<std::string> links_; // shell commands (ln, mkfifo) on Unix paths
    bool ok_ = false;
};
