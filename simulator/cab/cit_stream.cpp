// Cab item files (".cit"): reading and writing the resource container and component streams.
#include "cab/cit_stream.h"

#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

#include "platform/safe_write.h"

namespace {

// Nesting of components, lists and collections; deeper streams are refused, not recursed.
constexpr int max_depth = 64;
// The fixed end of an entry header: data version, memory flags, language, version,
// characteristics.
constexpr uint32_t fixed_header_tail = 16;

std::string offset_text(size_t offset) { return "offset " + std::to_string(offset); }

bool ascii_iequal(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = char(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = char(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

// Bounds-checked little-endian reading; every failure names what was being read and where.
class ByteReader {
public:
    ByteReader(std::string_view data, size_t base) : data_(data), base_(base) {}

    size_t offset() const { return base_ + pos_; }
    size_t left() const { return data_.size() - pos_; }
    bool at_end() const { return pos_ == data_.size(); }

    [[noreturn]] void fail(const std::string& what) const {
        throw CitError(what + " at " + offset_text(offset()));
    }
    [[noreturn]] void fail_at(size_t where, const std::string& what) const {
        throw CitError(what + " at " + offset_text(base_ + where));
    }

    std::string_view take(size_t count, const char* what) {
        if (count > left())
            fail(std::string("truncated ") + what + ": needs " + std::to_string(count) +
                 " bytes, " + std::to_string(left()) + " left");
        std::string_view out = data_.substr(pos_, count);
        pos_ += count;
        return out;
    }
    uint8_t peek(const char* what) const {
        if (left() < 1) fail(std::string("truncated ") + what + ": stream ends");
        return uint8_t(data_[pos_]);
    }
    uint64_t unsigned_le(size_t count, const char* what) {
        std::string_view b = take(count, what);
        uint64_t v = 0;
        for (size_t i = count; i-- > 0;) v = (v << 8) | uint8_t(b[i]);
        return v;
    }
    uint8_t u8(const char* what) { return uint8_t(unsigned_le(1, what)); }
    uint16_t u16(const char* what) { return uint16_t(unsigned_le(2, what)); }
    uint32_t u32(const char* what) { return uint32_t(unsigned_le(4, what)); }
    uint64_t u64(const char* what) { return unsigned_le(8, what); }
    std::string short_string(const char* what) {
        uint8_t length = u8(what);
        return std::string(take(length, what));
    }
    size_t pos() const { return pos_; }

private:
    std::string_view data_;
    size_t base_;
    size_t pos_ = 0;
};

void put_le(std::string& out, uint64_t value, size_t count) {
    for (size_t i = 0; i < count; ++i) out.push_back(char((value >> (8 * i)) & 0xFF));
}
void put_u8(std::string& out, uint8_t v) { put_le(out, v, 1); }
void put_u16(std::string& out, uint16_t v) { put_le(out, v, 2); }
void put_u32(std::string& out, uint32_t v) { put_le(out, v, 4); }

void put_short_string(std::string& out, std::string_view text, const char* what) {
    if (text.size() > 255)
        throw CitError(std::string(what) + " \"" + std::string(text.substr(0, 40)) +
                       "...\" is longer than 255 bytes");
    put_u8(out, uint8_t(text.size()));
    out.append(text);
}

void put_long_length(std::string& out, size_t length, const char* what) {
    if (length > uint32_t(std::numeric_limits<int32_t>::max()))
        throw CitError(std::string(what) + " is too long to stream");
    put_u32(out, uint32_t(length));
}

// ---- component stream reading ----

class StreamReader {
public:
    StreamReader(std::string_view stream, size_t base) : in_(stream, base) {}

    CitComponent read_root() {
        std::string_view signature = in_.take(4, "signature");
        if (signature != "TPF0")
            in_.fail_at(in_.pos() - 4, "not a component stream (signature is not \"TPF0\")");
        CitComponent root = read_component(0);
        if (!in_.at_end())
            in_.fail(std::to_string(in_.left()) + " stray bytes after the end of the component");
        return root;
    }

private:
    ByteReader in_;

    void check_depth(int depth) const {
        if (depth > max_depth) in_.fail("nesting deeper than " + std::to_string(max_depth));
    }

    // The list end of properties, children, lists and collections is a zero byte.
    bool end_of_list(const char* what) { return in_.peek(what) == 0; }

    CitComponent read_component(int depth) {
        check_depth(depth);
        CitComponent c;
        uint8_t first = in_.peek("component");
        if ((first & 0xF0) == 0xF0) {
            in_.u8("filer flags");
            c.filer_flags = uint8_t(first & 0x0F);
            if (first & 0x02) {
                size_t at = in_.pos();
                c.child_pos = read_value(depth + 1);
                if (!c.child_pos.is_integer()) in_.fail_at(at, "child position is not an integer");
            }
        }
        c.class_name = in_.short_string("class name");
        if (c.class_name.empty()) in_.fail("empty class name");
        c.name = in_.short_string("component name");
        while (!end_of_list("property list")) c.properties.push_back(read_property(depth));
        in_.u8("property list end");
        while (!end_of_list("list of owned components")) c.children.push_back(read_component(depth + 1));
        in_.u8("owned component list end");
        return c;
    }

    CitProperty read_property(int depth) {
        CitProperty p;
        p.name = in_.short_string("property name");
        size_t at = in_.offset();
        try {
            p.value = read_value(depth + 1);
        } catch (const CitError& e) {
            throw CitError(std::string(e.what()) + " (value of property \"" + p.name + "\" at " +
                           offset_text(at) + ")");
        }
        return p;
    }

    CitValue read_value(int depth) {
        check_depth(depth);
        size_t tag_at = in_.pos();
        uint8_t tag = in_.u8("value tag");
        CitValue v;
        v.type = CitValueType(tag);
        switch (v.type) {
        case CitValueType::vaNull:
        case CitValueType::vaFalse:
        case CitValueType::vaTrue:
        case CitValueType::vaNil:
            break;
        case CitValueType::vaList:
            while (!end_of_list("list")) v.items.push_back(read_value(depth + 1));
            in_.u8("list end");
            break;
        case CitValueType::vaInt8: v.integer = int8_t(in_.u8("8-bit integer")); break;
        case CitValueType::vaInt16: v.integer = int16_t(in_.u16("16-bit integer")); break;
        case CitValueType::vaInt32: v.integer = int32_t(in_.u32("32-bit integer")); break;
        case CitValueType::vaInt64: v.integer = int64_t(in_.u64("64-bit integer")); break;
        case CitValueType::vaCurrency: v.integer = int64_t(in_.u64("currency")); break;
        case CitValueType::vaExtended: {
            std::string_view b = in_.take(10, "extended float");
            std::memcpy(v.extended.bytes.data(), b.data(), 10);
            break;
        }
        case CitValueType::vaSingle:
            v.real = std::bit_cast<float>(in_.u32("single float"));
            break;
        case CitValueType::vaDate: v.real = std::bit_cast<double>(in_.u64("date")); break;
        case CitValueType::vaString: v.bytes = in_.short_string("string"); break;
        case CitValueType::vaIdent:
            v.bytes = in_.short_string("identifier");
            if (v.bytes.empty()) in_.fail_at(tag_at, "empty identifier");
            break;
        case CitValueType::vaBinary: v.bytes = long_bytes("binary data"); break;
        case CitValueType::vaLString: v.bytes = long_bytes("long string"); break;
        case CitValueType::vaUTF8String: v.bytes = long_bytes("UTF-8 string"); break;
        case CitValueType::vaWString: {
            uint32_t units = read_length("wide string");
            std::string_view b = in_.take(size_t(units) * 2, "wide string");
            v.wide.resize(units);
            for (uint32_t i = 0; i < units; ++i)
                v.wide[i] = char16_t(uint8_t(b[2 * i]) | (uint8_t(b[2 * i + 1]) << 8));
            break;
        }
        case CitValueType::vaSet:
            for (;;) {
                std::string member = in_.short_string("set member");
                if (member.empty()) break;
                v.names.push_back(std::move(member));
            }
            break;
        case CitValueType::vaCollection:
            while (!end_of_list("collection")) v.collection.push_back(read_collection_item(depth + 1));
            in_.u8("collection end");
            break;
        default:
            in_.fail_at(tag_at, "unknown value tag " + std::to_string(tag));
        }
        return v;
    }

    CitCollectionItem read_collection_item(int depth) {
        check_depth(depth);
        CitCollectionItem item;
        uint8_t next = in_.peek("collection item");
        if (next == uint8_t(CitValueType::vaInt8) || next == uint8_t(CitValueType::vaInt16) ||
            next == uint8_t(CitValueType::vaInt32))
            item.order = read_value(depth + 1);
        size_t at = in_.pos();
        if (in_.u8("collection item start") != uint8_t(CitValueType::vaList))
            in_.fail_at(at, "collection item does not start with a list tag");
        while (!end_of_list("collection item")) item.properties.push_back(read_property(depth));
        in_.u8("collection item end");
        return item;
    }

    uint32_t read_length(const char* what) {
        size_t at = in_.pos();
        uint32_t length = in_.u32(what);
        if (length > uint32_t(std::numeric_limits<int32_t>::max()))
            in_.fail_at(at, std::string("negative length of ") + what);
        return length;
    }

    std::string long_bytes(const char* what) {
        uint32_t length = read_length(what);
        return std::string(in_.take(length, what));
    }
};

// ---- component stream writing ----

void write_value(std::string& out, const CitValue& v, int depth);

void write_properties(std::string& out, const std::vector<CitProperty>& properties, int depth) {
    for (const CitProperty& p : properties) {
        if (p.name.empty()) throw CitError("property with an empty name");
        put_short_string(out, p.name, "property name");
        try {
            write_value(out, p.value, depth + 1);
        } catch (const CitError& e) {
            throw CitError(std::string(e.what()) + " (property \"" + p.name + "\")");
        }
    }
    put_u8(out, 0);
}

void check_integer_range(const CitValue& v, int64_t lo, int64_t hi) {
    if (v.integer < lo || v.integer > hi)
        throw CitError(std::to_string(v.integer) + " does not fit a " +
                       cit_value_type_name(v.type) + " value");
}

void write_value(std::string& out, const CitValue& v, int depth) {
    if (depth > max_depth) throw CitError("nesting deeper than " + std::to_string(max_depth));
    put_u8(out, uint8_t(v.type));
    switch (v.type) {
    case CitValueType::vaNull:
    case CitValueType::vaFalse:
    case CitValueType::vaTrue:
    case CitValueType::vaNil:
        break;
    case CitValueType::vaList:
        for (const CitValue& item : v.items) {
            if (item.type == CitValueType::vaNull)
                throw CitError("a list cannot hold a vaNull value (it would end the list)");
            write_value(out, item, depth + 1);
        }
        put_u8(out, 0);
        break;
    case CitValueType::vaInt8:
        check_integer_range(v, INT8_MIN, INT8_MAX);
        put_le(out, uint64_t(v.integer), 1);
        break;
    case CitValueType::vaInt16:
        check_integer_range(v, INT16_MIN, INT16_MAX);
        put_le(out, uint64_t(v.integer), 2);
        break;
    case CitValueType::vaInt32:
        check_integer_range(v, INT32_MIN, INT32_MAX);
        put_le(out, uint64_t(v.integer), 4);
        break;
    case CitValueType::vaInt64:
    case CitValueType::vaCurrency:
        put_le(out, uint64_t(v.integer), 8);
        break;
    case CitValueType::vaExtended:
        out.append(reinterpret_cast<const char*>(v.extended.bytes.data()), 10);
        break;
    case CitValueType::vaSingle:
        put_le(out, std::bit_cast<uint32_t>(float(v.real)), 4);
        break;
    case CitValueType::vaDate: put_le(out, std::bit_cast<uint64_t>(v.real), 8); break;
    case CitValueType::vaString: put_short_string(out, v.bytes, "string"); break;
    case CitValueType::vaIdent:
        if (v.bytes.empty()) throw CitError("empty identifier");
        put_short_string(out, v.bytes, "identifier");
        break;
    case CitValueType::vaBinary:
    case CitValueType::vaLString:
    case CitValueType::vaUTF8String:
        put_long_length(out, v.bytes.size(), cit_value_type_name(v.type));
        out.append(v.bytes);
        break;
    case CitValueType::vaWString:
        put_long_length(out, v.wide.size(), "wide string");
        for (char16_t unit : v.wide) put_u16(out, uint16_t(unit));
        break;
    case CitValueType::vaSet:
        for (const std::string& member : v.names) {
            if (member.empty()) throw CitError("empty set member name");
            put_short_string(out, member, "set member");
        }
        put_u8(out, 0);
        break;
    case CitValueType::vaCollection:
        for (const CitCollectionItem& item : v.collection) {
            if (item.order.type != CitValueType::vaNull) {
                if (item.order.type != CitValueType::vaInt8 &&
                    item.order.type != CitValueType::vaInt16 &&
                    item.order.type != CitValueType::vaInt32)
                    throw CitError("collection item order is not an 8, 16 or 32-bit integer");
                write_value(out, item.order, depth + 1);
            }
            put_u8(out, uint8_t(CitValueType::vaList));
            write_properties(out, item.properties, depth + 1);
        }
        put_u8(out, 0);
        break;
    default:
        throw CitError("unknown value tag " + std::to_string(int(v.type)));
    }
}

void write_component(std::string& out, const CitComponent& c, int depth) {
    if (depth > max_depth) throw CitError("nesting deeper than " + std::to_string(max_depth));
    if (c.filer_flags) {
        if (*c.filer_flags > 0x0F) throw CitError("filer flags above 15");
        put_u8(out, uint8_t(0xF0 | *c.filer_flags));
        if (*c.filer_flags & 0x02) {
            if (!c.child_pos.is_integer()) throw CitError("child position is not an integer");
            write_value(out, c.child_pos, depth + 1);
        }
    }
    if (c.class_name.empty()) throw CitError("component without a class name");
    put_short_string(out, c.class_name, "class name");
    put_short_string(out, c.name, "component name");
    write_properties(out, c.properties, depth);
    for (const CitComponent& child : c.children) write_component(out, child, depth + 1);
    put_u8(out, 0);
}

// ---- resource container ----

const CitResourceHeader empty_header{CitResId::make_ordinal(0), CitResId::make_ordinal(0), 0, 0, 0, 0, 0};

size_t pad4(size_t n) { return (4 - n % 4) % 4; }

// The bytes a name of the 16-bit layout may hold: printable ASCII.
bool is_res16_name_byte(uint8_t byte) { return byte >= 0x20 && byte <= 0x7E; }

// The size of a resource type's or name's units: 16-bit characters in the 32-bit layout, bytes in
// the 16-bit layout.
constexpr size_t res32_id_unit = 2;
constexpr size_t res16_id_unit = 1;

// A resource type or name of either layout: a unit of all ones and a 16-bit ordinal, or the
// name's units up to a zero one. A name of the 16-bit layout holds printable ASCII only.
CitResId read_res_id(ByteReader& in, const char* what, size_t unit_size) {
    const uint64_t ordinal_mark = (uint64_t(1) << (8 * unit_size)) - 1;
    CitResId id;
    uint64_t first = in.unsigned_le(unit_size, what);
    if (first == ordinal_mark) {
        id.is_ordinal = true;
        id.ordinal = in.u16(what);
        return id;
    }
    if (first == 0) in.fail(std::string("empty ") + what);
    id.is_ordinal = false;
    for (uint64_t unit = first; unit != 0; unit = in.unsigned_le(unit_size, what)) {
        if (unit_size == res16_id_unit && !is_res16_name_byte(uint8_t(unit))) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "0x%02X", unsigned(unit));
            in.fail_at(in.pos() - 1, std::string(what) + " holds the byte " + hex + ", not printable ASCII");
        }
        id.name.push_back(char16_t(unit));
    }
    return id;
}

void write_res_id(std::string& out, const CitResId& id) {
    if (id.is_ordinal) {
        put_u16(out, 0xFFFF);
        put_u16(out, id.ordinal);
        return;
    }
    if (id.name.empty()) throw CitError("resource with an empty name");
    if (id.name[0] == 0xFFFF) throw CitError("resource name starts with 0xFFFF");
    for (char16_t unit : id.name) {
        if (unit == 0) throw CitError("resource name holds a zero character");
        put_u16(out, uint16_t(unit));
    }
    put_u16(out, 0);
}

// An entry's data of data_size bytes at the reader's position; data_offset receives where it starts.
std::string read_res_data(ByteReader& in, uint32_t data_size, size_t& data_offset) {
    if (data_size > in.left())
        in.fail("resource data size " + std::to_string(data_size) + " runs past the end of the file (" +
                std::to_string(in.left()) + " bytes left)");
    data_offset = in.offset();
    return std::string(in.take(data_size, "resource data"));
}

// One entry starting at the reader's position; the reader ends past its padding.
// data_offset receives the position of the entry's data.
CitResource read_res_entry(ByteReader& in, size_t& data_offset) {
    size_t start = in.pos();
    CitResource r;
    uint32_t data_size = in.u32("resource data size");
    uint32_t header_size = in.u32("resource header size");
    r.header.type = read_res_id(in, "resource type", res32_id_unit);
    r.header.name = read_res_id(in, "resource name", res32_id_unit);
    size_t ids_end = in.pos() - start;
    size_t expected = ids_end + pad4(ids_end) + fixed_header_tail;
    if (header_size != expected)
        in.fail_at(start, "resource header size " + std::to_string(header_size) +
                              " does not match its fields (" + std::to_string(expected) + ")");
    in.take(pad4(ids_end), "resource header padding");
    r.header.data_version = in.u32("resource data version");
    r.header.memory_flags = in.u16("resource memory flags");
    r.header.language = in.u16("resource language");
    r.header.version = in.u32("resource version");
    r.header.characteristics = in.u32("resource characteristics");
    r.data = read_res_data(in, data_size, data_offset);
    // The padding after the last entry may be missing.
    size_t padding = std::min(pad4(data_size), in.left());
    in.take(padding, "resource data padding");
    return r;
}

void write_res_entry(std::string& out, const CitResourceHeader& h, std::string_view data) {
    put_long_length(out, data.size(), "resource data");
    std::string ids;
    write_res_id(ids, h.type);
    write_res_id(ids, h.name);
    size_t ids_end = 8 + ids.size();
    put_u32(out, uint32_t(ids_end + pad4(ids_end) + fixed_header_tail));
    out.append(ids);
    out.append(pad4(ids_end), '\0');
    put_u32(out, h.data_version);
    put_u16(out, h.memory_flags);
    put_u16(out, h.language);
    put_u32(out, h.version);
    put_u32(out, h.characteristics);
    out.append(data);
    out.append(pad4(data.size()), '\0');
}

// ---- 16-bit resource container ----

// One 16-bit entry starting at the reader's position; data_offset receives the position of its data.
CitResource read_res16_entry(ByteReader& in, size_t& data_offset) {
    CitResource r;
    r.header.type = read_res_id(in, "resource type", res16_id_unit);
    r.header.name = read_res_id(in, "resource name", res16_id_unit);
    r.header.memory_flags = in.u16("resource memory flags");
    uint32_t data_size = in.u32("resource data size");
    r.data = read_res_data(in, data_size, data_offset);
    return r;
}

// Extended float layout.
constexpr int ext_bias = 16383;
constexpr uint64_t ext_integer_bit = uint64_t(1) << 63;

uint32_t system_color(int index) { return 0x80000000u | uint32_t(index); }

struct ColorName {
    const char* ident;
    uint32_t color;
};
// The framework's colour identifiers; the first name of a colour is the one written.
const ColorName color_names[] = {
    {"clBlack", 0x000000},     {"clMaroon", 0x000080},   {"clGreen", 0x008000},
    {"clOlive", 0x008080},     {"clNavy", 0x800000},     {"clPurple", 0x800080},
    {"clTeal", 0x808000},      {"clGray", 0x808080},     {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},       {"clLime", 0x00FF00},     {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},      {"clFuchsia", 0xFF00FF},  {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},     {"clMoneyGreen", 0xC0DCC0}, {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},     {"clMedGray", 0xA4A0A0},
    {"clLtGray", 0xC0C0C0},    {"clDkGray", 0x808080},
    {"clScrollBar", system_color(0)},         {"clBackground", system_color(1)},
    {"clActiveCaption", system_color(2)},     {"clInactiveCaption", system_color(3)},
    {"clMenu", system_color(4)},              {"clWindow", system_color(5)},
    {"clWindowFrame", system_color(6)},       {"clMenuText", system_color(7)},
    {"clWindowText", system_color(8)},        {"clCaptionText", system_color(9)},
    {"clActiveBorder", system_color(10)},     {"clInactiveBorder", system_color(11)},
    {"clAppWorkSpace", system_color(12)},     {"clHighlight", system_color(13)},
    {"clHighlightText", system_color(14)},    {"clBtnFace", system_color(15)},
    {"clBtnShadow", system_color(16)},        {"clGrayText", system_color(17)},
    {"clBtnText", system_color(18)},          {"clInactiveCaptionText", system_color(19)},
    {"clBtnHighlight", system_color(20)},     {"cl3DDkShadow", system_color(21)},
    {"cl3DLight", system_color(22)},          {"clInfoText", system_color(23)},
    {"clInfoBk", system_color(24)},           {"clHotLight", system_color(26)},
    {"clGradientActiveCaption", system_color(27)},
    {"clGradientInactiveCaption", system_color(28)},
    {"clMenuHighlight", system_color(29)},    {"clMenuBar", system_color(30)},
    {"clNone", 0x1FFFFFFF},    {"clDefault", 0x20000000},
};

}  // namespace

const char* cit_value_type_name(CitValueType type) {
    static const char* const names[] = {
        "vaNull",  "vaList",   "vaInt8",   "vaInt16",      "vaInt32",    "vaExtended", "vaString",
        "vaIdent", "vaFalse",  "vaTrue",   "vaBinary",     "vaSet",      "vaLString",  "vaNil",
        "vaCollection", "vaSingle", "vaCurrency", "vaDate", "vaWString", "vaInt64",  "vaUTF8String"};
    size_t index = size_t(type);
    return index < std::size(names) ? names[index] : "unknown value tag";
}

// ---- extended floats ----

double CitExtended::to_double() const {
    uint64_t mantissa = 0;
    for (int i = 7; i >= 0; --i) mantissa = (mantissa << 8) | bytes[size_t(i)];
    uint16_t top = uint16_t(bytes[8] | (bytes[9] << 8));
    bool negative = top & 0x8000;
    int exponent = top & 0x7FFF;
    double value;
    if (exponent == 0x7FFF) {
        value = (mantissa & ~ext_integer_bit) == 0 ? std::numeric_limits<double>::infinity()
                                                   : std::numeric_limits<double>::quiet_NaN();
    } else {
        // value = mantissa x 2^(exponent - bias - 63); exponent 0 scales like exponent 1.
        // The conversion of the mantissa is exact whenever the result fits a double.
        int scale = (exponent == 0 ? 1 : exponent) - ext_bias - 63;
        value = std::ldexp(double(mantissa), scale);
    }
    return negative ? -value : value;
}

CitExtended CitExtended::from_double(double value) {
    uint64_t bits = std::bit_cast<uint64_t>(value);
    bool negative = bits >> 63;
    int exponent = int((bits >> 52) & 0x7FF);
    uint64_t fraction = bits & ((uint64_t(1) << 52) - 1);
    uint64_t mantissa = 0;
    int ext_exponent = 0;
    if (exponent == 0x7FF) {
        ext_exponent = 0x7FFF;
        mantissa = fraction == 0 ? ext_integer_bit : (ext_integer_bit | (uint64_t(1) << 62) | (fraction << 11));
    } else if (exponent != 0) {
        ext_exponent = exponent - 1023 + ext_bias;
        mantissa = ext_integer_bit | (fraction << 11);
    } else if (fraction != 0) {
        // Subnormal double: normalise, fraction x 2^-1074.
        int top_bit = 63 - std::countl_zero(fraction);
        mantissa = fraction << (63 - top_bit);
        ext_exponent = ext_bias + 63 - 1074 - (63 - top_bit);
    }
    CitExtended e;
    for (size_t i = 0; i < 8; ++i) e.bytes[i] = uint8_t(mantissa >> (8 * i));
    uint16_t top = uint16_t(ext_exponent | (negative ? 0x8000 : 0));
    e.bytes[8] = uint8_t(top & 0xFF);
    e.bytes[9] = uint8_t(top >> 8);
    return e;
}

// ---- values ----

namespace {

CitValue with(CitValueType type)
{
    CitValue v;
    v.type = type;
    return v;
}

template <typename Field, typename Value>
CitValue with(CitValueType type, Field CitValue::*field, Value&& value)
{
    CitValue v = with(type);
    v.*field = std::forward<Value>(value);
    return v;
}

}  // namespace

CitValue CitValue::make_integer(int64_t value) {
    CitValue v;
    v.integer = value;
    if (value >= INT8_MIN && value <= INT8_MAX)
        v.type = CitValueType::vaInt8;
    else if (value >= INT16_MIN && value <= INT16_MAX)
        v.type = CitValueType::vaInt16;
    else if (value >= INT32_MIN && value <= INT32_MAX)
        v.type = CitValueType::vaInt32;
    else
        v.type = CitValueType::vaInt64;
    return v;
}

CitValue CitValue::make_int64(int64_t value) {
    return with(CitValueType::vaInt64, &CitValue::integer, value);
}

CitValue CitValue::make_boolean(bool value) {
    return with(value ? CitValueType::vaTrue : CitValueType::vaFalse);
}

CitValue CitValue::make_ident(std::string_view name) {
    return with(CitValueType::vaIdent, &CitValue::bytes, std::string(name));
}
CitValue CitValue::make_string(std::string_view text) {
    return with(text.size() <= 255 ? CitValueType::vaString : CitValueType::vaLString,
                &CitValue::bytes, std::string(text));
}
CitValue CitValue::make_lstring(std::string_view text) {
    return with(CitValueType::vaLString, &CitValue::bytes, std::string(text));
}
CitValue CitValue::make_utf8(std::string_view text) {
    return with(CitValueType::vaUTF8String, &CitValue::bytes, std::string(text));
}
CitValue CitValue::make_binary(std::string_view data) {
    return with(CitValueType::vaBinary, &CitValue::bytes, std::string(data));
}
CitValue CitValue::make_wstring(std::u16string_view text) {
    return with(CitValueType::vaWString, &CitValue::wide, std::u16string(text));
}
CitValue CitValue::make_set(std::vector<std::string> members) {
    return with(CitValueType::vaSet, &CitValue::names, std::move(members));
}
CitValue CitValue::make_extended(double value) {
    return with(CitValueType::vaExtended, &CitValue::extended, CitExtended::from_double(value));
}
CitValue CitValue::make_single(float value) {
    return with(CitValueType::vaSingle, &CitValue::real, value);
}
CitValue CitValue::make_currency(int64_t ten_thousandths) {
    return with(CitValueType::vaCurrency, &CitValue::integer, ten_thousandths);
}
CitValue CitValue::make_date(double days) {
    return with(CitValueType::vaDate, &CitValue::real, days);
}
CitValue CitValue::make_nil() { return with(CitValueType::vaNil); }
CitValue CitValue::make_null() { return CitValue{}; }
CitValue CitValue::make_list(std::vector<CitValue> values) {
    return with(CitValueType::vaList, &CitValue::items, std::move(values));
}
CitValue CitValue::make_collection(std::vector<CitCollectionItem> items) {
    return with(CitValueType::vaCollection, &CitValue::collection, std::move(items));
}

bool CitValue::is_integer() const {
    return type == CitValueType::vaInt8 || type == CitValueType::vaInt16 ||
           type == CitValueType::vaInt32 || type == CitValueType::vaInt64;
}

bool CitValue::is_boolean() const { return type == CitValueType::vaFalse || type == CitValueType::vaTrue; }

bool CitValue::is_text() const {
    return type == CitValueType::vaString || type == CitValueType::vaLString ||
           type == CitValueType::vaUTF8String;
}

namespace {
[[noreturn]] void wrong_kind(const CitValue& v, const char* wanted) {
    throw CitError(std::string("expected ") + wanted + ", found " + cit_value_type_name(v.type));
}
}  // namespace

int64_t CitValue::as_integer() const {
    if (!is_integer()) wrong_kind(*this, "an integer");
    return integer;
}

bool CitValue::as_boolean() const {
    if (!is_boolean()) wrong_kind(*this, "a boolean");
    return type == CitValueType::vaTrue;
}

const std::string& CitValue::as_text() const {
    if (!is_text()) wrong_kind(*this, "a string");
    return bytes;
}

const std::string& CitValue::as_ident() const {
    if (type != CitValueType::vaIdent) wrong_kind(*this, "an identifier");
    return bytes;
}

const std::string& CitValue::as_binary() const {
    if (type != CitValueType::vaBinary) wrong_kind(*this, "binary data");
    return bytes;
}

double CitValue::as_number() const {
    if (is_integer()) return double(integer);
    switch (type) {
    case CitValueType::vaSingle:
    case CitValueType::vaDate: return real;
    case CitValueType::vaExtended: return extended.to_double();
    case CitValueType::vaCurrency: return double(integer) / 10000.0;
    default: wrong_kind(*this, "a number");
    }
}

bool CitValue::operator==(const CitValue& o) const {
    if (type != o.type) return false;
    switch (type) {
    case CitValueType::vaList: return items == o.items;
    case CitValueType::vaInt8:
    case CitValueType::vaInt16:
    case CitValueType::vaInt32:
    case CitValueType::vaInt64:
    case CitValueType::vaCurrency: return integer == o.integer;
    case CitValueType::vaExtended: return extended == o.extended;
    case CitValueType::vaSingle:
    case CitValueType::vaDate: return std::bit_cast<uint64_t>(real) == std::bit_cast<uint64_t>(o.real);
    case CitValueType::vaString:
    case CitValueType::vaIdent:
    case CitValueType::vaBinary:
    case CitValueType::vaLString:
    case CitValueType::vaUTF8String: return bytes == o.bytes;
    case CitValueType::vaWString: return wide == o.wide;
    case CitValueType::vaSet: return names == o.names;
    case CitValueType::vaCollection: return collection == o.collection;
    default: return true;
    }
}

// ---- components ----

const CitValue* CitComponent::find(std::string_view property) const {
    for (const CitProperty& p : properties)
        if (ascii_iequal(p.name, property)) return &p.value;
    return nullptr;
}

void CitComponent::set(std::string_view property, CitValue value) {
    for (CitProperty& p : properties)
        if (ascii_iequal(p.name, property)) {
            p.value = std::move(value);
            return;
        }
    properties.push_back({std::string(property), std::move(value)});
}

CitComponent cit_read_component(std::string_view stream, size_t base_offset) {
    return StreamReader(stream, base_offset).read_root();
}

std::string cit_write_component(const CitComponent& component) {
    std::string out = "TPF0";
    write_component(out, component, 0);
    return out;
}

// ---- resources ----

CitResId CitResId::make_ordinal(uint16_t value) {
    CitResId id;
    id.is_ordinal = true;
    id.ordinal = value;
    return id;
}

CitResId CitResId::make_name(std::string_view ascii) {
    CitResId id;
    id.is_ordinal = false;
    for (char ch : ascii) {
        if (ch >= 'a' && ch <= 'z') ch = char(ch - 'a' + 'A');
        id.name.push_back(char16_t(uint8_t(ch)));
    }
    return id;
}

bool CitResId::matches(std::string_view ascii) const {
    if (is_ordinal || name.size() != ascii.size()) return false;
    std::string narrow;
    for (char16_t unit : name) {
        if (unit > 0x7F) return false;
        narrow.push_back(char(unit));
    }
    return ascii_iequal(narrow, ascii);
}

namespace {
// The 32-bit layout starts with a zero byte (the empty entry's data size); a 16-bit entry
// starts with 0xFF (a type ordinal) or the first character of its type name.
bool is_res16(std::string_view file) {
    uint8_t first = uint8_t(file[0]);
    if (first == 0) return false;
    if (first == 0xFF || is_res16_name_byte(first)) return true;
    throw CitError("not a resource file: it starts neither with the empty entry of the 32-bit layout "
                   "nor with a 16-bit entry");
}

// Reads past the leading empty entry of a 32-bit file.
void skip_leading_entry(ByteReader& in, std::string_view file) {
    std::string leading;
    write_res_entry(leading, empty_header, {});
    if (file.substr(0, leading.size()) != std::string_view(leading).substr(0, file.size()))
        throw CitError("not a 32-bit resource file (it does not start with the empty entry)");
    if (file.size() < leading.size())
        throw CitError("truncated leading empty entry: the file has " + std::to_string(file.size()) + " bytes");
    in.take(leading.size(), "leading empty entry");
}

std::vector<CitResource> read_resources(std::string_view file, std::vector<size_t>& data_offsets) {
    if (file.empty()) throw CitError("empty file");
    ByteReader in(file, 0);
    CitResource (*read_entry)(ByteReader&, size_t&) = read_res16_entry;
    if (!is_res16(file)) {
        skip_leading_entry(in, file);
        read_entry = read_res_entry;
    }
    size_t offset = 0;
    std::vector<CitResource> resources;
    while (!in.at_end()) {
        size_t start = in.offset();
        try {
            resources.push_back(read_entry(in, offset));
        } catch (const CitError& e) {
            throw CitError("resource entry " + std::to_string(resources.size() + 1) + " (at " +
                           offset_text(start) + "): " + e.what());
        }
        data_offsets.push_back(offset);
    }
    return resources;
}
}  // namespace

std::vector<CitResource> cit_read_resources(std::string_view file) {
    std::vector<size_t> data_offsets;
    return read_resources(file, data_offsets);
}

std::string cit_write_resources(const std::vector<CitResource>& resources) {
    std::string out;
    write_res_entry(out, empty_header, {});
    for (const CitResource& r : resources) write_res_entry(out, r.header, r.data);
    return out;
}

// ---- cab item files ----

const CitEntry* CitFile::find(std::string_view name) const {
    for (const CitEntry& e : entries)
        if (e.header.name.matches(name)) return &e;
    return nullptr;
}

void CitFile::add(std::string_view name, CitComponent component) {
    CitEntry e;
    e.header.name = CitResId::make_name(name);
    e.component = std::move(component);
    entries.push_back(std::move(e));
}

CitFile cit_decode(std::string_view file) {
    std::vector<size_t> data_offsets;
    std::vector<CitResource> resources = read_resources(file, data_offsets);
    if (resources.empty()) throw CitError("no component in the file");
    CitFile out;
    for (size_t i = 0; i < resources.size(); ++i) {
        CitEntry e;
        e.header = resources[i].header;
        try {
            e.component = cit_read_component(resources[i].data, data_offsets[i]);
        } catch (const CitError& err) {
            throw CitError("resource entry " + std::to_string(i + 1) + ": " + err.what());
        }
        out.entries.push_back(std::move(e));
    }
    return out;
}

std::string cit_encode(const CitFile& file) {
    if (file.entries.empty()) throw CitError("no component to write");
    std::vector<CitResource> resources;
    for (const CitEntry& e : file.entries) resources.push_back({e.header, cit_write_component(e.component)});
    return cit_write_resources(resources);
}

namespace {
// Cab item files are small; anything bigger is not one.
constexpr std::uintmax_t max_file_size = 64u << 20;

std::string in_quotes(const std::string& path) { return "\"" + path + "\""; }

std::string system_error_text() { return std::strerror(errno); }
}  // namespace

CitFile cit_read_file(const std::string& path) {
    std::error_code ec;
    std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec) throw CitError("cannot read cab item file " + in_quotes(path) + ": " + ec.message());
    if (size > max_file_size)
        throw CitError("cab item file " + in_quotes(path) + " is too large (" + std::to_string(size) + " bytes)");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw CitError("cannot open cab item file " + in_quotes(path) + ": " + system_error_text());
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw CitError("cannot read cab item file " + in_quotes(path) + ": " + system_error_text());
    try {
        return cit_decode(bytes);
    } catch (const CitError& e) {
        throw CitError("bad cab item file " + in_quotes(path) + ": " + e.what());
    }
}

