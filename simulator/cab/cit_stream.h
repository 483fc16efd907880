// Cab item files (".cit"): resource container of "TPF0" streamed components.
//
// A cab item file is a Windows resource file. In the 32-bit layout it starts with one empty entry
// (data size 0, header size 32, type and name both ordinal 0) that marks the 32-bit layout;
// every further entry holds one control streamed as a component. Entry layout, all fields
// little-endian:
//   u32 data size, u32 header size (from the start of the entry to the start of the data),
//   type, name: each either 0xFFFF followed by a u16 ordinal, or a UTF-16 string ending in
//               a zero unit,
//   padding to a 4-byte boundary (from the start of the entry),
//   u32 data version, u16 memory flags, u16 language, u32 version, u32 characteristics,
//   data, padding to a 4-byte boundary.
// Cab item entries have type RT_RCDATA (ordinal 10) and an upper-case name ("TBAR", "IMGL",
// or the control's class name such as "TQUORRGAUGE").
//
// Files made by the original tools may use the older 16-bit resource layout instead: no
// leading empty entry and no padding; each entry is
//   type, name: each either 0xFF followed by a u16 ordinal, or printable ASCII bytes ending
//               in a zero byte,
//   u16 memory flags, u32 data size, data.
// The first byte tells the layouts apart: 0 (the empty entry's data size) for the 32-bit
// layout, 0xFF or a name character for the 16-bit one. Both are read; files are always
// written in the 32-bit layout. Entries read from a 16-bit file have data version,
// language, version and characteristics 0.
//
// The data of an entry is a component stream: "TPF0", then one component:
//   [prefix: a byte 0xF0 | filer flags (inherited 1, child position 2, inline 4); with the
//    child position flag an integer value follows],
//   class name and component name as short strings (a length byte, then the bytes),
//   properties: a short-string name then a tagged value, until an empty name (a 0 byte),
//   children: components as above, until a 0 byte.
// Property names of nested objects are dotted ("Font.Color", "Glyph.Data").
// A value is a tag byte followed by its data (see CitValueType). Colours stream as an
// identifier ("clMaroon") when the colour has a name and as an integer otherwise; sets as
// the names of their members. Graphics stream as binary "Data": a bitmap property holds a
// u32 size then the bitmap file; a picture property holds the graphic's class name as a
// short string first. An image list streams its images as the binary "Bitmap" property in
// the image list's own format, kept here as raw bytes.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// A malformed cab item file or a tree that cannot be streamed; the message says what is wrong.
class CitError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Value tags of the component stream.
enum class CitValueType : uint8_t {
    vaNull = 0,        // end of a list; no data
    vaList = 1,        // values until vaNull
    vaInt8 = 2,        // i8
    vaInt16 = 3,       // i16
    vaInt32 = 4,       // i32
    vaExtended = 5,    // 10-byte x87 extended float
    vaString = 6,      // u8 length, bytes
    vaIdent = 7,       // u8 length, bytes
    vaFalse = 8,       // no data
    vaTrue = 9,        // no data
    vaBinary = 10,     // u32 length, bytes
    vaSet = 11,        // short strings until an empty one
    vaLString = 12,    // u32 length, bytes
    vaNil = 13,        // no data
    vaCollection = 14, // items ([integer order] vaList properties vaNull) until vaNull
    vaSingle = 15,     // 4-byte float
    vaCurrency = 16,   // i64 in units of 1/10000
    vaDate = 17,       // 8-byte double, days since 1899-12-30
    vaWString = 18,    // u32 length in UTF-16 units, the units
    vaInt64 = 19,      // i64
    vaUTF8String = 20, // u32 length, bytes
};
const char* cit_value_type_name(CitValueType type);

// A 10-byte x87 extended float as stored: 64-bit mantissa with explicit integer bit,
// then sign and 15-bit exponent (bias 16383). Kept as bytes so it round-trips exactly.
struct CitExtended {
    std::array<uint8_t, 10> bytes{};
    // Exact whenever the value is representable as a double, else rounded to nearest.
    double to_double() const;
    // Always exact.
    static CitExtended from_double(double value);
    bool operator==(const CitExtended&) const = default;
};

struct CitProperty;
struct CitCollectionItem;

// One tagged value. Only the fields of its type are meaningful.
struct CitValue {
    CitValueType type = CitValueType::vaNull;
    int64_t integer = 0;               // vaInt8/16/32/64; vaCurrency in units of 1/10000
    double real = 0.0;                 // vaSingle, vaDate
    CitExtended extended;              // vaExtended
    std::string bytes;                 // vaString, vaIdent, vaLString, vaUTF8String, vaBinary
    std::u16string wide;               // vaWString
    std::vector<std::string> names;    // vaSet members
    std::vector<CitValue> items;       // vaList
    std::vector<CitCollectionItem> collection;

    // Integers take the smallest tag that holds them (vaInt8, vaInt16, vaInt32, vaInt64).
    static CitValue make_integer(int64_t value);
    static CitValue make_int64(int64_t value);
    static CitValue make_boolean(bool value);
    static CitValue make_ident(std::string_view name);
    // vaString up to 255 bytes, vaLString beyond.
    static CitValue make_string(std::string_view text);
    static CitValue make_lstring(std::string_view text);
    static CitValue make_utf8(std::string_view text);
    static CitValue make_wstring(std::u16string_view text);
    static CitValue make_binary(std::string_view data);
    static CitValue make_set(std::vector<std::string> members);
    static CitValue make_extended(double value);
    static CitValue make_single(float value);
    static CitValue make_currency(int64_t ten_thousandths);
    static CitValue make_date(double days);
    static CitValue make_nil();
    static CitValue make_null();
    static CitValue make_list(std::vector<CitValue> values);
    static CitValue make_collection(std::vector<CitCollectionItem> items);

