// Cab item file codec: golden streams built from the format's tags, round trips, bad input.
#include "cab/cit_stream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <optional>

#include "../../common/bmp_writer.h"

namespace {

// Bytes of a stream written by hand, tag by tag, independent of the code under test.
struct Bytes {
    std::string s;
    Bytes& u8(uint8_t v) { s.push_back(char(v)); return *this; }
    Bytes& u16(uint16_t v) { return u8(uint8_t(v)).u8(uint8_t(v >> 8)); }
    Bytes& u32(uint32_t v) { return u16(uint16_t(v)).u16(uint16_t(v >> 16)); }
    Bytes& u64(uint64_t v) { return u32(uint32_t(v)).u32(uint32_t(v >> 32)); }
    Bytes& raw(std::string_view t) { s.append(t); return *this; }
    Bytes& sstr(std::string_view t) { return u8(uint8_t(t.size())).raw(t); }
    Bytes& wname(std::string_view t) {  // UTF-16 resource name with its zero unit
        for (char c : t) u16(uint8_t(c));
        return u16(0);
    }
    Bytes& pad4() {
        while (s.size() % 4) u8(0);
        return *this;
    }
};

// Value tags.
enum : uint8_t {
    vaNull, vaList, vaInt8, vaInt16, vaInt32, vaExtended, vaString, vaIdent, vaFalse, vaTrue,
    vaBinary, vaSet, vaLString, vaNil, vaCollection, vaSingle, vaCurrency, vaDate, vaWString,
    vaInt64, vaUTF8String
};

std::string leading_entry() {
    Bytes b;
    b.u32(0).u32(32).u16(0xFFFF).u16(0).u16(0xFFFF).u16(0).u32(0).u16(0).u16(0).u32(0).u32(0);
    return b.s;
}

// The TPF0 stream of a signal light as a cab item file holds it.
std::string light_stream() {
    Bytes b;
    b.raw("TPF0").sstr("TShape").sstr("cit");
    b.sstr("Left").u8(vaInt16).u16(300);
    b.sstr("Top").u8(vaInt8).u8(40);
    b.sstr("Width").u8(vaInt8).u8(25);
    b.sstr("Height").u8(vaInt8).u8(25);
    b.sstr("Hint").u8(vaString).sstr("sander");
    b.sstr("Brush.Color").u8(vaIdent).sstr("clRed");
    b.sstr("Pen.Width").u8(vaInt8).u8(2);
    b.sstr("Shape").u8(vaIdent).sstr("stCircle");
    b.u8(0).u8(0);  // end of properties, end of owned components
    return b.s;
}

std::string light_file() {
    std::string data = light_stream();
    Bytes b;
    b.raw(leading_entry());
    // 8 + type 4 + "TSHAPE" 14 = 26, padded to 28, + 16 fixed bytes.
    b.u32(uint32_t(data.size())).u32(44).u16(0xFFFF).u16(10).wname("TSHAPE").u16(0);
    b.u32(0).u16(0x1030).u16(0x0409).u32(0).u32(0);
    b.raw(data).pad4();
    return b.s;
}

// One property of every value tag, and owned components with filer flag prefixes.
std::string all_values_stream() {
    Bytes b;
    b.raw("TPF0").sstr("TTestPanel").sstr("all");
    b.sstr("Nothing").u8(vaNull);
    b.sstr("Items").u8(vaList).u8(vaInt8).u8(1).u8(vaString).sstr("a").u8(vaList).u8(0).u8(0);
    b.sstr("I8").u8(vaInt8).u8(0xFB);
    b.sstr("I16").u8(vaInt16).u16(uint16_t(-300));
    b.sstr("I32").u8(vaInt32).u32(100000);
    b.sstr("Ext").u8(vaExtended).u64(0xC000000000000000ull).u16(0x3FFF);  // 1.5
    b.sstr("Str").u8(vaString).sstr("abc");
    b.sstr("Color").u8(vaIdent).sstr("clMaroon");
    b.sstr("No").u8(vaFalse);
    b.sstr("Yes").u8(vaTrue);
    b.sstr("Glyph.Data").u8(vaBinary).u32(3).u8(1).u8(2).u8(3);
    b.sstr("Font.Style").u8(vaSet).sstr("fsBold").sstr("fsItalic").u8(0);
    b.sstr("Long").u8(vaLString).u32(4).raw("long");
    b.sstr("PopupMenu").u8(vaNil);
    b.sstr("Panels").u8(vaCollection);
    b.u8(vaInt8).u8(7).u8(vaList).sstr("Width").u8(vaInt8).u8(50).u8(0);
    b.u8(vaList).sstr("Text").u8(vaString).sstr("x").u8(0);
    b.u8(0);
    b.sstr("Sgl").u8(vaSingle).u32(0x3FC00000);  // 1.5f
    b.sstr("Cur").u8(vaCurrency).u64(12345);     // 1.2345
    uint64_t date_bits;
    double date = 36526.5;
    std::memcpy(&date_bits, &date, 8);
    b.sstr("When").u8(vaDate).u64(date_bits);
    b.sstr("Wide").u8(vaWString).u32(2).u16('h').u16(0xE9);
    b.sstr("Big").u8(vaInt64).u64(0x100000000ull);
    b.sstr("Utf").u8(vaUTF8String).u32(3).raw("xyz");
    b.u8(0);
    b.u8(0xF2).u8(vaInt8).u8(3).sstr("TChild").sstr("c1").u8(0).u8(0);  // child position 3
    b.u8(0xF1).sstr("TChild").sstr("c2").sstr("Tag").u8(vaInt8).u8(9).u8(0).u8(0);
    b.u8(0);
    return b.s;
}

TEST(CitGolden, LightFileReadsIntoItsProperties) {
    CitFile f = cit_decode(light_file());
    ASSERT_EQ(f.entries.size(), 1u);
    const CitEntry& e = f.entries[0];
    EXPECT_TRUE(e.header.type == CitResId::make_ordinal(10));
    EXPECT_TRUE(e.header.name.matches("tshape"));
    EXPECT_EQ(e.header.memory_flags, 0x1030);
    EXPECT_EQ(e.header.language, 0x0409);
    const CitComponent& c = e.component;
    EXPECT_EQ(c.class_name, "TShape");
    EXPECT_EQ(c.name, "cit");
    EXPECT_FALSE(c.filer_flags.has_value());
    ASSERT_EQ(c.properties.size(), 8u);
    EXPECT_EQ(c.properties[0].name, "Left");
    EXPECT_EQ(c.find("left")->as_integer(), 300);
    EXPECT_EQ(c.find("Left")->type, CitValueType::vaInt16);
    EXPECT_EQ(c.find("Top")->as_integer(), 40);
    EXPECT_EQ(c.find("Hint")->as_text(), "sander");
    EXPECT_EQ(cit_color_of(*c.find("Brush.Color")), 0x0000FFu);
    EXPECT_EQ(c.find("Pen.Width")->as_integer(), 2);
    EXPECT_EQ(c.find("Shape")->as_ident(), "stCircle");
    EXPECT_EQ(c.find("Pen.Color"), nullptr);
    EXPECT_TRUE(c.children.empty());
    EXPECT_EQ(f.find("TSHAPE"), &e);
    EXPECT_EQ(f.find("TBAR"), nullptr);
}

TEST(CitGolden, LightFileWritesBackByteForByte) {
    EXPECT_EQ(cit_encode(cit_decode(light_file())), light_file());
}

TEST(CitGolden, EveryValueTagReads) {
    CitComponent c = cit_read_component(all_values_stream());
    EXPECT_EQ(c.class_name, "TTestPanel");
    EXPECT_EQ(c.find("Nothing")->type, CitValueType::vaNull);
    const CitValue& items = *c.find("Items");
    ASSERT_EQ(items.type, CitValueType::vaList);
    ASSERT_EQ(items.items.size(), 3u);
    EXPECT_EQ(items.items[0].as_integer(), 1);
    EXPECT_EQ(items.items[1].as_text(), "a");
    EXPECT_EQ(items.items[2].type, CitValueType::vaList);
    EXPECT_TRUE(items.items[2].items.empty());
    EXPECT_EQ(c.find("I8")->as_integer(), -5);
    EXPECT_EQ(c.find("I16")->as_integer(), -300);
    EXPECT_EQ(c.find("I32")->as_integer(), 100000);
    EXPECT_EQ(c.find("Ext")->as_number(), 1.5);
    EXPECT_EQ(c.find("Str")->as_text(), "abc");
    EXPECT_EQ(c.find("Color")->as_ident(), "clMaroon");
    EXPECT_FALSE(c.find("No")->as_boolean());
    EXPECT_TRUE(c.find("Yes")->as_boolean());
    EXPECT_EQ(c.find("Glyph.Data")->as_binary(), std::string("\x01\x02\x03"));
    EXPECT_EQ(c.find("Font.Style")->names, (std::vector<std::string>{"fsBold", "fsItalic"}));
    EXPECT_EQ(c.find("Long")->as_text(), "long");
    EXPECT_EQ(c.find("PopupMenu")->type, CitValueType::vaNil);
    const CitValue& panels = *c.find("Panels");
    ASSERT_EQ(panels.collection.size(), 2u);
    EXPECT_EQ(panels.collection[0].order.as_integer(), 7);
    EXPECT_EQ(panels.collection[0].properties[0].name, "Width");
    EXPECT_EQ(panels.collection[0].properties[0].value.as_integer(), 50);
    EXPECT_EQ(panels.collection[1].order.type, CitValueType::vaNull);
    EXPECT_EQ(panels.collection[1].properties[0].value.as_text(), "x");
    EXPECT_EQ(c.find("Sgl")->as_number(), 1.5);
    EXPECT_EQ(c.find("Cur")->as_number(), 1.2345);
    EXPECT_EQ(c.find("When")->as_number(), 36526.5);
    EXPECT_EQ(c.find("Wide")->wide, u"h\u00e9");
    EXPECT_EQ(c.find("Big")->as_integer(), 0x100000000ll);
    EXPECT_EQ(c.find("Utf")->as_text(), "xyz");
    ASSERT_EQ(c.children.size(), 2u);
    EXPECT_EQ(c.children[0].filer_flags, uint8_t(2));
    EXPECT_EQ(c.children[0].child_pos.as_integer(), 3);
    EXPECT_EQ(c.children[0].name, "c1");
    EXPECT_EQ(c.children[1].filer_flags, uint8_t(1));
    EXPECT_EQ(c.children[1].find("Tag")->as_integer(), 9);
}

TEST(CitGolden, EveryValueTagWritesBackByteForByte) {
    EXPECT_EQ(cit_write_component(cit_read_component(all_values_stream())), all_values_stream());
}

// ---- extended floats ----

std::array<uint8_t, 10> ext_bytes(uint64_t mantissa, uint16_t top) {
    std::array<uint8_t, 10> b{};
    for (int i = 0; i < 8; ++i) b[size_t(i)] = uint8_t(mantissa >> (8 * i));
    b[8] = uint8_t(top);
    b[9] = uint8_t(top >> 8);
    return b;
}

TEST(CitExtendedFloat, KnownEncodings) {
    struct Case {
        double value;
        uint64_t mantissa;
        uint16_t top;
    };
    const Case cases[] = {
        {0.0, 0, 0},
        {-0.0, 0, 0x8000},
        {1.0, 0x8000000000000000ull, 0x3FFF},
        {-2.0, 0x8000000000000000ull, 0xC000},
        {0.1, 0xCCCCCCCCCCCCD000ull, 0x3FFB},
        {std::numeric_limits<double>::infinity(), 0x8000000000000000ull, 0x7FFF},
        {std::numeric_limits<double>::denorm_min(), 0x8000000000000000ull, 16383 - 1074},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(CitExtended::from_double(c.value).bytes, ext_bytes(c.mantissa, c.top));
        CitExtended e{ext_bytes(c.mantissa, c.top)};
        EXPECT_EQ(e.to_double(), c.value);
        EXPECT_EQ(std::signbit(e.to_double()), std::signbit(c.value));
    }
}

TEST(CitExtendedFloat, DoublesRoundTripExactly) {
    const double values[] = {3.141592653589793, -1e300, 1e-300, 2.2250738585072014e-308,
                             4.9406564584124654e-320, std::numeric_limits<double>::max(), 123456789.0};
    for (double v : values) {
        SCOPED_TRACE(v);
        EXPECT_EQ(CitExtended::from_double(v).to_double(), v);
    }
    EXPECT_TRUE(std::isnan(CitExtended::from_double(std::nan("")).to_double()));
}

TEST(CitExtendedFloat, ValuesBeyondDoubleRoundOrOverflow) {
    // 1 + 2^-63 rounds to 1; 2^16383 overflows; 2^-16000 underflows to zero.
    EXPECT_EQ((CitExtended{ext_bytes(0x8000000000000001ull, 0x3FFF)}).to_double(), 1.0);
    EXPECT_TRUE(std::isinf((CitExtended{ext_bytes(0x8000000000000000ull, 0x7FFE)}).to_double()));
    EXPECT_EQ((CitExtended{ext_bytes(0x8000000000000000ull, 383)}).to_double(), 0.0);
}

// ---- round trips ----

CitValue ident(const char* s) { return CitValue::make_ident(s); }
CitValue integer(int64_t v) { return CitValue::make_integer(v); }
CitValue boolean(bool b) { return CitValue::make_boolean(b); }

// A small bitmap file: header, info header, 2 x 1 pixels of 24 bits.
std::string tiny_bitmap() {
    return bmp_bytes({2, 1, 24, 40, {}, {0xFF0000, 0xFFFFFF}});
}

CitValue bitmap_data() { return CitValue::make_binary(cit_write_graphic_data({"", tiny_bitmap()}, false)); }

CitComponent item(const char* class_name, std::vector<CitProperty> own) {
    CitComponent c;
    c.class_name = class_name;
    c.name = "cit";
    c.properties = {{"Left", integer(120)}, {"Top", integer(300)}, {"Width", integer(60)},
                    {"Height", integer(60)}, {"Hint", CitValue::make_string("speed")}};
    for (CitProperty& p : own) c.properties.push_back(std::move(p));
    return c;
}

CitFile gauge_file() {
    CitFile f;
    f.add("TQuorrGauge",
          item("TQuorrGauge", {{"BackBitmap.Data", bitmap_data()}, {"BackColor", ident("clMaroon")},
                               {"BorderStyle", ident("bsNone")}, {"Color", ident("clBtnFace")},
                               {"ForeColor", cit_color_value(0x00336699)},
                               {"Font.Charset", ident("DEFAULT_CHARSET")}, {"Font.Color", ident("clWindowText")},
                               {"Font.Height", integer(-11)}, {"Font.Name", CitValue::make_string("MS Sans Serif")},
                               {"Font.Style", CitValue::make_set({})}, {"Kind", ident("gk270needle")},
                               {"MinValue", integer(-50)}, {"MaxValue", integer(150000)},
                               {"ParentColor", boolean(false)}, {"ParentFont", boolean(false)},
                               {"ParentShowHint", boolean(false)}, {"Progress", integer(30)},
                               {"ShowHint", boolean(true)}, {"ShowText", boolean(true)},
                               {"Visible", boolean(true)}}));
    return f;
}

CitFile lever_file() {
    CitFile f;
    f.add("TBAR", item("TvexaTracker",
                       {{"Minimum", integer(0)}, {"Maximum", integer(16)}, {"Value", integer(8)},
                        {"Orientation", ident("vtbVertical")}, {"BackBitmap.Data", bitmap_data()},
                        {"BackColor", ident("clSilver")}, {"BackBorder", boolean(false)},
                        {"TrackColor", ident("clGray")}, {"TrackBorder", boolean(true)},
                        {"TumbColor", ident("clSilver")}, {"TumbBorder", boolean(false)},
                        {"TumbWidth", integer(20)}, {"TumbHeight", integer(20)}, {"TrackHeight", integer(6)},
                        {"ShowCaption", boolean(true)}, {"CaptionColor", ident("clBlack")},
                        {"CaptionBold", boolean(true)}}));
    CitComponent images;
    images.class_name = "TImageList";
    images.name = "cit";
    images.properties = {{"Height", integer(120)}, {"Width", integer(40)},
                         {"Bitmap", CitValue::make_binary(std::string("IL\x01\x01\x11\x00\xff\x00", 8))}};
    f.add("IMGL", images);
    return f;
}

CitFile push_switch_file() {
    CitFile f;
    f.add("TBitBtn", item("TBitBtn", {{"TabOrder", integer(0)}, {"Glyph.Data", bitmap_data()}}));
    return f;
}

CitFile toggle_switch_file() {
    CitFile f;
    f.add("TSpeedButton", item("TSpeedButton", {{"AllowAllUp", boolean(true)}, {"GroupIndex", integer(1)},
                                                {"Flat", boolean(true)}, {"Glyph.Data", bitmap_data()},
                                                {"NumGlyphs", integer(4)}}));
    return f;
}

CitFile light_item_file() {
    CitFile f;
    f.add("TShape", item("TShape", {{"Brush.Color", ident("clYellow")}, {"Pen.Width", integer(2)},
                                    {"Shape", ident("stRectangle")}}));
    return f;
}

CitFile clock_file() {
    CitFile f;
    f.add("TClock", item("TClock", {{"ClkArrowColor", ident("clWhite")}, {"ClkFaceColor", ident("clBlack")},
                                    {"DifHour", integer(-11)}, {"DifMinute", integer(59)},
                                    {"SecArrow", boolean(false)}}));
    return f;
}

TEST(CitRoundTrip, EveryItemTypeSurvivesEncodeAndDecode) {
    const std::pair<const char*, CitFile> files[] = {
        {"gauge", gauge_file()},       {"lever", lever_file()}, {"push switch", push_switch_file()},
        {"toggle switch", toggle_switch_file()}, {"light", light_item_file()}, {"clock", clock_file()},
    };
    for (const auto& [what, file] : files) {
        SCOPED_TRACE(what);
        std::string bytes = cit_encode(file);
        CitFile back = cit_decode(bytes);
        EXPECT_EQ(back, file);
        EXPECT_EQ(cit_encode(back), bytes);
    }
}

TEST(CitRoundTrip, LeverKeepsItsTwoEntriesInOrder) {
    CitFile back = cit_decode(cit_encode(lever_file()));
    ASSERT_EQ(back.entries.size(), 2u);
    EXPECT_TRUE(back.entries[0].header.name.matches("TBAR"));
    EXPECT_TRUE(back.entries[1].header.name.matches("IMGL"));
    EXPECT_EQ(back.find("IMGL")->component.class_name, "TImageList");
    CitGraphicData glyph = cit_read_graphic_data(back.find("tbar")->component.find("BackBitmap.Data")->as_binary(), false);
    EXPECT_EQ(glyph.image, tiny_bitmap());
}

TEST(CitRoundTrip, EveryValueKindTheWriterProduces) {
    CitComponent c;
    c.class_name = "TPanel";
    c.name = "p";
    c.properties = {
        {"Null", CitValue::make_null()},
        {"List", CitValue::make_list({integer(1), CitValue::make_list({}), ident("x")})},
        {"I8", integer(-128)}, {"I16", integer(32767)}, {"I32", integer(-2147483648ll)},
        {"I64", integer(1ll << 40)}, {"I64small", CitValue::make_int64(5)},
        {"Ext", CitValue::make_extended(-0.1)}, {"Str", CitValue::make_string("short")},
        {"LStr", CitValue::make_string(std::string(300, 'z'))}, {"LStrShort", CitValue::make_lstring("s")},
        {"Id", ident("clWhite")}, {"F", boolean(false)}, {"T", boolean(true)},
        {"Bin", CitValue::make_binary(std::string("\0\x01\xff", 3))},
        {"Set", CitValue::make_set({"akLeft", "akTop"})}, {"Nil", CitValue::make_nil()},
        {"Col", CitValue::make_collection({{integer(2), {{"W", integer(1)}}}, {CitValue::make_null(), {}}})},
        {"Sgl", CitValue::make_single(-2.25f)}, {"Cur", CitValue::make_currency(-987654321)},
        {"Date", CitValue::make_date(45000.25)}, {"WStr", CitValue::make_wstring(u"\u20ac1")},
        {"Utf", CitValue::make_utf8("\xe2\x82\xac")},
    };
    CitComponent child;
    child.class_name = "TLabel";
    child.name = "inner";
    child.filer_flags = 2;
    child.child_pos = integer(1000);
    child.children.push_back(CitComponent{std::nullopt, {}, "TLabel", "", {}, {}});
    c.children.push_back(child);
    std::string stream = cit_write_component(c);
    EXPECT_EQ(cit_read_component(stream), c);
    EXPECT_EQ(cit_read_component(stream).find("LStr")->type, CitValueType::vaLString);
    EXPECT_EQ(cit_read_component(stream).find("I64")->type, CitValueType::vaInt64);
}

TEST(CitFiles, WriteThenReadAndReplace) {
    std::string path = std::string(DROVIK_TEST_BINARY_DIR) + "/lever.cit";
    cit_write_file(path, lever_file());
    EXPECT_EQ(cit_read_file(path), lever_file());
    cit_write_file(path, gauge_file());
    EXPECT_EQ(cit_read_file(path), gauge_file());
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
}

// The message of the CitError that run throws; a failure, and "", when it throws none.
template <class Run>
std::string error_of(Run run) {
    try {
        run();
    } catch (const CitError& e) {
        return e.what();
    }
    ADD_FAILURE() << "no error";
    return "";
}

TEST(CitFiles, FailedWriteLeavesTheOldFileWhole) {
    std::string path = std::string(DROVIK_TEST_BINARY_DIR) + "/keep.cit";
    cit_write_file(path, light_item_file());
    CitFile bad = light_item_file();
    bad.entries[0].component.set(std::string(300, 'P'), integer(1));
    const std::string error = error_of([&] { cit_write_file(path, bad); });
    EXPECT_NE(error.find("longer than 255 bytes"), std::string::npos) << error;
    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_EQ(cit_read_file(path), light_item_file());
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
    EXPECT_THROW(cit_write_file(std::string(DROVIK_TEST_BINARY_DIR) + "/no such dir/x.cit", bad), CitError);
}

TEST(CitFiles, ReadErrorsNameTheFile) {
    std::string path = std::string(DROVIK_TEST_BINARY_DIR) + "/broken.cit";
    std::string bytes = light_file();
    bytes.resize(bytes.size() - 12);
    std::ofstream(path, std::ios::binary) << bytes;
    CitFile loaded = clock_file();
    const std::string error = error_of([&] { loaded = cit_read_file(path); });
    EXPECT_NE(error.find("\"" + path + "\""), std::string::npos) << error;
    EXPECT_NE(error.find("runs past the end of the file"), std::string::npos) << error;
    EXPECT_EQ(loaded, clock_file());
    EXPECT_THROW(cit_read_file(path + ".missing"), CitError);
}

// ---- 16-bit golden files ----

// A 16-bit entry: 0xFF and the RT_RCDATA ordinal, the name and its zero byte, memory flags
// 0x1030, the data size, the data; no padding.
std::string res16_entry(std::string_view name, std::string_view data) {
    return Bytes().u8(0xFF).u16(10).raw(name).u8(0).u16(0x1030).u32(uint32_t(data.size())).raw(data).s;
}

// The same entry in the 32-bit layout (language 0), for the twin files.
std::string res32_entry(std::string_view name, std::string_view data) {
    std::string ids = Bytes().u16(0xFFFF).u16(10).wname(name).s;
    size_t ids_end = 8 + ids.size();
    uint32_t header_size = uint32_t(ids_end + (4 - ids_end % 4) % 4 + 16);
    Bytes b;
    b.u32(uint32_t(data.size())).u32(header_size).raw(ids).pad4();
    b.u32(0).u16(0x1030).u16(0).u32(0).u32(0);
    return b.raw(data).pad4().s;
}

std::string gauge_stream() {
    std::string bmp = tiny_bitmap();
    Bytes b;
    b.raw("TPF0").sstr("TQuorrGauge").sstr("cit");
    b.sstr("Left").u8(vaInt16).u16(520);
    b.sstr("Top").u8(vaInt8).u8(60);
    b.sstr("Width").u8(vaInt8).u8(100);
    b.sstr("Height").u8(vaInt8).u8(100);
    b.sstr("Hint").u8(vaString).sstr("speed");
    b.sstr("BackBitmap.Data").u8(vaBinary).u32(uint32_t(4 + bmp.size())).u32(uint32_t(bmp.size())).raw(bmp);
    b.sstr("BackColor").u8(vaIdent).sstr("clMaroon");
    b.sstr("ForeColor").u8(vaInt32).u32(0x00336699);
    b.sstr("Font.Style").u8(vaSet).u8(0);
    b.sstr("Kind").u8(vaIdent).sstr("gk270needle");
    b.sstr("MaxValue").u8(vaInt16).u16(160);
    b.sstr("ShowText").u8(vaTrue);
    b.u8(0).u8(0);
    return b.s;
}

std::string lever_stream() {
    Bytes b;
    b.raw("TPF0").sstr("TvexaTracker").sstr("cit");
    b.sstr("Left").u8(vaInt8).u8(10);
    b.sstr("Top").u8(vaInt16).u16(400);
    b.sstr("Width").u8(vaInt8).u8(40);
    b.sstr("Height").u8(vaInt8).u8(120);
    b.sstr("Hint").u8(vaString).sstr("throttle");
    b.sstr("Maximum").u8(vaInt8).u8(16);
    b.sstr("Value").u8(vaInt8).u8(8);
    b.sstr("Orientation").u8(vaIdent).sstr("vtbVertical");
    b.sstr("ShowCaption").u8(vaFalse);
    b.u8(0).u8(0);
    return b.s;
}

const std::string image_list_bitmap("IL\x01\x01\x11\x00\xff\x00", 8);

std::string image_list_stream() {
    Bytes b;
    b.raw("TPF0").sstr("TImageList").sstr("cit");
    b.sstr("Height").u8(vaInt8).u8(120);
    b.sstr("Width").u8(vaInt8).u8(40);
    b.sstr("Bitmap").u8(vaBinary).u32(uint32_t(image_list_bitmap.size())).raw(image_list_bitmap);
    b.u8(0).u8(0);
    return b.s;
}

std::string gauge16_file() { return res16_entry("TQUORRGAUGE", gauge_stream()); }
std::string gauge32_file() { return leading_entry() + res32_entry("TQUORRGAUGE", gauge_stream()); }
std::string lever16_file() {
    return res16_entry("IMGL", image_list_stream()) + res16_entry("TBAR", lever_stream());
}
std::string lever32_file() {
    return leading_entry() + res32_entry("IMGL", image_list_stream()) + res32_entry("TBAR", lever_stream());
}

// ---- bad input ----

TEST(CitBadInput, EveryTruncationOfAFileIsRefused) {
    std::string file = light_file();
    size_t data_end = file.size() - (4 - light_stream().size() % 4) % 4;
    for (size_t n = 0; n < data_end; ++n) {
        SCOPED_TRACE(n);
        EXPECT_THROW(cit_decode(file.substr(0, n)), CitError);
    }
    // Only the padding after the last entry may be missing.
    EXPECT_NO_THROW(cit_decode(file.substr(0, data_end)));
}

TEST(CitBadInput, EveryTruncationOfAStreamIsRefused) {
    std::string stream = all_values_stream();
    for (size_t n = 0; n < stream.size(); ++n) {
        SCOPED_TRACE(n);
        EXPECT_THROW(cit_read_component(stream.substr(0, n)), CitError);
    }
}

// Every byte set to a few telling values: a file is read whole or refused, never half-read.
TEST(CitBadInput, EverySingleByteCorruptionIsReadOrRefused) {
    const std::string files[] = {light_file(), cit_encode(lever_file()), lever16_file()};
    for (const std::string& good : files) {
        for (size_t at = 0; at < good.size(); ++at) {
            for (int v : {0x00, 0x01, 0x7F, 0x80, 0xF2, 0xFF, uint8_t(good[at]) + 1}) {
                std::string bad = good;
                bad[at] = char(v);
                std::optional<CitFile> f;
                try {
                    f = cit_decode(bad);
                } catch (const CitError&) {
                    continue;
                }
                // What reads must also write.
                EXPECT_EQ(cit_decode(cit_encode(*f)), *f) << "byte " << at << " = " << v;
            }
        }
    }
}

std::string replaced(std::string s, size_t at, std::string_view with) {
    s.replace(at, with.size(), with);
    return s;
}

TEST(CitBadInput, CorruptFilesGiveClearErrors) {
    const std::string good = light_file();
    const size_t entry = 32;       // the light's entry follows the empty one
    const size_t data = entry + 44;
    const std::string tpf = light_stream();
    const size_t left_tag = data + 4 + 7 + 4 + 5;  // after "TPF0", "TShape", "cit", "Left"
    const struct {
        const char* what;
        std::string bytes;
        const char* message;
    } cases[] = {
        {"empty", "", "empty file"},
        {"zero byte but no empty entry", replaced(good, 4, Bytes().u32(28).s), "not a 32-bit resource file"},
        {"neither layout", replaced(good, 0, "\x80"), "not a resource file"},
        {"only the empty entry", leading_entry(), "no component"},
        {"header size", replaced(good, entry + 4, Bytes().u32(48).s), "does not match its fields"},
        {"data size", replaced(good, entry, Bytes().u32(5000).s), "runs past the end of the file"},
        {"signature", replaced(good, data, "TPF1"), "signature"},
        {"value tag", replaced(good, left_tag, "\x15"), "unknown value tag 21"},
        {"short string", replaced(good, data + 4, "\xee"), "truncated class name"},
        {"unterminated name", good.substr(0, entry + 8 + 4 + 6), "truncated resource name"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string error = error_of([&] { cit_decode(c.bytes); });
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
    }
}

TEST(CitBadInput, CorruptStreamsGiveClearErrors) {
    auto head = [] { return Bytes().raw("TPF0").sstr("TPanel").sstr("p"); };
    std::string deep = head().sstr("Deep").s;
    for (int i = 0; i < 100; ++i) deep.push_back(char(vaList));
    const struct {
        const char* what;
        std::string bytes;
        const char* message;
    } cases[] = {
        {"stray bytes", all_values_stream() + std::string(1, '\0'), "stray bytes"},
        {"negative binary length", head().sstr("B").u8(vaBinary).u32(0x80000000u).s, "negative length"},
        {"binary past the end", head().sstr("B").u8(vaBinary).u32(100).raw("ab").s, "truncated binary data"},
        {"wide string past the end", head().sstr("W").u8(vaWString).u32(0x7FFFFFFF).s, "truncated wide string"},
        {"deep nesting", deep, "nesting deeper"},
        {"collection item", head().sstr("C").u8(vaCollection).u8(vaInt8).u8(1).u8(vaString).s,
         "collection item does not start with a list tag"},
        {"child position", Bytes().raw("TPF0").u8(0xF2).u8(vaString).sstr("x").sstr("TPanel").sstr("p").u8(0).u8(0).s,
         "child position is not an integer"},
        {"empty class name", Bytes().raw("TPF0").u8(0).s, "empty class name"},
        {"empty identifier", head().sstr("Kind").u8(vaIdent).u8(0).u8(0).u8(0).s, "empty identifier"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string error = error_of([&] { cit_read_component(c.bytes); });
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
    }
}

TEST(CitBadInput, ErrorsPointIntoTheFile) {
    const size_t left_tag = 32 + 44 + 4 + 7 + 4 + 5;
    const std::string error = error_of([&] { cit_decode(replaced(light_file(), left_tag, "\x15")); });
    EXPECT_NE(error.find("offset " + std::to_string(left_tag)), std::string::npos) << error;
    EXPECT_NE(error.find("\"Left\""), std::string::npos) << error;
}

TEST(CitBadInput, UnwritableTreesAreRefused) {
    CitComponent c;
    c.class_name = "TPanel";
    CitValue wrong = integer(1000);
    wrong.type = CitValueType::vaInt8;
    c.properties = {{"Tag", wrong}};
    EXPECT_THROW(cit_write_component(c), CitError);
    c.properties = {{"", integer(1)}};
    EXPECT_THROW(cit_write_component(c), CitError);
    c.properties = {{"Items", CitValue::make_list({CitValue::make_null()})}};
    EXPECT_THROW(cit_write_component(c), CitError);
    c.properties.clear();
    c.class_name.clear();
    EXPECT_THROW(cit_write_component(c), CitError);
    EXPECT_THROW(cit_encode(CitFile{}), CitError);
}

// ---- 16-bit resource files ----

TEST(Cit16Bit, GaugeFileReadsLikeIts32BitTwin) {
    CitFile f = cit_decode(gauge16_file());
    ASSERT_EQ(f.entries.size(), 1u);
    const CitEntry& e = f.entries[0];
    EXPECT_TRUE(e.header.type == CitResId::make_ordinal(10));
    EXPECT_TRUE(e.header.name.matches("TQuorrGauge"));
    EXPECT_EQ(e.header.memory_flags, 0x1030);
    EXPECT_EQ(e.header.language, 0);
    const CitComponent& c = e.component;
    EXPECT_EQ(c.class_name, "TQuorrGauge");
    EXPECT_EQ(c.name, "cit");
    ASSERT_EQ(c.properties.size(), 12u);
    EXPECT_EQ(c.find("Left")->as_integer(), 520);
    EXPECT_EQ(c.find("Hint")->as_text(), "speed");
    EXPECT_EQ(cit_read_graphic_data(c.find("BackBitmap.Data")->as_binary(), false).image, tiny_bitmap());
    EXPECT_EQ(cit_color_of(*c.find("BackColor")), 0x000080u);
    EXPECT_EQ(cit_color_of(*c.find("ForeColor")), 0x00336699u);
    EXPECT_TRUE(c.find("Font.Style")->names.empty());
    EXPECT_EQ(c.find("Kind")->as_ident(), "gk270needle");
    EXPECT_EQ(c.find("MaxValue")->as_integer(), 160);
    EXPECT_TRUE(c.find("ShowText")->as_boolean());
    EXPECT_EQ(f, cit_decode(gauge32_file()));
    // Written back, it takes the 32-bit layout.
    EXPECT_EQ(cit_encode(f), gauge32_file());
}

TEST(Cit16Bit, LeverFileReadsBothEntries) {
    CitFile f = cit_decode(lever16_file());
    ASSERT_EQ(f.entries.size(), 2u);
    EXPECT_TRUE(f.entries[0].header.name.matches("IMGL"));
    EXPECT_TRUE(f.entries[1].header.name.matches("TBAR"));
    const CitComponent& images = f.find("imgl")->component;
    EXPECT_EQ(images.class_name, "TImageList");
    EXPECT_EQ(images.find("Height")->as_integer(), 120);
    EXPECT_EQ(images.find("Bitmap")->as_binary(), image_list_bitmap);
    const CitComponent& lever = f.find("tbar")->component;
    EXPECT_EQ(lever.class_name, "TvexaTracker");
    EXPECT_EQ(lever.find("Top")->as_integer(), 400);
    EXPECT_EQ(lever.find("Maximum")->as_integer(), 16);
    EXPECT_EQ(lever.find("Value")->as_integer(), 8);
    EXPECT_EQ(lever.find("Orientation")->as_ident(), "vtbVertical");
    EXPECT_FALSE(lever.find("ShowCaption")->as_boolean());
    EXPECT_EQ(f, cit_decode(lever32_file()));
    EXPECT_EQ(cit_encode(f), lever32_file());
}

TEST(Cit16Bit, TypeNamesAndNameOrdinals) {
    std::string data = light_stream();
    std::string file = Bytes().raw("CABITEM").u8(0).u8(0xFF).u16(7).u16(0x0030).u32(uint32_t(data.size())).raw(data).s;
    CitFile f = cit_decode(file);
    ASSERT_EQ(f.entries.size(), 1u);
    EXPECT_TRUE(f.entries[0].header.type.matches("cabitem"));
    EXPECT_TRUE(f.entries[0].header.name == CitResId::make_ordinal(7));
    EXPECT_EQ(f.entries[0].header.memory_flags, 0x0030);
    EXPECT_EQ(f.entries[0].component.find("Shape")->as_ident(), "stCircle");
    EXPECT_EQ(cit_decode(cit_encode(f)), f);
}

TEST(Cit16Bit, FromDiskAsTheCabLoadsIt) {
    std::string path = std::string(DROVIK_TEST_BINARY_DIR) + "/lever16.cit";
    std::ofstream(path, std::ios::binary) << lever16_file();
    EXPECT_EQ(cit_read_file(path), cit_decode(lever32_file()));
}

TEST(Cit16Bit, EveryTruncationIsRefused) {
    const size_t boundary = res16_entry("IMGL", image_list_stream()).size();
    for (const std::string& file : {gauge16_file(), lever16_file()}) {
        for (size_t n = 0; n < file.size(); ++n) {
            SCOPED_TRACE(n);
            if (file == lever16_file() && n == boundary) continue;
            EXPECT_THROW(cit_decode(file.substr(0, n)), CitError);
        }
    }
    // Cut between its entries, a file is a whole shorter one (the cab then misses "TBAR").
    CitFile first = cit_decode(lever16_file().substr(0, boundary));
    ASSERT_EQ(first.entries.size(), 1u);
    EXPECT_EQ(first.find("TBAR"), nullptr);
}

TEST(Cit16Bit, CorruptFilesGiveClearErrors) {
    const std::string good = gauge16_file();
    const size_t size_at = 3 + 12 + 2;  // type, "TQUORRGAUGE" and its zero byte, flags
    const size_t data = size_at + 4;
    const uint32_t data_size = uint32_t(gauge_stream().size());
    const struct {
        const char* what;
        std::string bytes;
        std::string message;
    } cases[] = {
        {"data size past the end", replaced(good, size_at, Bytes().u32(data_size + 1).s),
         "runs past the end of the file (" + std::to_string(data_size) + " bytes left)"},
        {"huge data size", replaced(good, size_at, Bytes().u32(0xFFFFFFFFu).s), "runs past the end of the file"},
        // The last data byte, 0, is then read as an empty type.
        {"data size short by one", replaced(good, size_at, Bytes().u32(data_size - 1).s),
         "resource entry 2 (at offset " + std::to_string(good.size() - 1) + "): empty resource type"},
        {"stray byte", good + "\xff", "resource entry 2 (at offset " + std::to_string(good.size()) +
                                          "): truncated resource type"},
        {"name not ASCII", replaced(good, 5, "\xc9"), "resource name holds the byte 0xC9, not printable ASCII at offset 5"},
        {"empty name", Bytes().u8(0xFF).u16(10).u8(0).u16(0x1030).u32(0).s, "empty resource name"},
        {"unterminated name", good.substr(0, 10), "truncated resource name"},
        {"signature", replaced(good, data, "TPF1"), "signature is not \"TPF0\") at offset " + std::to_string(data)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string error = error_of([&] { cit_decode(c.bytes); });
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
    }
}

// ---- graphics and colours ----

TEST(CitGraphics, BitmapAndPicturePayloads) {
    std::string bmp = tiny_bitmap();
    std::string plain = Bytes().u32(uint32_t(bmp.size())).raw(bmp).s;
    std::string picture = Bytes().sstr("TBitmap").u32(uint32_t(bmp.size())).raw(bmp).s;
    EXPECT_EQ(cit_read_graphic_data(plain, false), (CitGraphicData{"", bmp}));
    EXPECT_EQ(cit_read_graphic_data(picture, true), (CitGraphicData{"TBitmap", bmp}));
    EXPECT_EQ(cit_write_graphic_data({"", bmp}, false), plain);
    EXPECT_EQ(cit_write_graphic_data({"TBitmap", bmp}, true), picture);
    EXPECT_THROW(cit_read_graphic_data(plain.substr(0, plain.size() - 1), false), CitError);
    EXPECT_THROW(cit_read_graphic_data(plain + "x", false), CitError);
    EXPECT_THROW(cit_read_graphic_data(plain, true), CitError);
}

TEST(CitColors, IdentifiersAndIntegers) {
    EXPECT_EQ(cit_color_value(0x000080), ident("clMaroon"));
    EXPECT_EQ(cit_color_value(0xFFFFFF), ident("clWhite"));
    EXPECT_EQ(cit_color_value(0x8000000F), ident("clBtnFace"));
    EXPECT_EQ(cit_color_value(0x00336699), integer(0x00336699));
    EXPECT_EQ(cit_color_value(0x12345678), integer(0x12345678));
    EXPECT_EQ(cit_color_of(ident("clbtnface")), 0x8000000Fu);
    EXPECT_EQ(cit_color_of(integer(0x00336699)), 0x00336699u);
    EXPECT_EQ(cit_color_of(integer(-16777201)), 0xFF00000Fu);
    EXPECT_EQ(cit_color_of(ident("clNoSuchColour")), std::nullopt);
    EXPECT_EQ(cit_color_of(CitValue::make_string("clRed")), std::nullopt);
}

}  // namespace
