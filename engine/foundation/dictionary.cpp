// The name dictionary and unique names made from it with "_%d" suffixes.
#include "foundation/dictionary.h"

#include "foundation/errors.h"
#include "foundation/memory.h"
#include "foundation/strings.h"
#include "platform/numbers.h"

namespace {

constexpr int max_unique_suffix = 99999;

void report(const char* text) {
    if (strings_report_errors()) report_error(1, text);
}

dictionary_node* new_node(dictionary_node* parent) {
    auto* node = static_cast<dictionary_node*>(engine_alloc(sizeof(dictionary_node)));
    if (node) node->parent = parent;
    return node;
}

const dictionary_node* find_node(const dictionary_node* root, const char* word) {
    const dictionary_node* node = root;
    for (const char* c = word; node && *c; ++c) node = node->children[dictionary_slot(*c)];
    return node;
}

bool has_children(const dictionary_node* node) {
    for (const dictionary_node* child : node->children) {
        if (child) return true;
    }
    return false;
}

// "name_7" becomes "name"; other names keep their digits.
void cut_numbered_ending(std::string& name) {
    size_t end = name.size();
    while (end > 1 && name[end - 1] >= '0' && name[end - 1] <= '9') --end;
    if (end < name.size() && end > 1 && name[end - 1] == '_') name.resize(end - 1);
}

}  // namespace

int dictionary_slot(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a';
    if (c >= '0' && c <= '9') return 26 + c - '0';
    return 36;
}

dictionary_node* dictionary_init() { return new_node(nullptr); }

int dictionary_add_a_word(dictionary_node* root, const char* word) {
    if (!root || !word || !*word) {
        report("dictionary_add_a_word: bad arguments\n");
        return -1;
    }
    dictionary_node* node = root;
    int created = 0;
    for (const char* c = word; *c; ++c) {
        dictionary_node*& child = node->children[dictionary_slot(*c)];
        if (!child) {
            child = new_node(node);
            if (!child) return -1;
            ++created;
        }
        node = child;
    }
    const int result = created > 0 ? created : (node->end_mark ? 0 : 1);
    node->end_mark = 1;
    return result;
}

int dictionary_has_word(const dictionary_node* root, const char* word) {
    if (!root || !word || !*word) return 0;
    const dictionary_node* node = find_node(root, word);
    return node && node->end_mark ? 1 : 0;
}

int dictionary_delete_a_word(dictionary_node* root, const char* word, int free_nodes) {
    if (!word || !*word) return 0;
    if (!root) {
        report("dictionary_delete_a_word: bad arguments\n");
        return -1;
    }
    auto* node = const_cast<dictionary_node*>(find_node(root, word));
    if (!node || !node->end_mark) return 0;
    node->end_mark = 0;
    while (node != root && !node->end_mark && !has_children(node)) {
        dictionary_node* parent = node->parent;
        if (!parent) {
            report("dictionary_delete_a_word: internal error\n");
            return -1;
        }
        dictionary_node** slot = nullptr;
        for (dictionary_node*& child : parent->children) {
            if (child == node) slot = &child;
        }
        if (!slot) {
            report("dictionary_delete_a_word: internal error2\n");
            return -1;
        }
        *slot = nullptr;
        if (free_nodes == 1) engine_free(node);
        node = parent;
    }
    return 0;
}

int dictionary_add_a_word_unique(dictionary_node* root, std::string& name) {
    const int added = dictionary_add_a_word(root, name.c_str());
    if (added < 0) return -1;
    if (added > 0) return 0;
    cut_numbered_ending(name);
    for (int n = 2; n <= max_unique_suffix; ++n) {
        const std::string candidate = name + plat_format("_%d", n);
        if (!dictionary_has_word(root, candidate.c_str())) {
            if (dictionary_add_a_word(root, candidate.c_str()) < 0) return -1;
            name = candidate;
            return n;
        }
    }
    report("dictionary_add_a_word_unique: very strange indeed !\n");
    return -1;
}

void dictionary_free(dictionary_node* node) {
    if (!node) return;
    for (dictionary_node* child : node->children) dictionary_free(child);
    engine_free(node);
}

int find_unique_name(std::string& name, const std::function<bool(const std::string&)>& taken,
                     bool cut_ending, const char* owner) {
    if (!taken(name)) return 0;
    std::string base = name;
    if (cut_ending) cut_numbered_ending(base);
    for (int n = 2; n <= max_unique_suffix; ++n) {
        const std::string candidate = base + plat_format("_%d", n);
        if (!taken(candidate)) {
            name = candidate;
            return 0;
        }
    }
    report((std::string(owner ? owner : "") + ": very strange indeed !\n").c_str());
    return -1;
}
