// Stored designs are text files that a designer, or anyone, may have edited.
// What reads without error must write back to the same values, and reading a
// control's design from it either succeeds within its ranges or raises one of
// the program's numbered errors.

#include "FuzzInput.h"

#include "base/Error.h"
#include "base/PropertyBag.h"
#include "base/Units.h"
#include "controls/BFormDesign.h"
#include "controls/ButtonDesign.h"
#include "controls/FontDesc.h"

using namespace tessaly;
using namespace tessaly::fuzz;

namespace {

void ReadEveryWay(const PropertyValue& value) {
    try {
        ToBool(value);
    } catch (const Error&) {
    }
    try {
        ToInt(value);
    } catch (const Error&) {
    }
    try {
        const double d = ToDouble(value);
        RoundHalfEven(d);
        TwipsToPixels(d);
        HimetricToPixels(d);
    } catch (const Error&) {
    }
    if (const auto* text = std::get_if<std::wstring>(&value)) {
        try {
            const FontDesc font = FontDesc::Parse(*text);
            Require(font.size > 0 && font.size <= kMaxFontPoints, "a font size is in range");
            Require(FontDesc::Parse(font.ToText()) == font, "a font reads back as written");
        } catch (const Error&) {
        }
    }
}

void ReadDesigns(const PropertyBag& bag) {
    try {
        const ButtonDesign button = ReadButtonDesign(bag, ButtonDesign{});
        Require(button.cFont.size > 0 && button.cFont.size <= kMaxFontPoints,
                "a button's font size is in range");
        PropertyBag written;
        WriteButtonDesign(written, button);
        Require(ReadButtonDesign(PropertyBag::Parse(written.Serialize()), ButtonDesign{}) == button,
                "a button's design reads back as written");
    } catch (const Error&) {
    }
    try {
        BFormDesign form;
        ReadBFormDesign(bag, form, [] {});
        PropertyBag written;
        WriteBFormDesign(written, form, [] {});
        BFormDesign back;
        ReadBFormDesign(PropertyBag::Parse(written.Serialize()), back, [] {});
        Require(back == form, "a frame's design reads back as written");
    } catch (const Error&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    PropertyBag bag;
    try {
        bag = PropertyBag::Parse(TextOf(data, size));
    } catch (const Error& e) {
        Require(e.number() == error::kInvalidArgument, "unreadable text is an invalid argument");
        return 0;
    }
    const PropertyBag back = PropertyBag::Parse(bag.Serialize());
    Require(back.entries() == bag.entries(), "a bag reads back as written");
    for (const auto& entry : bag.entries())
        ReadEveryWay(entry.second);
    ReadDesigns(bag);
    return 0;
}