    bool is_integer() const;
    bool is_boolean() const;
    // vaString, vaLString or vaUTF8String.
    bool is_text() const;
    // Throw CitError naming the expected kind when the value is of another type.
    int64_t as_integer() const;
    bool as_boolean() const;
    const std::string& as_text() const;
    const std::string& as_ident() const;
    const std::string& as_binary() const;
    // Integers, vaSingle, vaExtended, vaCurrency and vaDate as a double.
    double as_number() const;

    bool operator==(const CitValue&) const;
};

struct CitProperty {
    std::string name;
    CitValue value;
    bool operator==(const CitProperty&) const = default;
};

struct CitCollectionItem {
    CitValue order;  // vaNull when the item carries no order value, else an integer
    std::vector<CitProperty> properties;
    bool operator==(const CitCollectionItem&) const = default;
};

// A streamed component: class, name, properties in stream order, owned components.
struct CitComponent {
    std::optional<uint8_t> filer_flags;  // low nibble of the prefix byte, when there is one
    CitValue child_pos;                  // the child position when filer flag 2 is set
    std::string class_name;
    std::string name;
    std::vector<CitProperty> properties;
    std::vector<CitComponent> children;

    // Property names compare without regard to case. nullptr when absent.
    const CitValue* find(std::string_view property) const;
    // Replaces the value of an existing property or appends a new one.
    void set(std::string_view property, CitValue value);
    bool operator==(const CitComponent&) const = default;
};

// Component stream "TPF0". Reading throws CitError; offsets in its messages count from
// base_offset (the position of the stream in its file).
CitComponent cit_read_component(std::string_view stream, size_t base_offset = 0);
std::string cit_write_component(const CitComponent& component);

// Resource identifiers and headers of the container.
struct CitResId {
    bool is_ordinal = true;
    uint16_t ordinal = 0;
    std::u16string name;
    static CitResId make_ordinal(uint16_t value);
    // ASCII names are stored upper case, as the resource compiler does.
    static CitResId make_name(std::string_view ascii);
    // Names compare without regard to ASCII case.
    bool matches(std::string_view ascii) const;
    bool operator==(const CitResId&) const = default;
};

constexpr uint16_t cit_rt_rcdata = 10;
constexpr uint16_t cit_default_memory_flags = 0x1030;  // moveable, pure, discardable

struct CitResourceHeader {
    CitResId type = CitResId::make_ordinal(cit_rt_rcdata);
    CitResId name;
    uint32_t data_version = 0;
    uint16_t memory_flags = cit_default_memory_flags;
    uint16_t language = 0;
    uint32_t version = 0;
    uint32_t characteristics = 0;
    bool operator==(const CitResourceHeader&) const = default;
};

struct CitResource {
    CitResourceHeader header;
    std::string data;
    bool operator==(const CitResource&) const = default;
};

// The entries of a 16-bit file, or of a 32-bit file after its leading empty one.
std::vector<CitResource> cit_read_resources(std::string_view file);
// Writes the 32-bit layout.
std::string cit_write_resources(const std::vector<CitResource>& resources);

// A cab item file: one component per entry.
struct CitEntry {
    CitResourceHeader header;
    CitComponent component;
    bool operator==(const CitEntry&) const = default;
};

struct CitFile {
    std::vector<CitEntry> entries;
    // The entry of that resource name (without regard to case); nullptr when absent.
    const CitEntry* find(std::string_view name) const;
    // Appends an RT_RCDATA entry named name.
    void add(std::string_view name, CitComponent component);
    bool operator==(const CitFile&) const = default;
};

CitFile cit_decode(std::string_view file);
std::string cit_encode(const CitFile& file);
// Reads a whole file; on any failure throws CitError naming the path and the fault.
CitFile cit_read_file(const std::string& path);
// Writes a temporary file beside path and renames it over path; throws CitError on failure,
// leaving an existing file at path as it was.
void cit_write_file(const std::string& path, const CitFile& file);

// Graphic "Data" property payloads. A bitmap's payload is a u32 size then the bitmap file;
// a picture's payload has the graphic class name as a short string in front.
struct CitGraphicData {
    std::string class_name;  // empty for a bitmap property
    std::string image;       // the image file ("BM..." for a bitmap)
    bool operator==(const CitGraphicData&) const = default;
};
CitGraphicData cit_read_graphic_data(std::string_view payload, bool with_class_name);
std::string cit_write_graphic_data(const CitGraphicData& graphic, bool with_class_name);

// Colours (Windows 0x00BBGGRR, system colours 0x80000000 | index) and their identifiers.
std::optional<uint32_t> cit_color_from_ident(std::string_view ident);
// The colour of an identifier or integer value; nullopt for any other value.
std::optional<uint32_t> cit_color_of(const CitValue& value);
// An identifier when the colour has a name, else an integer.
CitValue cit_color_value(uint32_t color);
