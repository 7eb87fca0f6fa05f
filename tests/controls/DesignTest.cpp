#include "base/Error.h"
#include "controls/BFormDesign.h"
#include "controls/ButtonDesign.h"
#include "controls/Colour.h"
#include "controls/FontDesc.h"
#include "controls/PictureRef.h"

#include "support/ErrorNumber.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tessaly;
using tessaly::test::ErrorNumber;

namespace {

std::vector<std::wstring> Names(const PropertyBag& bag) {
    std::vector<std::wstring> names;
    for (const auto& entry : bag.entries())
        names.push_back(entry.first);
    return names;
}

ButtonDesign AnswerButton() {
    ButtonDesign d;
    d.BackPicture = L"bitmap:203";
    d.Icon = L"icon:1";
    d.Enabled = false;
    d.Style = 1;
    d.cBackStyle = 0;
    d.Caption = L"是";
    d.AutoSize = false;
    d.cFont = FontDesc{L"宋体", 10.5, true, false, true, false, kGb2312Charset};
    d.cDrawMode = 7;
    d.cForeColor = Rgb(1, 2, 3);
    return d;
}

} // namespace

TEST(ButtonDesign, WritesInItsOrderLeavingDefaultsOutButAlwaysTheLastThree) {
    PropertyBag bag;
    WriteButtonDesign(bag, ButtonDesign{});
    EXPECT_EQ(Names(bag), (std::vector<std::wstring>{L"cFont", L"cDrawMode", L"cForeColor"}));
    EXPECT_EQ(bag.ReadInt(L"cForeColor", 0), 0x80000012); // the button-text system colour

    PropertyBag full;
    WriteButtonDesign(full, AnswerButton());
    EXPECT_EQ(Names(full), (std::vector<std::wstring>{L"BackPicture", L"Icon", L"Enabled", L"Style",
                                                      L"cBackStyle", L"Caption", L"AutoSize",
                                                      L"cFont", L"cDrawMode", L"cForeColor"}));
}

TEST(ButtonDesign, RoundTripsThroughTheStoredTextAndFillsMissingNamesWithDefaults) {
    PropertyBag bag;
    WriteButtonDesign(bag, AnswerButton());
    const PropertyBag stored = PropertyBag::Parse(bag.Serialize());
    EXPECT_EQ(ReadButtonDesign(stored, ButtonDesign{}), AnswerButton());

    // Nothing stored: the fixed defaults, and the surface's font, draw mode and colour.
    ButtonDesign surface;
    surface.cFont = FontDesc{L"Tahoma", 8};
    surface.cDrawMode = 6;
    surface.cForeColor = Rgb(9, 9, 9);
    surface.Caption = L"ignored";
    surface.Enabled = false;
    ButtonDesign expected;
    expected.cFont = surface.cFont;
    expected.cDrawMode = 6;
    expected.cForeColor = Rgb(9, 9, 9);
    EXPECT_EQ(ReadButtonDesign(PropertyBag{}, surface), expected);

    // Names match without regard to case; values of the wrong kind are refused.
    const PropertyBag odd =
        PropertyBag::Parse(L"CAPTION = \"否\"\nautosize = False\nSTYLE = \"x\"\n");
    EXPECT_EQ(ErrorNumber([&] { ReadButtonDesign(odd, surface); }), error::kTypeMismatch);
    const PropertyBag huge = PropertyBag::Parse(L"cFont = \"Tahoma,1e300\"\n");
    EXPECT_EQ(ErrorNumber([&] { ReadButtonDesign(huge, surface); }), error::kTypeMismatch);
    const PropertyBag cased = PropertyBag::Parse(L"CAPTION = \"否\"\nautosize = False\n");
    EXPECT_EQ(ReadButtonDesign(cased, surface).Caption, L"否");
    EXPECT_FALSE(ReadButtonDesign(cased, surface).AutoSize);
}

