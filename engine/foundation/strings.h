// NULL-safe 8-bit string helpers, paths, string lists, comment blanking and memory fills.
#pragma once
#include <cstdint>
#include <string>

int jstrlen(const char* text);
int get_num_of_occurrences(const char* text, const char* pattern);
char* jstrupr(char* text);
// -1, 0 or 1 by signed byte order; -2 for NULL.
int jstrcmp(const char* a, const char* b);
int jstricmp(const char* a, const char* b);
int jstrncmp(const char* a, const char* b, int count);
char* jstrcpy(char* destination, const char* source);
char* jstrcpy_up_to_digit(char* destination, const char* source);
// Replaces the string in the slot by an engine copy of text (NULL text leaves NULL); the copy.
char* jstrcpy_with_allocating(char** slot, const char* text);
int j_duplicate_name(char** slot, const char* text);
char* jstrcat(char* destination, const char* source);
char* jstrncpy(char* destination, const char* source, int count);
const char* jstrstr(const char* text, const char* pattern);
const char* jstristr(const char* text, const char* pattern);

// Paths take '\' and '/' as separators.
std::string strip_extension(const char* path);
std::string get_extension(const char* path);
std::string get_file_name(const char* path);
std::string get_directory(const char* path);
std::string get_file_title(const char* path);
// The directory, a "/" unless it ends with a separator, and the name; the name alone when the
// directory is empty or the name is absolute (a leading separator, or a drive letter).
std::string str_concatenate_paths(const char* name, const char* directory);

int replace_char(char* text, char old_char, char new_char);
int is_integer_text(const char* text);

struct str_list_cell {
    char* text;
    str_list_cell* next;
};
str_list_cell* str_list_find_str(str_list_cell* head, const char* text);
str_list_cell* str_list_add_str(str_list_cell** head, const char* text);
int str_list_delete_str(str_list_cell** head, const char* text);
int str_list_free_list(str_list_cell** head);

// Blanks // and /* */ comments with spaces in place; -1 for an unclosed block comment.
int remove_comments(char* text);

void jmemcpy(int count, void* destination, const void* source);
void jmemcpy_reversed(int count, void* destination, const void* source);
void jmemcpy_reversed16(int count, uint16_t* destination, const uint16_t* source);
void jmemset(void* destination, int count, int value);
void jmemset16(uint16_t* destination, int count, uint16_t value);
void jmemset32(uint32_t* destination, int count, uint32_t value);

// The module's report-errors flag.
int& strings_report_errors();
