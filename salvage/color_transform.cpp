#include "salvage/color_transform.h"

#include <lcms2.h>

namespace {

struct ProfileCloser {
    void operator()(void* profile) const { cmsCloseProfile(profile); }
};
using Profile = std::unique_ptr<void, ProfileCloser>;

Profile OpenProfile(const std::vector<uint8_t>& bytes) {
    if (bytes.empty() || bytes.size() > UINT32_MAX)
        return nullptr;
    return Profile(cmsOpenProfileFromMem(bytes.data(), static_cast<cmsUInt32Number>(bytes.size())));
}

constexpr bool kLittleEndianHost = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;

cmsUInt32Number InputFormat(ColorTransform::Input input, unsigned bytes) {
    if (input == ColorTransform::Input::InvertedCmyk)
        return bytes == 1 ? TYPE_CMYK_8_REV : TYPE_CMYK_16_REV;
    return bytes == 1 ? TYPE_Lab_8 : TYPE_Lab_16;
}

cmsUInt32Number OutputFormat(unsigned bytes, unsigned channels) {
    const cmsUInt32Number swap = bytes == 2 && kLittleEndianHost ? ENDIAN16_SH(1) : 0;
    return COLORSPACE_SH(PT_RGB) | CHANNELS_SH(3) | EXTRA_SH(channels - 3) | BYTES_SH(bytes) | swap;
}

}  // namespace

ProfileSpace ReadProfileSpace(const std::vector<uint8_t>& icc_profile) {
    const Profile profile = OpenProfile(icc_profile);
    if (!profile)
        return ProfileSpace::Unreadable;
    switch (cmsGetColorSpace(profile.get())) {
        case cmsSigGrayData:
            return ProfileSpace::Gray;
        case cmsSigRgbData:
            return ProfileSpace::Rgb;
        case cmsSigCmykData:
            return ProfileSpace::Cmyk;
        case cmsSigLabData:
            return ProfileSpace::Lab;
        default:
            return ProfileSpace::Other;
    }
}

std::unique_ptr<ColorTransform> ColorTransform::Create(Input input,
                                                       const std::vector<uint8_t>& icc_profile,
                                                       unsigned bytes_per_sample,
                                                       unsigned out_channels,
                                                       std::string* why) {
    Profile source =
        icc_profile.empty() && input == Input::Lab ? Profile(cmsCreateLab4Profile(nullptr)) : OpenProfile(icc_profile);
    const Profile srgb(cmsCreate_sRGBProfile());
    if (!source || !srgb) {
        *why = "the colour profile could not be read";
        return nullptr;
    }
    // Relative colorimetric keeps every colour sRGB can show exactly where the document put it, which suits giving
    // back the document's own pixels; black point compensation keeps the shadows of a CMYK profile from clipping.
    // Both are what image editors use by default to convert for the screen. Profiles without relative tables fall
    // back to their perceptual ones inside Little CMS.
    cmsUInt32Number flags = cmsFLAGS_BLACKPOINTCOMPENSATION;
    // Little CMS would sample a Lab transform into a grid on which neutral a and b fall between the nodes: white
    // paper came out 254, 255, 254. Computed exactly it is white, at about five times the cost (some 4 s for
    // 25 million pixels); Lab documents are rare, CMYK ones keep the fast grid, on which no ink is a node.
    if (input == Input::Lab)
        flags |= cmsFLAGS_NOOPTIMIZE;
    cmsHTRANSFORM transform =
        cmsCreateTransform(source.get(), InputFormat(input, bytes_per_sample), srgb.get(),
                           OutputFormat(bytes_per_sample, out_channels), INTENT_RELATIVE_COLORIMETRIC, flags);
    if (transform == nullptr) {
        *why = "Little CMS could not build a transform from the colour profile";
        return nullptr;
    }
    return std::unique_ptr<ColorTransform>(new ColorTransform(transform));
}

ColorTransform::~ColorTransform() {
    cmsDeleteTransform(transform_);
}

void ColorTransform::Run(const void* in, uint8_t* out, uint32_t pixels) const {
    cmsDoTransform(transform_, in, out, pixels);
}