TEST(BFormDesign, WritesAndReadsInOrderWithTheBarPaintedAfterTheCaption) {
    std::vector<std::wstring> order;
    PropertyBag bag;
    BFormDesign design; // all defaults: only HasLogo is written
    WriteBFormDesign(bag, design, [&] { order.push_back(L"paint"); });
    EXPECT_EQ(Names(bag), (std::vector<std::wstring>{L"HasLogo"}));
    EXPECT_EQ(order, (std::vector<std::wstring>{L"paint"}));

    design = {Rgb(222, 222, 222), L"Tessaly客户端", 0x10ABC, true};
    PropertyBag full;
    WriteBFormDesign(full, design, [&] { order.assign({L"paint after " + Names(full).back()}); });
    EXPECT_EQ(Names(full),
              (std::vector<std::wstring>{L"BackColor", L"Caption", L"frmHwnd", L"HasLogo"}));
    EXPECT_EQ(order, (std::vector<std::wstring>{L"paint after Caption"}));
    EXPECT_EQ(full.ReadInt(L"BackColor", 0), 14606046);

    // Reading paints with the new colour and caption, before frmHwnd and HasLogo arrive.
    BFormDesign read;
    BFormDesign seenByPaint;
    ReadBFormDesign(PropertyBag::Parse(full.Serialize()), read, [&] { seenByPaint = read; });
    EXPECT_EQ(read, design);
    EXPECT_EQ(seenByPaint, (BFormDesign{Rgb(222, 222, 222), L"Tessaly客户端", 0, false}));

    // Missing names: the defaults, HasLogo keeping what it was.
    BFormDesign kept;
    kept.HasLogo = true;
    ReadBFormDesign(PropertyBag{}, kept, [] {});
    EXPECT_EQ(kept, (BFormDesign{14346732, L"NewForm", 0, true}));
}

TEST(BFormDesign, BackColorIsANumberOrItsTextAndNothingElse) {
    EXPECT_EQ(ColourFromValue(std::wstring(L"14346732")), 14346732u);
    EXPECT_EQ(ColourFromValue(std::wstring(L" 0014346732 ")), 14346732u);
    EXPECT_EQ(ColourFromValue(std::int64_t{255}), 255u);
    EXPECT_EQ(ColourFromValue(std::wstring(L"-2147483643")), kWindowColour);
    EXPECT_EQ(ColourFromValue(std::wstring(L"4294967295")), 0xFFFFFFFFu);
    for (const wchar_t* bad : {L"abc", L"", L"12px", L"4294967296", L"-2147483649"}) {
        EXPECT_EQ(ErrorNumber([&] { ColourFromValue(std::wstring(bad)); }), error::kTypeMismatch)
            << bad;
    }
    PropertyBag bag;
    bag.Write(L"BackColor", std::wstring(L"红色"));
    BFormDesign design;
    EXPECT_EQ(ErrorNumber([&] { ReadBFormDesign(bag, design, [] {}); }), error::kTypeMismatch);
    EXPECT_EQ(design.BackColor, 14346732u);
}

TEST(StoredNames, FontsAndPicturesReadBackWhatWasWritten) {
    const FontDesc font{L"宋体", 9, true, true, false, true, kGb2312Charset};
    EXPECT_EQ(font.ToText(), L"宋体,9,bold,italic,strikeout,charset=134");
    EXPECT_EQ(FontDesc::Parse(font.ToText()), font);
    EXPECT_EQ(FontDesc::Parse(L" Tahoma , 8.25 , BOLD").size, 8.25);
    EXPECT_EQ(FontDesc::Parse(L"Tahoma,2160").size, kMaxFontPoints);
    for (const wchar_t* bad : {L"", L"Tahoma", L",9", L"Tahoma,big", L"Tahoma,0", L"Tahoma,9,heavy",
                               L"Tahoma,9,charset=300", L"Tahoma,2160.5", L"Tahoma,1e300",
                               L"Tahoma,inf", L"Tahoma,nan", L"Tahoma,-0"}) {
        EXPECT_EQ(ErrorNumber([&] { FontDesc::Parse(bad); }), error::kTypeMismatch) << bad;
    }

    const PictureRef skin{PictureRef::Kind::Bitmap, 203};
    EXPECT_EQ(skin.ToText(), L"bitmap:203");
    EXPECT_EQ(PictureRef::Parse(L"Bitmap:203"), skin);
    EXPECT_EQ(PictureRef::Parse(L"icon:1"), (PictureRef{PictureRef::Kind::Icon, 1}));
    EXPECT_EQ(PictureRef::Parse(L""), std::nullopt);
    for (const wchar_t* bad : {L"203", L"bitmap:", L"png:101", L"bitmap:0", L"bitmap:70000"}) {
        EXPECT_EQ(ErrorNumber([&] { PictureRef::Parse(bad); }), error::kTypeMismatch) << bad;
    }
}
