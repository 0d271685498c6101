#pragma once
// The two boxes that carry the package being fetched from the fetch step to
// the after-download step: its name and its destination folder. The window
// keeps them in its hidden page; the unattended mode in plain text.
#include <string>

namespace lunaro::app {

class TransferBoxes {
public:
    virtual ~TransferBoxes() = default;
    virtual void SetPackageName(const std::string& name) = 0;
    virtual std::string PackageName() const = 0;
    virtual void SetPackageFolder(const std::string& folder) = 0;
    virtual std::string PackageFolder() const = 0;
};

class PlainTransferBoxes : public TransferBoxes {
public:
    void SetPackageName(const std::string& name) override { name_ = name; }
    std::string PackageName() const override { return name_; }
    void SetPackageFolder(const std::string& folder) override { folder_ = folder; }
    std::string PackageFolder() const override { return folder_; }

private:
    std::string name_;
    std::string folder_;
};

}  // namespace lunaro::app
