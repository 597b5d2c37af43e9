#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Colour management through Little CMS, kept behind this header so that the assembler never sees its types.

enum class ProfileSpace { Unreadable, Gray, Rgb, Cmyk, Lab, Other };

// The colour space an embedded profile describes; Unreadable when Little CMS refuses the bytes.
ProfileSpace ReadProfileSpace(const std::vector<uint8_t>& icc_profile);

// CMYK (inverted, as the document stores it) or Lab pixels to sRGB, row by row, at 8 or 16 bits. Input is
// interleaved; 16-bit input in native byte order (Lab already in Little CMS's encoding), output in PNG byte order,
// written into a row of `out_channels` samples a pixel (3, or 4 when an alpha follows, which is left alone).
class ColorTransform {
  public:
    enum class Input { InvertedCmyk, Lab };

    // Through `icc_profile`, which must describe the input's colour space; an empty profile for Lab means Little
    // CMS's own D50 Lab space. nullptr when Little CMS cannot build the transform; `*why` says so.
    static std::unique_ptr<ColorTransform> Create(Input input,
                                                  const std::vector<uint8_t>& icc_profile,
                                                  unsigned bytes_per_sample,
                                                  unsigned out_channels,
                                                  std::string* why);
    ~ColorTransform();
    ColorTransform(const ColorTransform&) = delete;
    ColorTransform& operator=(const ColorTransform&) = delete;

    void Run(const void* in, uint8_t* out, uint32_t pixels) const;

  private:
    explicit ColorTransform(void* transform) : transform_(transform) {}
    void* transform_;  // cmsHTRANSFORM, owned
};
