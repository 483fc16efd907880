// The name dictionary: a 37-way trie in which letters fold to one slot, so names ignore case.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

inline constexpr int dictionary_slots = 37;

struct dictionary_node {
    dictionary_node* children[dictionary_slots];
    int32_t end_mark;
    dictionary_node* parent;
};

dictionary_node* dictionary_init();
// Nodes created; with none created 1 for a new word and 0 for a present one; -1 on failure.
int dictionary_add_a_word(dictionary_node* root, const char* word);
int dictionary_delete_a_word(dictionary_node* root, const char* word, int free_nodes);
int dictionary_has_word(const dictionary_node* root, const char* word);
// Adds the name, or a free "<name>_<n>" form of it written back into name; 0 or n, -1.
int dictionary_add_a_word_unique(dictionary_node* root, std::string& name);
void dictionary_free(dictionary_node* node);
int dictionary_slot(char c);

// Unique names on an entity list: a taken name gets "_2", "_3", ... up to "_99999", the first
// free one; with cut_numbered_ending an ending of '_' and digits is cut off first. 0, or -1
// with "<owner>: very strange indeed !\n" when every suffix is taken.
int find_unique_name(std::string& name, const std::function<bool(const std::string&)>& taken,
                     bool cut_numbered_ending, const char* owner);
