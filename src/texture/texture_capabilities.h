#pragma once
// What the GL driver offers the texture loaders: whether the compressed-texture entry points exist,
// and the largest texture side. The shell keeps one for the whole run and hands it to every loader;
// a test makes a fresh one.

#include <cstdint>

class TextureCapabilities {
  public:
    // Compression available; no image fits until a side is given or read.
    TextureCapabilities() = default;
    // Compression available; images up to `maxTextureSide` on a side.
    explicit TextureCapabilities(std::int32_t maxTextureSide) : maxTextureSide_(maxTextureSide) {}

    // Compression available; the largest texture side of the current GL context.
    static TextureCapabilities ofCurrentContext();

    // True until a look-up finds either compressed-texture entry point missing; never true again.
    bool compressionAvailable() const { return compressionAvailable_; }
    void loseCompression() { compressionAvailable_ = false; }

    std::int32_t maxTextureSide() const { return maxTextureSide_; }
    // Takes the largest texture side of the current GL context, for the loads into it.
    void readMaxTextureSide();

  private:
    bool compressionAvailable_ = true;
    std::int32_t maxTextureSide_ = 0;
};