void cit_write_file(const std::string& path, const CitFile& file) {
    std::string bytes;
    try {
        bytes = cit_encode(file);
    } catch (const CitError& e) {
        throw CitError("cannot write cab item file " + in_quotes(path) + ": " + e.what());
    }
    std::string error;
    if (plat_write_file(path, bytes.data(), bytes.size(), &error) != PLAT_WRITE_OK)
        throw CitError("cannot write cab item file " + in_quotes(path) + ": " + error);
}

// ---- graphic data ----

CitGraphicData cit_read_graphic_data(std::string_view payload, bool with_class_name) {
    ByteReader in(payload, 0);
    CitGraphicData g;
    if (with_class_name) {
        g.class_name = in.short_string("graphic class name");
        if (g.class_name.empty()) in.fail("empty graphic class name");
    }
    uint32_t size = in.u32("graphic size");
    if (size != in.left())
        in.fail("graphic size " + std::to_string(size) + " does not match the " +
                std::to_string(in.left()) + " bytes that follow");
    g.image = std::string(in.take(size, "graphic"));
    return g;
}

std::string cit_write_graphic_data(const CitGraphicData& graphic, bool with_class_name) {
    std::string out;
    if (with_class_name) {
        if (graphic.class_name.empty()) throw CitError("graphic without a class name");
        put_short_string(out, graphic.class_name, "graphic class name");
    }
    put_long_length(out, graphic.image.size(), "graphic");
    out.append(graphic.image);
    return out;
}

// ---- colours ----

std::optional<uint32_t> cit_color_from_ident(std::string_view ident) {
    for (const ColorName& c : color_names)
        if (ascii_iequal(c.ident, ident)) return c.color;
    return std::nullopt;
}

std::optional<uint32_t> cit_color_of(const CitValue& value) {
    if (value.type == CitValueType::vaIdent) return cit_color_from_ident(value.bytes);
    if (value.is_integer() && value.integer >= INT32_MIN && value.integer <= UINT32_MAX)
        return uint32_t(value.integer);
    return std::nullopt;
}

CitValue cit_color_value(uint32_t color) {
    for (const ColorName& c : color_names)
        if (c.color == color) return CitValue::make_ident(c.ident);
    // Colours stream as signed 32-bit integers.
    return CitValue::make_integer(int32_t(color));
}
