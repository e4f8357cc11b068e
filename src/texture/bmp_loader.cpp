// The BMP file read from the disk, its failures told; bmp_reader.cpp decodes it without GL.
#include "texture/bmp_reader.h"

#include <utility>

#include "io/file_errors.h"
#include "io/host_files.h"
#include "platform/platform.h"

namespace {

// Shows the reason in its message box, or writes its line.
ReadResult toldDibFailure(const ReadResult& failure, const char* path) {
    if (failure.channel() == Channel::messageBox) {
        limitedMessageBox(platform().getFocus(), failure.reason().c_str(), "Error", win32::MB_OK);
        return failure;
    }
    return reported(failure, path);
}

}  // namespace

ReadResult loadDibImage(const char* path, std::int32_t maxSide, RgbImage& image,
                        std::uint64_t maxPixels) {
    const Result<FileBytes> file = readHostFile(path);
    if (file.kind() == Failure::tooLarge) {
        return reported(file.result(), path);
    }
    if (!file) {
        return toldDibFailure(file.result().toldAs(kDibCannotOpen, {path}), path);
    }
    if (file->empty()) {
        return toldDibFailure({kDibEmpty, {path}}, path);
    }
    Result<RgbImage> decoded = decodeDib(*file, maxSide, maxPixels);
    if (!decoded) {
        return toldDibFailure(decoded.result(), path);
    }
    image = std::move(*decoded);
    return {};
}
