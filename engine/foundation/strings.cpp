// NULL-safe string helpers, path pieces, string lists, comment blanking and memory fills.
#include "foundation/strings.h"

#include <cstring>

#include "foundation/errors.h"
#include "foundation/memory.h"

namespace {

void got_null(const char* text) {
    if (strings_report_errors()) report_error(1, text);
}

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

int compare(const char* a, const char* b, long count, bool fold) {
    for (long i = 0; count < 0 || i < count; ++i) {
        const signed char x = static_cast<signed char>(fold ? upper(a[i]) : a[i]);
        const signed char y = static_cast<signed char>(fold ? upper(b[i]) : b[i]);
        if (x != y) return x < y ? -1 : 1;
        if (x == 0) return 0;
    }
    return 0;
}

const char* search(const char* text, const char* pattern, bool fold) {
    const size_t length = std::strlen(pattern);
    for (const char* at = text;; ++at) {
        if (compare(at, pattern, static_cast<long>(length), fold) == 0) return at;
        if (*at == 0) return nullptr;
    }
}

bool is_separator(char c) { return c == '\\' || c == '/'; }

// Index of the last separator, or npos.
size_t last_separator(const std::string& path) { return path.find_last_of("\\/"); }

}  // namespace

int& strings_report_errors() {
    static int flag = 1;
    return flag;
}

int jstrlen(const char* text) {
    if (!text) {
        got_null("jstrlen: got NULL\n");
        return 0;
    }
    return static_cast<int>(std::strlen(text));
}

int get_num_of_occurrences(const char* text, const char* pattern) {
    if (!text || !pattern) {
        got_null("get_num_of_occurrences: got NULL\n");
        return 0;
    }
    const size_t length = std::strlen(pattern);
    if (length == 0) return 0;
    int count = 0;
    for (const char* at = std::strstr(text, pattern); at; at = std::strstr(at + length, pattern))
        ++count;
    return count;
}

char* jstrupr(char* text) {
    if (!text) {
        got_null("jstrupr: got NULL\n");
        return nullptr;
    }
    for (char* c = text; *c; ++c) *c = upper(*c);
    return text;
}

int jstrcmp(const char* a, const char* b) {
    if (!a || !b) {
        got_null("jstrcmp: got NULL\n");
        return -2;
    }
    return compare(a, b, -1, false);
}

int jstricmp(const char* a, const char* b) {
    if (!a || !b) {
        got_null("jstrcmp: got NULL\n");
        return -2;
    }
    return compare(a, b, -1, true);
}

int jstrncmp(const char* a, const char* b, int count) {
    if (!a || !b) {
        got_null("jstrncmp: got NULL\n");
        return -2;
    }
    return count <= 0 ? 0 : compare(a, b, count, false);
}

char* jstrcpy(char* destination, const char* source) {
    if (!destination || !source) {
        got_null("jstrcpy: got NULL\n");
        return nullptr;
    }
    std::memmove(destination, source, std::strlen(source) + 1);
    return destination;
}

char* jstrcpy_up_to_digit(char* destination, const char* source) {
    if (!destination || !source) {
        got_null("jstrcpy: got NULL\n");
        return nullptr;
    }
    size_t i = 0;
    for (; source[i] && !(source[i] >= '0' && source[i] <= '9'); ++i) destination[i] = source[i];
    destination[i] = 0;
    return destination;
}

char* jstrcpy_with_allocating(char** slot, const char* text) {
    if (!slot) {
        got_null("jstrcpy_with_allocating: got null \n");
        return nullptr;
    }
    *slot = static_cast<char*>(engine_free(*slot));
    if (!text) return nullptr;
    const size_t size = std::strlen(text) + 1;
    *slot = static_cast<char*>(engine_alloc(size));
    if (!*slot) {
        got_null("jstrcpy_with_allocating: mem alloc failed\n");
        return nullptr;
    }
    std::memcpy(*slot, text, size);
    return *slot;
}

int j_duplicate_name(char** slot, const char* text) {
    if (!slot) {
        got_null("j_duplicate_name: got null address\n");
        return -1;
    }
    *slot = static_cast<char*>(engine_free(*slot));
    if (!text) return 0;
    const size_t size = std::strlen(text) + 1;
    *slot = static_cast<char*>(engine_alloc(size));
    if (!*slot) {
        got_null("j_duplicate_name: failed to alloc mem\n");
        return -1;
    }
    std::memcpy(*slot, text, size);
    return 0;
}

char* jstrcat(char* destination, const char* source) {
    if (!destination || !source) {
        got_null("jstrcat: got NULL\n");
        return nullptr;
    }
    std::memmove(destination + std::strlen(destination), source, std::strlen(source) + 1);
    return destination;
}

char* jstrncpy(char* destination, const char* source, int count) {
    if (!destination || !source) {
        got_null("jstrncpy: got NULL\n");
        return nullptr;
    }
    int i = 0;
    for (; i < count && source[i]; ++i) destination[i] = source[i];
    for (; i < count; ++i) destination[i] = 0;
    return destination;
}

const char* jstrstr(const char* text, const char* pattern) {
    if (!text || !pattern) {
        got_null("jstrstr: got NULL\n");
        return nullptr;
    }
    return search(text, pattern, false);
}

