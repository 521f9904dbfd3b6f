#include "core/load_image.h"

#include <filesystem>
#include <new>

#include "core/paths.h"

namespace core {

namespace {

namespace fs = std::filesystem;

// Gives a read-only file its owner's write permission for the time of a load
// and takes it away again when the object goes, on every path out.
class WritePermissionLift {
public:
    explicit WritePermissionLift(const std::string& path) : path_(path) {
        std::error_code ec;
        const fs::file_status status = fs::status(path_, ec);
        if (ec || !fs::is_regular_file(status)) return;
        if ((status.permissions() & fs::perms::owner_write) != fs::perms::none) return;
        fs::permissions(path_, fs::perms::owner_write, fs::perm_options::add, ec);
        lifted_ = !ec;
    }
    ~WritePermissionLift() {
        if (!lifted_) return;
        std::error_code ec;
        fs::permissions(path_, fs::perms::owner_write, fs::perm_options::remove, ec);
    }
    WritePermissionLift(const WritePermissionLift&) = delete;
    WritePermissionLift& operator=(const WritePermissionLift&) = delete;

private:
    fs::path path_;
    bool lifted_ = false;
};

bool RunReader(ImageStore& store, const std::string& path) {
    if (EndsWithNoCase(path, ".bmp")) return LoadBMP(store, path);
    if (EndsWithNoCase(path, ".jpg")) return LoadJPG(store, path);
    if (EndsWithNoCase(path, ".tga")) return LoadTGA(store, path);
    if (EndsWithNoCase(path, ".texture"))
        return IsE2TF(path) ? LoadE2TF(store, path) : LoadTexture(store, path);
    SetLoadError(store, "File type not supported \"", path, "\".");
    return false;
}

}  // namespace

bool LoadImage(ImageStore& store, const std::string& path) {
    bool result = false;
    {
        const WritePermissionLift lift(path);
        ResetImage(store);
        try {
            result = RunReader(store, path);
        } catch (const std::bad_alloc&) {
            SetLoadError(store, "Not enough memory to load \"", path, "\"");
        } catch (const std::exception&) {
            SetLoadError(store, "Error reading \"", path, "\"");
        }
    }
    if (!result) {
        // Whatever a reader left half-done, a failed load leaves no pixels.
        ResetImage(store);
        store.PixelBuffer = ByteBuffer();
        store.ImageLoaded = false;
        store.SyncData();
    }
    return result;
}

}  // namespace core
