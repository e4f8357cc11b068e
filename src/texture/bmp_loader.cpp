// The BMP file read from the disk, its failures told; bmp_reader.cpp decodes it without GL.
#include "texture/bmp_reader.h"

#include <string>
#include <utility>

#include "io/file_errors.h"
#include "io/host_files.h"
#include "platform/platform.h"

namespace {

// Shows the reason in its message box.
ReadResult shownDibFailure(ReadResult failure) {
    limitedMessageBox(platform().getFocus(), failure.reason().c_str(), "Error", win32::MB_OK);
    return failure;
}

}  // namespace

ReadResult loadDibImage(const char* path, std::int32_t maxSide, RgbImage& image,
                        std::uint64_t maxPixels) {
    const HostFile file = readHostFile(path);
    if (file.problem == HostFile::Problem::tooLarge) {
        return reported(Damaged{kFileTooLarge}, path);
    }
    // An empty file cannot be mapped, so it fails as one that cannot be opened.
    if (!file || file.bytes.empty()) {
        return shownDibFailure(CannotOpen{"Failed to open DIB file " + std::string(path) + ".\n"});
    }
    DibDecoding decoding = decodeDib(file.bytes, maxSide, maxPixels);
    if (decoding.refusal != nullptr) {
        return reported(Damaged{decoding.refusal}, path);
    }
    if (decoding.failure != nullptr) {
        return shownDibFailure(Damaged{decoding.failure});
    }
    image = std::move(decoding.image);
    return {};
}
