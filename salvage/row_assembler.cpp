#include "salvage/row_assembler.h"

#include "salvage/color_transform.h"
#include "salvage/sample_conversion.h"

namespace {

// How the colour rows become the PNG's colour samples; chosen once, so that a row costs one switch.
enum class ColourPath { Unchanged, Bits, Float, Palette, Complement, Transform };

struct Plan {
    ColourPath path = ColourPath::Unchanged;
    unsigned colour_in = 1;   // colour rows the mode has
    unsigned colour_out = 1;  // 1 gray, 3 RGB
    unsigned out_bytes = 1;   // bytes of one PNG sample
    bool alpha = false;
};

constexpr size_t kPaletteSize = 768;

bool Refuse(std::string* problem, const std::string& why) {
    *problem = why;
    return false;
}

const char* SpaceName(ProfileSpace space) {
    switch (space) {
        case ProfileSpace::Gray:
            return "gray";
        case ProfileSpace::Rgb:
            return "RGB";
        case ProfileSpace::Cmyk:
            return "CMYK";
        case ProfileSpace::Lab:
            return "Lab";
        default:
            return "other";
    }
}

// True when the document's profile describes `wanted` colours; otherwise says in `notes` why it is left out.
bool ProfileFits(const std::vector<uint8_t>& icc_profile, ProfileSpace wanted, std::vector<std::string>* notes) {
    if (icc_profile.empty())
        return false;
    const ProfileSpace space = ReadProfileSpace(icc_profile);
    if (space == wanted)
        return true;
    if (space == ProfileSpace::Unreadable)
        notes->push_back("the embedded colour profile is damaged (Little CMS cannot read it) and was left out");
    else
        notes->push_back(std::string("the embedded colour profile describes ") + SpaceName(space) + " colours, not " +
                         SpaceName(wanted) + ", and was left out");
    return false;
}

// The path for the mode and depth; false (with `*problem`) for a combination no document has.
bool ChoosePath(const AssemblyInput& input, Plan* plan, std::vector<std::string>* notes, std::string* problem) {
    const PsdHeader& header = input.header;
    const uint16_t depth = header.depth;
    const bool ink_depth = depth == 8 || depth == 16;
    plan->out_bytes = depth == 8 || depth == 1 ? 1 : 2;
    switch (header.mode) {
        case ColorMode::Bitmap:
            plan->path = ColourPath::Bits;
            return depth == 1 || Refuse(problem, "a bitmap picture must have 1 bit a sample");
        case ColorMode::Grayscale:
        case ColorMode::Rgb:
            plan->colour_in = plan->colour_out = ColorChannelCount(header);
            plan->path = depth == 32 ? ColourPath::Float : ColourPath::Unchanged;
            return ink_depth || depth == 32 || Refuse(problem, "unknown depth for a gray or RGB picture");
        case ColorMode::Duotone:
        case ColorMode::Multichannel:
            return ink_depth || Refuse(problem, "duotone and multichannel pictures have 8 or 16 bits a sample");
        case ColorMode::Indexed:
            if (depth != 8)
                return Refuse(problem, "an indexed picture must have 8 bits a sample");
            if (input.palette.size() != kPaletteSize) {
                notes->push_back("the palette is missing or damaged: the colour indices are written as gray levels");
                return true;
            }
            plan->path = ColourPath::Palette;
            plan->colour_out = 3;
            return true;
        case ColorMode::Cmyk:
        case ColorMode::Lab:
            plan->colour_in = ColorChannelCount(header);
            plan->colour_out = 3;
            plan->path = ColourPath::Transform;
            return ink_depth || Refuse(problem, "CMYK and Lab pictures have 8 or 16 bits a sample");
    }
    return Refuse(problem, "unknown colour mode");
}

class Assembler final : public RowAssembler {
  public:
    Assembler(const AssemblyInput& input, const Plan& plan) : input_(input), plan_(plan) {
        format_.width = input.header.width;
        format_.channels = static_cast<uint8_t>(plan.colour_out + (plan.alpha ? 1 : 0));
        format_.bit_depth = static_cast<uint8_t>(plan.out_bytes * 8);
        pixel_bytes_ = size_t{format_.channels} * plan.out_bytes;
    }