const char* jstristr(const char* text, const char* pattern) {
    if (!text || !pattern) {
        got_null("jstrstr: got NULL\n");
        return nullptr;
    }
    return search(text, pattern, true);
}

std::string strip_extension(const char* path) {
    if (!path) return "";
    const std::string text = path;
    for (size_t i = text.size(); i-- > 0;) {
        if (is_separator(text[i])) break;
        if (text[i] == '.') return text.substr(0, i);
    }
    return text;
}

std::string get_extension(const char* path) {
    if (!path) return "";
    const std::string text = path;
    const size_t dot = text.rfind('.');
    return dot == std::string::npos ? std::string() : text.substr(dot + 1);
}

std::string get_file_name(const char* path) {
    if (!path) return "";
    const std::string text = path;
    const size_t at = last_separator(text);
    return at == std::string::npos ? text : text.substr(at + 1);
}

std::string get_directory(const char* path) {
    if (!path) return "";
    const std::string text = path;
    const size_t at = last_separator(text);
    return at == std::string::npos ? std::string() : text.substr(0, at);
}

std::string get_file_title(const char* path) {
    if (!path) return "";
    const std::string name = get_file_name(path);
    return name.substr(0, name.find('.'));
}

std::string str_concatenate_paths(const char* name, const char* directory) {
    if (!name) {
        got_null("str_concatenate_paths: got a null name");
        return "";
    }
    const size_t length = std::strlen(name);
    const bool absolute = is_separator(name[0]) || (length >= 2 && name[1] == ':');
    if (!directory || !*directory || absolute) return name;
    std::string joined = directory;
    if (!is_separator(joined.back())) joined += '/';
    return joined + name;
}

int replace_char(char* text, char old_char, char new_char) {
    if (!text) return 0;
    int count = 0;
    for (char* c = text; *c; ++c) {
        if (*c == old_char) {
            *c = new_char;
            ++count;
        }
    }
    return count;
}

int is_integer_text(const char* text) {
    if (!text) return 0;
    if (*text == '-') ++text;
    for (; *text; ++text) {
        if (*text < '0' || *text > '9') return 0;
    }
    return 1;
}

str_list_cell* str_list_find_str(str_list_cell* head, const char* text) {
    for (str_list_cell* cell = head; cell; cell = cell->next) {
        if (jstrcmp(cell->text, text) == 0) return cell;
    }
    return nullptr;
}

str_list_cell* str_list_add_str(str_list_cell** head, const char* text) {
    if (!head) return nullptr;
    auto* cell = static_cast<str_list_cell*>(engine_alloc(sizeof(str_list_cell)));
    if (!cell) {
        got_null("str_list_add_str: cant alloc mem for cell !\n");
        return nullptr;
    }
    if (j_duplicate_name(&cell->text, text) != 0 || (text && !cell->text)) {
        engine_free(cell);
        got_null("str_list_add_str: cant alloc mem for string!\n");
        return nullptr;
    }
    cell->next = *head;
    *head = cell;
    return cell;
}

int str_list_delete_str(str_list_cell** head, const char* text) {
    if (!head) return -1;
    str_list_cell* cell = str_list_find_str(*head, text);
    if (!cell) return -1;
    str_list_cell** link = head;
    while (*link && *link != cell) link = &(*link)->next;
    if (!*link) {
        got_null("str_list_delete_str: Internal error\n");
        return -1;
    }
    *link = cell->next;
    engine_free(cell->text);
    engine_free(cell);
    return 0;
}

int str_list_free_list(str_list_cell** head) {
    if (!head) return -1;
    while (*head) {
        str_list_cell* cell = *head;
        *head = cell->next;
        engine_free(cell->text);
        engine_free(cell);
    }
    return 0;
}

int remove_comments(char* text) {
    if (!text) return 0;
    for (char* c = text; *c; ++c) {
        if (c[0] == '/' && c[1] == '/') {
            if (c > text && c[-1] == ':') {
                ++c;  // "c:\\..." and "http://" keep their slashes
                continue;
            }
            for (; *c && *c != '\n' && *c != '\r'; ++c) *c = ' ';
            if (!*c) return 0;
        } else if (c[0] == '/' && c[1] == '*') {
            char* end = std::strstr(c + 2, "*/");
            if (!end) return -1;
            for (; c < end + 1; ++c) *c = ' ';
            *c = ' ';
        }
    }
    return 0;
}

void jmemcpy(int count, void* destination, const void* source) {
    if (count > 0) std::memmove(destination, source, static_cast<size_t>(count));
}

void jmemcpy_reversed(int count, void* destination, const void* source) {
    auto* to = static_cast<unsigned char*>(destination);
    const auto* from = static_cast<const unsigned char*>(source);
    for (int i = 0; i < count; ++i) to[i] = from[count - 1 - i];
}

void jmemcpy_reversed16(int count, uint16_t* destination, const uint16_t* source) {
    for (int i = 0; i < count; ++i) destination[i] = source[count - 1 - i];
}

void jmemset(void* destination, int count, int value) {
    if (count > 0) std::memset(destination, value, static_cast<size_t>(count));
}

void jmemset16(uint16_t* destination, int count, uint16_t value) {
    for (int i = 0; i < count; ++i) destination[i] = value;
}

void jmemset32(uint32_t* destination, int count, uint32_t value) {
    for (int i = 0; i < count; ++i) destination[i] = value;
}
