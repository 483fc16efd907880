// The name dictionary: a 37-way trie in which letters fold to one slot, so names ignore case.
#pragma once
#include <cstdint>
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