    // Settles the profile the PNG carries and, for CMYK and Lab, the conversion; says what a reader should know.
    // False when not even the standard conversion can be built.
    bool ChooseProfile(std::vector<std::string>* notes, std::string* problem);

    PngFormat Format() const override { return format_; }
    const std::vector<uint8_t>& OutputProfile() const override { return output_profile_; }
    size_t OutputRowBytes() const override { return size_t{format_.width} * pixel_bytes_; }
    void Assemble(const std::vector<const uint8_t*>& rows, uint8_t* out) override;

  private:
    static const uint8_t* Row(const std::vector<const uint8_t*>& rows, size_t index) {
        return index < rows.size() ? rows[index] : nullptr;
    }
    bool ChooseConversion(std::vector<std::string>* notes, std::string* problem);
    void WriteColour(const std::vector<const uint8_t*>& rows, uint8_t* out);
    void Convert(const std::vector<const uint8_t*>& rows, uint8_t* out);
    void WriteAlpha(const uint8_t* row, bool colour_lost, uint8_t* out) const;

    AssemblyInput input_;
    Plan plan_;
    PngFormat format_;
    size_t pixel_bytes_ = 0;
    std::vector<uint8_t> output_profile_;
    std::unique_ptr<ColorTransform> transform_;
    std::vector<uint8_t> gathered8_;    // one row of interleaved CMYK or Lab for the transform
    std::vector<uint16_t> gathered16_;  // the same at 16 bits
};

bool Assembler::ChooseProfile(std::vector<std::string>* notes, std::string* problem) {
    const std::vector<uint8_t>& icc = input_.icc_profile;
    if (plan_.path == ColourPath::Unchanged) {
        // Multichannel inks and a palette's indices shown as gray are not the gray a profile describes.
        const ColorMode mode = input_.header.mode;
        if (mode != ColorMode::Multichannel && mode != ColorMode::Indexed &&
            ProfileFits(icc, plan_.colour_out == 1 ? ProfileSpace::Gray : ProfileSpace::Rgb, notes))
            output_profile_ = icc;
        return true;
    }
    return plan_.path != ColourPath::Transform || ChooseConversion(notes, problem);
}

bool Assembler::ChooseConversion(std::vector<std::string>* notes, std::string* problem) {
    const bool cmyk = input_.header.mode == ColorMode::Cmyk;
    const auto input = cmyk ? ColorTransform::Input::InvertedCmyk : ColorTransform::Input::Lab;
    std::string why;
    if (ProfileFits(input_.icc_profile, cmyk ? ProfileSpace::Cmyk : ProfileSpace::Lab, notes)) {
        transform_ = ColorTransform::Create(input, input_.icc_profile, plan_.out_bytes, format_.channels, &why);
        if (!transform_)
            notes->push_back("the embedded colour profile was left out: " + why);
    }
    if (!transform_ && cmyk) {
        notes->push_back(
            "no usable colour profile: CMYK was converted to RGB by the simple complement formula, so "
            "its colours are approximate");
        plan_.path = ColourPath::Complement;
        return true;
    }
    if (!transform_) {
        notes->push_back("no usable colour profile: Lab was converted to sRGB from the standard D50 Lab space");
        transform_ = ColorTransform::Create(input, {}, plan_.out_bytes, format_.channels, &why);
        if (!transform_)
            return Refuse(problem, why);
    }
    const size_t samples = size_t{format_.width} * plan_.colour_in;
    if (plan_.out_bytes == 1)
        gathered8_.resize(samples);
    else
        gathered16_.resize(samples);
    return true;
}

void Assembler::Assemble(const std::vector<const uint8_t*>& rows, uint8_t* out) {
    bool colour_lost = false;
    for (size_t c = 0; c < plan_.colour_in; ++c)
        colour_lost = colour_lost || Row(rows, c) == nullptr;
    const bool mixed = plan_.path == ColourPath::Palette || plan_.path == ColourPath::Complement ||
                       plan_.path == ColourPath::Transform;
    // Every sample of a converted pixel depends on every colour row: with one lost, none of them came back.
    if (colour_lost && mixed)
        FillSamples(format_.width, static_cast<unsigned>(plan_.colour_out * plan_.out_bytes), 0, out, pixel_bytes_);
    else
        WriteColour(rows, out);
    if (plan_.alpha)
        WriteAlpha(input_.has_transparency ? Row(rows, plan_.colour_in) : nullptr, colour_lost, out);
}

void Assembler::WriteColour(const std::vector<const uint8_t*>& rows, uint8_t* out) {
    const uint32_t width = format_.width;
    const unsigned bytes = plan_.out_bytes;
    switch (plan_.path) {
        case ColourPath::Palette:
            PaletteToRgb(rows[0], width, input_.palette.data(), out, pixel_bytes_);
            return;
        case ColourPath::Complement:
            InvertedCmykToRgb(rows.data(), width, bytes, out, pixel_bytes_);
            return;
        case ColourPath::Transform:
            Convert(rows, out);
            return;
        default:
            break;
    }
    for (size_t c = 0; c < plan_.colour_out; ++c) {
        const uint8_t* row = Row(rows, c);
        uint8_t* first = out + c * bytes;
        if (row == nullptr)
            FillSamples(width, bytes, 0, first, pixel_bytes_);
        else if (plan_.path == ColourPath::Bits)
            BitsToGray(row, width, first, pixel_bytes_);
        else if (plan_.path == ColourPath::Float)
            FloatsToSrgb16(row, width, first, pixel_bytes_);
        else
            SpreadSamples(row, width, bytes, first, pixel_bytes_);
    }
}

void Assembler::Convert(const std::vector<const uint8_t*>& rows, uint8_t* out) {
    const uint32_t width = format_.width;
    if (plan_.out_bytes == 1) {
        Gather8(rows.data(), plan_.colour_in, width, gathered8_.data());
        transform_->Run(gathered8_.data(), out, width);
        return;
    }
    GatherNative16(rows.data(), plan_.colour_in, width, gathered16_.data());
    if (input_.header.mode == ColorMode::Lab)
        LabToLcms16(gathered16_.data(), width);
    transform_->Run(gathered16_.data(), out, width);
}

void Assembler::WriteAlpha(const uint8_t* row, bool colour_lost, uint8_t* out) const {
    const uint32_t width = format_.width;
    const unsigned bytes = plan_.out_bytes;
    uint8_t* first = out + size_t{plan_.colour_out} * bytes;
    if (colour_lost || (input_.has_transparency && row == nullptr))
        FillSamples(width, bytes, 0, first, pixel_bytes_);
    else if (!input_.has_transparency)
        FillSamples(width, bytes, 0xFF, first, pixel_bytes_);
    else if (input_.header.depth == 1)
        BitsToGray(row, width, first, pixel_bytes_);
    else if (input_.header.depth == 32)
        FloatsToLinear16(row, width, first, pixel_bytes_);
    else
        SpreadSamples(row, width, bytes, first, pixel_bytes_);
}

}  // namespace

std::unique_ptr<RowAssembler> RowAssembler::Create(const AssemblyInput& input,
                                                   std::vector<std::string>* notes,
                                                   std::string* problem) {
    // The width sizes every buffer here: no document is wider than the large format's side.
    if (input.header.width < 1 || input.header.width > kMaxPsbSide) {
        *problem = "the picture's width is out of range";
        return nullptr;
    }
    Plan plan;
    if (!ChoosePath(input, &plan, notes, problem))
        return nullptr;
    plan.alpha = input.has_transparency || input.mark_losses;
    auto assembler = std::make_unique<Assembler>(input, plan);
    if (!assembler->ChooseProfile(notes, problem))
        return nullptr;
    return assembler;
}
